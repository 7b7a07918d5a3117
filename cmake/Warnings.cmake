# Warnings on for our own targets; call imppret_warnings(target) on each.
function(imppret_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow=local
    -Wno-missing-field-initializers)
endfunction()

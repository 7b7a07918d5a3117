# Warnings on, and fatal, for our own targets; call imppret_warnings(target) on each.
function(imppret_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror
    -Wno-missing-field-initializers)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    # GCC 12 reports -Wrestrict inside libstdc++'s own string code when it inlines
    # std::string concatenation (GCC bug 105329); nothing in our code is concerned.
    target_compile_options(${target} PRIVATE -Wshadow=local -Wno-error=restrict -Wno-restrict)
  endif()
endfunction()

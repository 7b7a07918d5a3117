# The Qt headers dominate the compile time of every widget file: parse them once per target.
function(imppret_qt_pch name)
  target_precompile_headers(${name} PRIVATE <QtWidgets/QWidget> <QtGui/QPainter>
    <QtWidgets/QPushButton> <QtWidgets/QComboBox> <QtWidgets/QApplication> <string> <vector>
    <functional> <memory>)
endfunction()

# imppret_library(name [QT] SOURCES ... DEPS ...): one library per subsystem folder.
# QT turns on moc and rcc for that target only.
function(imppret_library name)
  cmake_parse_arguments(A "QT" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${A_SOURCES})
  if(A_QT)
    set_target_properties(${name} PROPERTIES AUTOMOC ON AUTORCC ON)
    imppret_qt_pch(${name})
  endif()
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${A_DEPS})
  imppret_warnings(${name})
endfunction()

# imppret_test(name [QT] SOURCES ... DEPS ...): a GoogleTest executable run by ctest; with QT it
# is a Qt Test (or GoogleTest with its own main) executable run on the offscreen platform.
# Tests find fixtures through IMPPRET_TEST_DATA and the corpus through IMPPRET_CORPUS.
function(imppret_test name)
  cmake_parse_arguments(A "QT" "TIMEOUT" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
  if(A_QT)
    set_target_properties(${name} PROPERTIES AUTOMOC ON AUTORCC ON)
    imppret_qt_pch(${name})
    target_link_libraries(${name} PRIVATE ${A_DEPS} Qt6::Test GTest::gtest)
  else()
    target_link_libraries(${name} PRIVATE ${A_DEPS} GTest::gtest_main)
  endif()
  target_compile_definitions(${name} PRIVATE
    IMPPRET_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data"
    IMPPRET_CORPUS="${PROJECT_SOURCE_DIR}/../shared/corpus")
  imppret_warnings(${name})
  add_test(NAME ${name} COMMAND ${name})
  set(env "QT_QPA_PLATFORM=offscreen")
  if(NOT A_TIMEOUT)
    set(A_TIMEOUT 600)
  endif()
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}" TIMEOUT ${A_TIMEOUT})
endfunction()

# imppret_fuzzer(name SOURCE file DEPS ... SEEDS dir): a libFuzzer target with its seed corpus.
function(imppret_fuzzer name)
  cmake_parse_arguments(A "" "SOURCE;SEEDS" "DEPS" ${ARGN})
  add_executable(${name} ${A_SOURCE})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${A_DEPS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  set_property(GLOBAL APPEND PROPERTY IMPPRET_FUZZERS "${name}|${A_SEEDS}")
endfunction()

# Adds every folder below the current one that has a CMakeLists.txt, in name order.
function(imppret_add_subfolders)
  file(GLOB dirs LIST_DIRECTORIES true ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT dirs)
  foreach(d ${dirs})
    if(IS_DIRECTORY ${d} AND EXISTS ${d}/CMakeLists.txt)
      add_subdirectory(${d})
    endif()
  endforeach()
endfunction()

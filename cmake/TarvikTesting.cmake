include(GoogleTest)

# tarvik_add_test(NAME name SOURCES ... LIBS ... [QT]): one GoogleTest executable; every TEST
# becomes its own CTest entry. With QT, main() creates a QApplication first (window and
# event-loop tests).
function(tarvik_add_test)
  cmake_parse_arguments(T "QT" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  if(T_QT)
    set(main_lib tarvik_test_main_qt)
  else()
    set(main_lib tarvik_test_main)
  endif()
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} ${main_lib} tarvik_test_support GTest::gtest
                                          GTest::gmock)
  set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  # The test mains give every test process its private home (support/test_environment.h).
  # The label is the executable's name, so `ctest -L` runs one executable's tests.
  gtest_discover_tests(${T_NAME}
    DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT 120 LABELS ${T_NAME})
endfunction()

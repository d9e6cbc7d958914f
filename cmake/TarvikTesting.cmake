include(GoogleTest)

# Tests run with a private HOME so nothing ever reaches the real home folder, and windows
# are drawn offscreen.
set(TARVIK_TEST_HOME ${CMAKE_BINARY_DIR}/test-home)
file(MAKE_DIRECTORY ${TARVIK_TEST_HOME}/runtime)
set(TARVIK_TEST_ENV
    "HOME=${TARVIK_TEST_HOME}"
    "XDG_CONFIG_HOME=${TARVIK_TEST_HOME}/.config"
    "XDG_DATA_HOME=${TARVIK_TEST_HOME}/.local/share"
    "XDG_RUNTIME_DIR=${TARVIK_TEST_HOME}/runtime"
    "TARVIK_DOCUMENTS_DIR=${TARVIK_TEST_HOME}/Documents"
    "TARVIK_APPDATA_DIR=${TARVIK_TEST_HOME}/AppData"
    "QT_QPA_PLATFORM=offscreen"
    "TARVIK_BIN_DIR=${CMAKE_BINARY_DIR}/bin")

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
  gtest_discover_tests(${T_NAME}
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "${TARVIK_TEST_ENV}" TIMEOUT 120)
endfunction()

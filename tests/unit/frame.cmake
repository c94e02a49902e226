# The main window frame's unit tests and the fuzzing of its theme file reader.
# Included from tests/unit/CMakeLists.txt.

list(APPEND QVZ_UNIT_TEST_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/FrameTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ThemeFileTest.cpp)

find_program(QVZ_FUZZ_CXX clang++)
if(QVZ_FUZZ_CXX)
  get_filename_component(_qvz_source_root ${CMAKE_CURRENT_LIST_DIR}/../.. ABSOLUTE)
  add_test(NAME fuzz.theme
    COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/fuzz/run-fuzz.sh theme
            ${CMAKE_CURRENT_BINARY_DIR}/fuzz 20
            ${CMAKE_CURRENT_LIST_DIR}/fuzz/ThemeFileFuzz.cpp
            ${_qvz_source_root}/src/mainwindow/ThemeFile.cpp
            ${_qvz_source_root}/src/mainwindow/SkinStyles.cpp)
  set_tests_properties(fuzz.theme PROPERTIES
    LABELS fuzz
    TIMEOUT 300
    ENVIRONMENT "FUZZ_CXX=${QVZ_FUZZ_CXX}")
  unset(_qvz_source_root)
endif()

# The launch settings' unit tests and the fuzzing of their profile reader.
# Included from tests/unit/CMakeLists.txt.

list(APPEND QVZ_UNIT_TEST_SOURCES ${CMAKE_CURRENT_LIST_DIR}/LaunchSettingsTest.cpp)

# libFuzzer comes with clang only, so the fuzzer is built by its own script
# with clang++ whatever compiler builds the rest, and only where clang++ exists.
find_program(QVZ_FUZZ_CXX clang++)
if(QVZ_FUZZ_CXX)
  get_filename_component(_qvz_source_root ${CMAKE_CURRENT_LIST_DIR}/../.. ABSOLUTE)
  add_test(NAME fuzz.settings
    COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/fuzz/run-fuzz.sh settings
            ${CMAKE_CURRENT_BINARY_DIR}/fuzz 20
            ${CMAKE_CURRENT_LIST_DIR}/fuzz/ProfileReaderFuzz.cpp
            ${_qvz_source_root}/src/startup/LaunchSettings.cpp)
  set_tests_properties(fuzz.settings PROPERTIES
    LABELS fuzz
    TIMEOUT 300
    ENVIRONMENT "FUZZ_CXX=${QVZ_FUZZ_CXX}")
  unset(_qvz_source_root)
endif()

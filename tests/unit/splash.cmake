# The splash's unit tests and the fuzzing of its picture decoder.
# Included from tests/unit/CMakeLists.txt.

list(APPEND QVZ_UNIT_TEST_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/SplashTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/JpegPictureTest.cpp)

find_program(QVZ_FUZZ_CXX clang++)
if(QVZ_FUZZ_CXX)
  get_filename_component(_qvz_source_root ${CMAKE_CURRENT_LIST_DIR}/../.. ABSOLUTE)
  add_test(NAME fuzz.splash-picture
    COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/fuzz/run-fuzz.sh splash-picture
            ${CMAKE_CURRENT_BINARY_DIR}/fuzz 20
            ${CMAKE_CURRENT_LIST_DIR}/fuzz/JpegPictureFuzz.cpp
            ${_qvz_source_root}/src/startup/JpegPicture.cpp)
  set_tests_properties(fuzz.splash-picture PROPERTIES
    LABELS fuzz
    TIMEOUT 300
    ENVIRONMENT "FUZZ_CXX=${QVZ_FUZZ_CXX};FUZZ_LIBS=-ljpeg")
  unset(_qvz_source_root)
endif()

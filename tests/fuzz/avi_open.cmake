rw_fuzz_target(avi_open DEPS rw_media rw_testsupport)
# The OpenDML movies are built by the media tests' file maker.
target_sources(avi_open PRIVATE ${PROJECT_SOURCE_DIR}/tests/media/AviOdmlTestFile.cpp)

rw_bench(NAME bench_many_files SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/ManyFilesBench.cpp DEPS rw_media rw_testsupport)

rw_bench(NAME bench_avi SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/AviBench.cpp DEPS rw_media rw_testsupport)

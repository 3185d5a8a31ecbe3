rw_bench(NAME bench_container SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/ContainerBench.cpp DEPS rw_media rw_testsupport)

rw_bench(NAME bench_render SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/RenderBench.cpp DEPS rw_project rw_testsupport)

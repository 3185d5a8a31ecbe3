rw_bench(NAME bench_transitions SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/TransitionBench.cpp DEPS rw_render)

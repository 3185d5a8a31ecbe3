rw_bench(NAME bench_model SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/ModelBench.cpp DEPS rw_project)

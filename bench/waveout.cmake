rw_bench(NAME bench_waveout SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/WaveOutBench.cpp DEPS rw_audio)

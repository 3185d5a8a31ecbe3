rw_bench(NAME bench_resize SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/ResizeBench.cpp DEPS rw_render PkgConfig::FFMPEG)

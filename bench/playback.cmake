# Play in the editor window in real time (its own main; bench/playback-window runs it under Xvfb).
# The H.264 case writes its movies with the tests' AVI writer when the tests are built.
add_executable(bench_playback ${CMAKE_CURRENT_SOURCE_DIR}/PlaybackBench.cpp)
target_link_libraries(bench_playback PRIVATE rw_app rw_cli)
if(TARGET rw_testsupport)
  target_link_libraries(bench_playback PRIVATE rw_testsupport)
  target_compile_definitions(bench_playback PRIVATE RW_BENCH_H264=1)
endif()
rw_warnings(bench_playback)

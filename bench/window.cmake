# The editor window offscreen: its own main, which makes the QApplication first.
add_executable(bench_window ${CMAKE_CURRENT_SOURCE_DIR}/WindowBench.cpp)
target_link_libraries(bench_window PRIVATE rw_app rw_cli benchmark::benchmark)
rw_warnings(bench_window)

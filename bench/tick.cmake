# One complete tick without the network (drawing, tray, Plovex.gif written).
add_executable(tick_bench ${CMAKE_CURRENT_LIST_DIR}/tick_bench.cpp)
target_link_libraries(tick_bench PRIVATE plovex_core plovex_core_testing benchmark::benchmark)

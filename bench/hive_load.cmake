# Loading the settings from a large registry export, and SaveTotals on the
# usual small hive, through the real hive file.
add_executable(hive_load_bench ${CMAKE_CURRENT_LIST_DIR}/hive_load_bench.cpp)
target_link_libraries(hive_load_bench PRIVATE plovex_settings plovex_settings_testing)

# The usage store over ten simulated years, against the same work on an
# in-memory database; `plovex --usage` on that store as a whole process.
add_executable(usage_store_bench ${CMAKE_CURRENT_LIST_DIR}/usage_store_bench.cpp)
target_link_libraries(usage_store_bench PRIVATE plovex_history plovex_core)

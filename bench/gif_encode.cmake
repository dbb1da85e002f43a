# GIF encoding of the program's picture beside giflib's encoder, in one run.
add_executable(gif_encode_bench ${CMAKE_CURRENT_LIST_DIR}/gif_encode_bench.cpp)
target_link_libraries(gif_encode_bench PRIVATE plovex_image gif benchmark::benchmark)

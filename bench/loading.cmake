# Loading price lists: merging another installation's table, the old binary format.
add_executable(bench_price_list_loading bench_price_list_loading.cpp)
set_target_properties(bench_price_list_loading PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
target_link_libraries(bench_price_list_loading PRIVATE bench_large_data benchmark::benchmark)

# The stock-card screen, driven as a cashier drives it.
if(TARGET omira_test_support)
    add_executable(bench_stock_cards bench_stock_cards.cpp)
    set_target_properties(bench_stock_cards PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
    target_link_libraries(bench_stock_cards PRIVATE omira_options omira_gui bench_large_data omira_test_support
                                                    Qt6::Test)
endif()

# The sales overview screen over a year of 1,000,000 sales rows.
if(TARGET omira_test_support)
    add_executable(bench_overview_screen bench_overview_screen.cpp)
    set_target_properties(bench_overview_screen PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
    target_link_libraries(bench_overview_screen PRIVATE omira_options omira_gui bench_large_data omira_test_support
                                                        Qt6::Test)
endif()

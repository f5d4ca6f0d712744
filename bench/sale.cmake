# The sale screen. It drives the real screen through the tests' fixture.
if(TARGET omira_test_support)
    add_executable(bench_sale_search bench_sale_search.cpp)
    set_target_properties(bench_sale_search PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
    target_link_libraries(bench_sale_search PRIVATE omira_options omira_gui omira_test_support Qt6::Test)
endif()

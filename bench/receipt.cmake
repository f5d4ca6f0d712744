# Receipt documents, the payment dialog and the print of a sale.
if(TARGET omira_test_support AND TARGET omira-tm)
    add_executable(bench_receipt bench_receipt.cpp)
    set_target_properties(bench_receipt PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
    target_include_directories(bench_receipt PRIVATE ${PROJECT_SOURCE_DIR}/tests/pos)
    target_link_libraries(bench_receipt PRIVATE omira_options omira_test_support benchmark::benchmark)
    target_compile_definitions(bench_receipt PRIVATE OMIRA_TM_EXE="$<TARGET_FILE:omira-tm>")
    add_dependencies(bench_receipt omira-tm)
endif()

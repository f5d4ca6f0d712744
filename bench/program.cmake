# The whole program as a process: its resident memory on a large data folder.
if(TARGET omira_test_support AND TARGET omira-tm AND TARGET omira-predaj)
    add_executable(bench_program_memory bench_program_memory.cpp)
    set_target_properties(bench_program_memory PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
    target_link_libraries(bench_program_memory PRIVATE omira_options bench_large_data omira_test_support)
    target_compile_definitions(bench_program_memory PRIVATE OMIRA_PROGRAM_EXE="$<TARGET_FILE:omira-predaj>"
                                                            OMIRA_TM_EXE="$<TARGET_FILE:omira-tm>")
    add_dependencies(bench_program_memory omira-predaj omira-tm)
endif()

# The whole program as a process selling and printing one item after another: its
# resident memory and its time per sale over a long day.
if(TARGET omira_test_support AND TARGET omira-tm AND TARGET omira-predaj)
    add_executable(bench_program_sales bench_program_sales.cpp)
    set_target_properties(bench_program_sales PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
    target_link_libraries(bench_program_sales PRIVATE omira_options bench_large_data omira_test_support)
    target_compile_definitions(bench_program_sales PRIVATE OMIRA_PROGRAM_EXE="$<TARGET_FILE:omira-predaj>"
                                                           OMIRA_TM_EXE="$<TARGET_FILE:omira-tm>")
    add_dependencies(bench_program_sales omira-predaj omira-tm)
endif()

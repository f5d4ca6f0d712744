# Benchmarks of the whole program as a process, on a copy of the built program.
if(TARGET omira_test_support AND TARGET omira-tm AND TARGET omira-predaj)
    add_library(bench_program_folder STATIC BenchProgramFolder.cpp BenchProgramFolder.h)
    target_include_directories(bench_program_folder PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(bench_program_folder PUBLIC omira_options omira_test_support)
    target_compile_definitions(bench_program_folder PUBLIC OMIRA_PROGRAM_EXE="$<TARGET_FILE:omira-predaj>"
                                                           OMIRA_TM_EXE="$<TARGET_FILE:omira-tm>")

    function(omira_add_program_bench name)
        add_executable(${name} ${name}.cpp)
        set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
        target_link_libraries(${name} PRIVATE bench_large_data bench_program_folder)
        add_dependencies(${name} omira-predaj omira-tm)
    endfunction()

    # Its resident memory on a large data folder.
    omira_add_program_bench(bench_program_memory)
    # Selling and printing one item after another: resident memory and time per sale over
    # a long day.
    omira_add_program_bench(bench_program_sales)
endif()

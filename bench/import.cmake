# Importing a price list of 100,000 rows from a text file and from a workbook, and the
# peak memory of reading the workbook. libxlsxwriter writes the workbook; the benchmark
# alone links it.
find_package(PkgConfig REQUIRED)
pkg_check_modules(BENCH_XLSXWRITER REQUIRED IMPORTED_TARGET xlsxwriter)
add_executable(bench_import bench_import.cpp)
set_target_properties(bench_import PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
target_link_libraries(bench_import PRIVATE omira_core benchmark::benchmark PkgConfig::BENCH_XLSXWRITER)

# Receipt documents, the payment dialog and the print of a sale.
omira_add_test(tst_receiptcomposer SOURCES tst_receiptcomposer.cpp)
omira_add_test(tst_cashvoucher SOURCES tst_cashvoucher.cpp)
omira_add_test(tst_receiptprint SOURCES tst_receiptprint.cpp ReceiptPrintRig.h LIBS omira_tm_core)
omira_add_test(tst_payment SOURCES tst_payment.cpp LIBS omira_gui)

# Cash vouchers printed against the print-manager simulator running as its own process.
omira_add_test(tst_cashvoucherprint SOURCES tst_cashvoucherprint.cpp ReceiptPrintRig.h PrintManagerProcess.h
                                   SampleDeposit.h)
target_compile_definitions(tst_cashvoucherprint PRIVATE OMIRA_TM_EXE="$<TARGET_FILE:omira-tm>")
add_dependencies(tst_cashvoucherprint omira-tm)

# A till killed at each point of a print or of a cash voucher, against the real print-manager simulator.
add_executable(pos_print_child print_child.cpp ReceiptPrintRig.h)
set_target_properties(pos_print_child PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
target_link_libraries(pos_print_child PRIVATE omira_options omira_test_support)
add_executable(pos_voucher_child voucher_child.cpp ReceiptPrintRig.h SampleDeposit.h)
set_target_properties(pos_voucher_child PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
target_link_libraries(pos_voucher_child PRIVATE omira_options omira_test_support)
omira_add_test(tst_printcrash SOURCES tst_printcrash.cpp ReceiptPrintRig.h SampleDeposit.h)
target_compile_definitions(tst_printcrash PRIVATE PRINT_CHILD_EXE="$<TARGET_FILE:pos_print_child>"
                                                  VOUCHER_CHILD_EXE="$<TARGET_FILE:pos_voucher_child>"
                                                  OMIRA_TM_EXE="$<TARGET_FILE:omira-tm>")
add_dependencies(tst_printcrash pos_print_child pos_voucher_child omira-tm)

# The cash-operations dialog driven by keys, its print answered on the link clock.
omira_add_test(tst_cashdialog SOURCES tst_cashdialog.cpp LIBS omira_gui)

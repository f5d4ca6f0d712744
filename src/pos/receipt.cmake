# Receipt documents, the payment dialog and the print of a sale.
target_sources(omira_core PRIVATE
    CashOperationGate.cpp CashOperationGate.h
    CashVoucher.cpp CashVoucher.h
    CashVoucherPrint.cpp CashVoucherPrint.h
    PaymentCalculation.cpp PaymentCalculation.h
    PaymentSession.h
    PrintedRows.cpp PrintedRows.h
    PrintPendingRecord.cpp PrintPendingRecord.h
    ReceiptComposer.cpp ReceiptComposer.h
    ReceiptPrint.cpp ReceiptPrint.h
    ReceiptPrintView.h
)

target_sources(omira_gui PRIVATE
    ui/TForm_financie.cpp ui/TForm_financie.h ui/TForm_financieKeys.cpp
    ui/TForm_platba.cpp ui/TForm_platba.h
)

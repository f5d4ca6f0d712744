# The sale screen.
target_sources(omira_core PRIVATE
    SaleAmounts.cpp SaleAmounts.h
    SaleDocument.cpp SaleDocument.h
    SaleItemEntry.cpp SaleItemEntry.h
    SaleScreenLayout.cpp SaleScreenLayout.h
)

target_sources(omira_gui PRIVATE
    ui/SaleDocumentModel.cpp ui/SaleDocumentModel.h
    ui/SaleDocumentPanel.cpp ui/SaleDocumentPanel.h
    ui/SaleItemPanel.cpp ui/SaleItemPanel.h
    ui/SaleSearchPanel.cpp ui/SaleSearchPanel.h
    ui/TForm_predaj_medic.cpp ui/TForm_predaj_medic.h
    ui/TForm_predaj_medicKeys.cpp
    ui/TForm_predaj_medicLayout.cpp
    ui/TForm_predaj_medicPrint.cpp
)

# The sale screen.
omira_add_test(tst_sale SOURCES tst_sale.cpp SaleScreenFixture.h LIBS omira_gui)
omira_add_test(tst_saleprint SOURCES tst_saleprint.cpp SaleScreenFixture.h LIBS omira_gui omira_tm_core)

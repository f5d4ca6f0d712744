# The sale screen.
omira_add_test(tst_sale SOURCES tst_sale.cpp SaleScreenFixture.h LIBS omira_gui)

# The sale screen.
omira_add_test(tst_sale SOURCES tst_sale.cpp SaleScreenFixture.h LIBS omira_gui)
omira_add_test(tst_saleprint SOURCES tst_saleprint.cpp SaleScreenFixture.h LIBS omira_gui omira_tm_core)
# The sale window's place on a screen of the shop's size under a window manager (openbox).
omira_add_test(tst_salewindowplace SOURCES tst_salewindowplace.cpp SaleScreenFixture.h LIBS omira_gui NEEDS_DISPLAY)

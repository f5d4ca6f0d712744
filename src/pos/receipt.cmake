# Receipt documents, the payment dialog and the print of a sale.

#pragma once

#include "stock/ParadoxTable.h"
#include "stock/StockRowSource.h"

#include <QString>

// The cards of a stock table of an older installation (a Paradox file). Empty
// fields give StockRow's defaults.
class ParadoxStockSource : public StockRowSource
{
public:
    explicit ParadoxStockSource(QString path);

    bool checkLayout() override;
    qint64 rowCount() const override;
    Read next(StockRow &row) override;
    QString error() const override { return m_error; }

private:
    bool ensureOpen();

    QString m_path;
    ParadoxTable m_table;
    QString m_error;
    bool m_checked = false;
};

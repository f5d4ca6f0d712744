#pragma once

#include "stock/ImportRowSource.h"
#include "stock/StockRowSource.h"

#include <memory>

// The cards of a stock table of this program (another installation's
// vx60_sklad.db) as rows for the import, in the import's six columns: NAZOV,
// KOD, JC, POCET, DPH_IDX, MJ_IDX, the numbers typed.
class StockTableImportSource : public ImportRowSource
{
public:
    explicit StockTableImportSource(std::unique_ptr<StockRowSource> cards);

    // Checks that the table has the stock table's layout; false with error().
    bool open();

    Read next(ImportRow &row) override;
    QString error() const override { return m_cards->error(); }
    qint64 position() const override { return m_read; }
    qint64 size() const override { return qMax<qint64>(m_cards->rowCount(), 0); }

private:
    std::unique_ptr<StockRowSource> m_cards;
    qint64 m_read = 0;
};

#include "stock/StockTableImportSource.h"

#include "stock/ImportCells.h"

StockTableImportSource::StockTableImportSource(std::unique_ptr<StockRowSource> cards)
    : m_cards(std::move(cards))
{}

bool StockTableImportSource::open()
{
    m_read = 0;
    return m_cards->checkLayout();
}

ImportRowSource::Read StockTableImportSource::next(ImportRow &row)
{
    StockRow card;
    switch (m_cards->next(card)) {
    case StockRowSource::Read::End:
        return Read::End;
    case StockRowSource::Read::Failed:
        return Read::Failed;
    case StockRowSource::Read::Row:
        break;
    }
    ImportCells cells(row);
    cells.text(card.nazov);
    cells.text(card.kod);
    for (double number : {card.jc, card.pocet, double(card.dphIdx), double(card.mjIdx)})
        cells.number(number);
    row.number = ++m_read;
    return Read::Row;
}

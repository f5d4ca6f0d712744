#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>

class DataFile;
class Progress;
class StockRowWriter;

// Loads a price list of the old binary format (BinaryPriceList) into the stock
// table as new cards. A card keeps the code from the file when no card has it;
// an empty or already used code is replaced by the next free generated code
// I_0001, I_0002, ... Everything is one write transaction: the load lands whole,
// or (cancelled, failed) the price list stays as it was.
//
// A record that cannot be a card (BinaryPriceList::defect) is skipped and
// counted, as is one the table refuses; the other records still load.
class BinaryPriceListLoader
{
public:
    enum class Outcome { Loaded, Cancelled, Failed };

    struct Result
    {
        Outcome outcome = Outcome::Failed;
        int loaded = 0;  // cards written
        int skipped = 0; // records that could not be cards
        QString error;   // why it failed
    };

    explicit BinaryPriceListLoader(DataFile &stock);

    Result loadFile(const QString &path, Progress &progress);
    Result load(QByteArrayView content, Progress &progress);

private:
    // The code the card gets, starting from the file's `code`; nullopt when the
    // table cannot be read.
    std::optional<QString> freeCode(StockRowWriter &writer, QString code);
    Result failed(const QString &error);

    DataFile &m_stock;
    int m_counter = 1;
};

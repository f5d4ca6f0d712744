#include "stock/StockRowSourceFactory.h"

#include "stock/DataFile.h"
#include "stock/SqliteStockSource.h"

#include <QDir>

using namespace Qt::StringLiterals;

OpenedStockRowSource openStockRowSource(const QString &path)
{
    const QString shown = QDir::toNativeSeparators(path);
    switch (DataFile::probe(path)) {
    case DataFile::Kind::Sqlite: {
        auto source = std::make_unique<SqliteStockSource>(path);
        if (!source->isOpen())
            return {nullptr, source->error()};
        return {std::move(source), {}};
    }
    case DataFile::Kind::Missing:
        return {nullptr, u"Súbor %1 neexistuje."_s.arg(shown)};
    case DataFile::Kind::Unreadable:
        return {nullptr, u"Súbor %1 sa nedá čítať."_s.arg(shown)};
    case DataFile::Kind::Empty:
        return {nullptr, u"Súbor %1 je prázdny."_s.arg(shown)};
    case DataFile::Kind::Foreign:
        break;
    }
    return {nullptr, u"Súbor %1 nie je tabuľka cenníka, ktorú program vie prečítať."_s.arg(shown)};
}

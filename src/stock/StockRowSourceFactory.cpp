#include "stock/StockRowSourceFactory.h"

#include "stock/DataFile.h"
#include "stock/ParadoxStockSource.h"
#include "stock/ParadoxTable.h"
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
    case DataFile::Kind::Damaged:
        return {nullptr, u"Súbor %1 je poškodený."_s.arg(shown)};
    case DataFile::Kind::Server: // probe() looks at files only
    case DataFile::Kind::Foreign:
        // A stock table of the old Windows version; its layout is checked like ours.
        if (ParadoxTable::looksLikeParadox(path))
            return {std::make_unique<ParadoxStockSource>(path), {}};
        break;
    }
    return {nullptr, u"Súbor %1 nie je tabuľka cenníka, ktorú program vie prečítať."_s.arg(shown)};
}

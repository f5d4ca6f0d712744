#pragma once

#include "stock/DataFile.h"
#include "stock/StockRowSource.h"

#include <QSqlQuery>

#include <optional>

// The stock table of another installation of this program: VX60_SKLAD in an
// SQLite file of ours. Cards are read in the order they were written.
class SqliteStockSource : public StockRowSource
{
public:
    // Opens `path`; error() tells why a file cannot be read.
    explicit SqliteStockSource(const QString &path);

    bool isOpen() const { return m_file.isOpen(); }

    bool checkLayout() override;
    qint64 rowCount() const override { return m_rowCount; }
    Read next(StockRow &row) override;
    QString error() const override { return m_error; }

private:
    struct Column
    {
        QString name;
        QString type;
    };
    static QList<Column> columnsOf(DataFile &file);
    static QList<Column> expectedColumns();
    bool compare(const QList<Column> &found, const QList<Column> &expected);
    bool countRows();

    DataFile m_file;
    std::optional<QSqlQuery> m_rows;
    qint64 m_rowCount = -1;
    QString m_error;
};

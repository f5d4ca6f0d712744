#pragma once

#include "stock/ImportRowSource.h"

#include <QString>
#include <QStringList>

#include <memory>

// A table of an Access database (.mdb, .accdb), read with mdbtools: the
// columns in the table's order, numbers typed, text as the library decodes
// it, dates as dd.MM.yyyy. Only the user's tables are offered; the database's
// own system tables stay hidden. The column names are not a row.
class AccessImportSource : public ImportRowSource
{
public:
    // `table` empty for the first user table.
    AccessImportSource(QString path, QString table);
    ~AccessImportSource() override;
    AccessImportSource(const AccessImportSource &) = delete;
    AccessImportSource &operator=(const AccessImportSource &) = delete;

    // The user tables of the database, or empty with `error` set.
    static QStringList tables(const QString &path, QString *error);
    // Whether the file starts as a Jet or ACE database does; mdbtools gets no
    // other file.
    static bool looksLikeAccess(const QString &path);

    // Opens the database and its table; false with error().
    bool open();

    Read next(ImportRow &row) override;
    QString error() const override { return m_error; }
    qint64 position() const override { return m_read; }
    qint64 size() const override;

private:
    struct State; // mdbtools' handles and the buffers its columns are bound to

    bool fail(const QString &reason);
    bool openDatabase();
    bool openTable();

    QString m_path;
    QString m_table;
    std::unique_ptr<State> m_state;
    qint64 m_read = 0;
    QString m_error;
};

#include "stock/AccessImportSource.h"

#include "stock/ImportCells.h"

#include <QDir>
#include <QFile>

#include <mdbtools.h>

#include <vector>

using namespace Qt::StringLiterals;

namespace {

// The smallest page of a database (Jet 3); the signature lies in the first one.
constexpr qint64 SmallestPage = 2048;
constexpr qint64 SignatureOffset = 4;
const QByteArray JetSignature("Standard Jet DB", 16);
const QByteArray AceSignature("Standard ACE DB", 16);

QString notAccess()
{
    return u"nie je to databáza Accessu"_s;
}

bool isNumberType(int type)
{
    switch (type) {
    case MDB_BYTE:
    case MDB_INT:
    case MDB_LONGINT:
    case MDB_MONEY:
    case MDB_FLOAT:
    case MDB_DOUBLE:
    case MDB_NUMERIC:
        return true;
    default:
        return false;
    }
}

bool isBinaryType(int type)
{
    return type == MDB_OLE || type == MDB_BINARY || type == MDB_COMPLEX;
}

// The user tables, in the catalog's order.
QList<MdbCatalogEntry *> userTables(MdbHandle *mdb)
{
    QList<MdbCatalogEntry *> tables;
    if (!mdb_read_catalog(mdb, MDB_TABLE))
        return tables;
    for (guint i = 0; i < mdb->num_catalog; ++i) {
        auto *entry = static_cast<MdbCatalogEntry *>(g_ptr_array_index(mdb->catalog, i));
        if (entry->object_type == MDB_TABLE && mdb_is_user_table(entry))
            tables << entry;
    }
    return tables;
}

void addValue(ImportCells &cells, int type, const QByteArray &text)
{
    bool ok = false;
    const double number = isNumberType(type) ? text.toDouble(&ok) : 0;
    if (ok)
        cells.number(number);
    else if (isBinaryType(type) || text.isEmpty())
        cells.empty();
    else if (type == MDB_BOOL)
        cells.text(text == "0" ? u"F"_s : u"T"_s);
    else if (type == MDB_DATETIME && text.endsWith(" 00:00:00"))
        cells.text(QString::fromUtf8(text.chopped(9)));
    else
        cells.text(QString::fromUtf8(text));
}

} // namespace

struct AccessImportSource::State
{
    ~State()
    {
        if (table)
            mdb_free_tabledef(table);
        if (mdb)
            mdb_close(mdb);
    }

    MdbHandle *mdb = nullptr;
    MdbTableDef *table = nullptr;
    std::vector<std::vector<char>> values;
    std::vector<int> lengths;
    std::vector<int> types;
};

AccessImportSource::AccessImportSource(QString path, QString table)
    : m_path(std::move(path)), m_table(std::move(table))
{}

AccessImportSource::~AccessImportSource() = default;

bool AccessImportSource::looksLikeAccess(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() < SmallestPage)
        return false;
    const QByteArray start = file.read(SignatureOffset + JetSignature.size()).mid(SignatureOffset);
    return start == JetSignature || start == AceSignature;
}

QStringList AccessImportSource::tables(const QString &path, QString *error)
{
    AccessImportSource source(path, {});
    if (!source.openDatabase()) {
        *error = source.error();
        return {};
    }
    QStringList names;
    for (MdbCatalogEntry *entry : userTables(source.m_state->mdb))
        names << QString::fromUtf8(entry->object_name);
    if (names.isEmpty()) {
        source.fail(u"databáza nemá žiadnu tabuľku"_s);
        *error = source.error();
    }
    return names;
}

bool AccessImportSource::fail(const QString &reason)
{
    m_error = u"Súbor %1 sa nedá čítať: %2"_s.arg(QDir::toNativeSeparators(m_path), reason);
    return false;
}

bool AccessImportSource::open()
{
    m_read = 0;
    if (!openDatabase())
        return false;
    mdb_set_date_fmt(m_state->mdb, "%d.%m.%Y %H:%M:%S");
    mdb_set_shortdate_fmt(m_state->mdb, "%d.%m.%Y");
    mdb_set_boolean_fmt_numbers(m_state->mdb);
    return openTable();
}

bool AccessImportSource::openDatabase()
{
    if (!looksLikeAccess(m_path))
        return fail(QFile::exists(m_path) ? notAccess() : u"súbor neexistuje"_s);
    m_state = std::make_unique<State>();
    m_state->mdb = mdb_open(QFile::encodeName(m_path).constData(), MDB_NOFLAGS);
    return m_state->mdb || fail(notAccess());
}

bool AccessImportSource::openTable()
{
    const QList<MdbCatalogEntry *> tables = userTables(m_state->mdb);
    if (tables.isEmpty())
        return fail(u"databáza nemá žiadnu tabuľku"_s);
    MdbCatalogEntry *entry = m_table.isEmpty() ? tables.first() : nullptr;
    for (MdbCatalogEntry *candidate : tables) {
        if (!entry && QString::fromUtf8(candidate->object_name) == m_table)
            entry = candidate;
    }
    if (!entry)
        return fail(u"databáza nemá tabuľku „%1“"_s.arg(m_table));
    m_state->table = mdb_read_table(entry);
    if (!m_state->table || !mdb_read_columns(m_state->table))
        return fail(u"tabuľka „%1“ sa nedá prečítať"_s.arg(QString::fromUtf8(entry->object_name)));
    mdb_rewind_table(m_state->table);
    const guint columns = m_state->table->num_cols;
    m_state->values.assign(columns, std::vector<char>(m_state->mdb->bind_size + 1));
    m_state->lengths.assign(columns, 0);
    for (guint i = 0; i < columns; ++i) {
        auto *column = static_cast<MdbColumn *>(g_ptr_array_index(m_state->table->columns, i));
        m_state->types.push_back(column->col_type);
        mdb_bind_column(m_state->table, int(i + 1), m_state->values[i].data(), &m_state->lengths[i]);
    }
    return true;
}

qint64 AccessImportSource::size() const
{
    return m_state && m_state->table ? qint64(m_state->table->num_rows) : 0;
}

ImportRowSource::Read AccessImportSource::next(ImportRow &row)
{
    if (!m_state || !m_state->table) {
        if (m_error.isEmpty())
            fail(u"tabuľka nie je otvorená"_s);
        return Read::Failed;
    }
    if (!mdb_fetch_row(m_state->table))
        return Read::End;
    ImportCells cells(row);
    for (std::size_t i = 0; i < m_state->types.size(); ++i) {
        const int length = qBound(0, m_state->lengths[i], int(m_state->values[i].size()));
        addValue(cells, m_state->types[i], QByteArray(m_state->values[i].data(), length));
    }
    row.number = ++m_read;
    return Read::Row;
}

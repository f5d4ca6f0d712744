// omira-migrate DATA_FOLDER [--force]
// Converts the Paradox tables of an older installation in a data folder into the
// program's SQLite tables (DataFolderMigration), with a progress line and the
// report on the terminal. Exit code 0 only when every table was taken over whole.
#include "base/Progress.h"
#include "stock/DataFolderMigration.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QStringList>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

constexpr int UsageError = 2;

void print(std::FILE *stream, const QString &text)
{
    std::fputs(text.toUtf8().constData(), stream);
    std::fflush(stream);
}

class ProgressLine : public Progress
{
public:
    explicit ProgressLine(const DataFolderMigration &migration) : m_migration(migration) {}
    ~ProgressLine() override
    {
        if (m_shown)
            print(stdout, u"\n"_s);
    }

    bool advance(qint64 done, qint64 total) override
    {
        if (m_shown && m_table != m_migration.currentTable())
            print(stdout, u"\n"_s);
        m_table = m_migration.currentTable();
        m_shown = true;
        print(stdout, u"\r%1: %2 / %3 riadkov"_s.arg(m_table).arg(done).arg(total));
        return true;
    }

private:
    const DataFolderMigration &m_migration;
    QString m_table;
    bool m_shown = false;
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList arguments = app.arguments().mid(1);
    const bool force = arguments.removeAll(u"--force"_s) > 0;
    if (arguments.size() != 1 || arguments.first().startsWith(u'-')) {
        print(stderr, u"Použitie: omira-migrate PRIEČINOK_DÁT [--force]\n"
                      u"Prevedie tabuľky Paradox (vx60_sklad.db, predaj_RRRR.db) na tabuľky SQLite.\n"_s);
        return UsageError;
    }
    DataFolderMigration migration(arguments.first(), force, QDateTime::currentDateTime());
    bool ok = false;
    {
        ProgressLine progress(migration);
        ok = migration.run(progress);
    }
    if (!migration.error().isEmpty()) {
        print(stderr, migration.error() + u'\n');
        if (migration.results().isEmpty())
            return 1;
    }
    print(stdout, migration.report());
    print(stdout, u"Správa: %1\n"_s.arg(migration.reportPath()));
    return ok ? 0 : 1;
}

// omira-migrate DATA_FOLDER [--force]
// omira-migrate DATA_FOLDER --server CONNECTION
// Converts the Paradox tables of an older installation in a data folder into the
// program's SQLite tables (DataFolderMigration), or copies the folder's SQLite
// tables into the shop's PostgreSQL database (ServerCopy), with a progress line
// and the report on the terminal. Exit code 0 only when every table was taken
// over whole.
#include "base/Progress.h"
#include "stock/DataFolderMigration.h"
#include "stock/ServerCopy.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QStringList>

#include <cstdio>
#include <functional>
#include <optional>

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
    explicit ProgressLine(std::function<QString()> currentTable) : m_currentTable(std::move(currentTable)) {}
    ~ProgressLine() override
    {
        if (m_shown)
            print(stdout, u"\n"_s);
    }

    bool advance(qint64 done, qint64 total) override
    {
        if (m_shown && m_table != m_currentTable())
            print(stdout, u"\n"_s);
        m_table = m_currentTable();
        m_shown = true;
        print(stdout, u"\r%1: %2 / %3 riadkov"_s.arg(m_table).arg(done).arg(total));
        return true;
    }

private:
    std::function<QString()> m_currentTable;
    QString m_table;
    bool m_shown = false;
};

// Runs `work` (a DataFolderMigration or a ServerCopy) and prints its report.
template <typename Work> int runAndReport(Work &work)
{
    bool ok = false;
    {
        ProgressLine progress([&work] { return work.currentTable(); });
        ok = work.run(progress);
    }
    if (!work.error().isEmpty()) {
        print(stderr, work.error() + u'\n');
        if (work.results().isEmpty())
            return 1;
    }
    print(stdout, work.report());
    print(stdout, u"Správa: %1\n"_s.arg(work.reportPath()));
    return ok ? 0 : 1;
}

// The value of `--name VALUE`, taken out of `arguments`; empty when not given.
std::optional<QString> takeOption(QStringList &arguments, const QString &name)
{
    const qsizetype at = arguments.indexOf(name);
    if (at < 0)
        return std::nullopt;
    if (at + 1 >= arguments.size())
        return QString();
    const QString value = arguments.takeAt(at + 1);
    arguments.removeAt(at);
    return value;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList arguments = app.arguments().mid(1);
    const bool force = arguments.removeAll(u"--force"_s) > 0;
    const std::optional<QString> server = takeOption(arguments, u"--server"_s);
    if (arguments.size() != 1 || arguments.first().startsWith(u'-') ||
        (server && server->trimmed().isEmpty()) || (server && force)) {
        print(stderr, u"Použitie: omira-migrate PRIEČINOK_DÁT [--force]\n"
                      u"Prevedie tabuľky Paradox (vx60_sklad.db, predaj_RRRR.db) na tabuľky SQLite.\n"
                      u"Použitie: omira-migrate PRIEČINOK_DÁT --server SPOJENIE\n"
                      u"Skopíruje tabuľky SQLite priečinka do databázy servera PostgreSQL (SPOJENIE ako v "
                      u"pokladna.ini [DATABAZA] SPOJENIE, napríklad \"service=obchod\").\n"_s);
        return UsageError;
    }
    if (server) {
        ServerCopy copy(arguments.first(), DataServer{DataServer::Kind::PostgreSql, *server, {}},
                        QDateTime::currentDateTime());
        return runAndReport(copy);
    }
    DataFolderMigration migration(arguments.first(), force, QDateTime::currentDateTime());
    return runAndReport(migration);
}

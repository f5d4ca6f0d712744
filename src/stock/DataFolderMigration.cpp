#include "stock/DataFolderMigration.h"

#include "base/Progress.h"
#include "stock/DataFile.h"
#include "stock/MigrationReport.h"
#include "stock/ParadoxTable.h"
#include "stock/TableLayouts.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 CompareChunk = 1 << 20;

// Companions of a Paradox table: primary index, secondary indexes, memo and validity files.
bool isCompanionSuffix(const QString &suffix)
{
    static const QRegularExpression pattern(u"^(db|px|mb|val|tv|fam|[xy][0-9a-f]{2}|[xy]g[0-9a-f])$"_s,
                                            QRegularExpression::CaseInsensitiveOption);
    return pattern.match(suffix).hasMatch();
}

bool sameBytes(const QString &a, const QString &b)
{
    QFile first(a);
    QFile second(b);
    if (!first.open(QIODevice::ReadOnly) || !second.open(QIODevice::ReadOnly) ||
        first.size() != second.size())
        return false;
    while (!first.atEnd()) {
        if (first.read(CompareChunk) != second.read(CompareChunk))
            return false;
    }
    return true;
}

} // namespace

DataFolderMigration::DataFolderMigration(QString folder, bool force, QDateTime now)
    : m_folder(QDir(folder).absolutePath()), m_force(force), m_stamp(now.toString(u"yyyyMMdd_HHmmss"_s))
{}

QString DataFolderMigration::backupFolder() const
{
    return QDir(m_folder).filePath(u"zaloha/paradox_"_s + m_stamp);
}

QString DataFolderMigration::reportPath() const
{
    return MigrationReport::pathIn(m_folder, m_stamp);
}

bool DataFolderMigration::collect(QList<Table> &tables)
{
    static const QRegularExpression salesName(u"^predaj_(\\d{4})\\.db$"_s,
                                              QRegularExpression::CaseInsensitiveOption);
    QDir dir(m_folder);
    if (!dir.exists()) {
        m_error = u"Priečinok %1 neexistuje."_s.arg(m_folder);
        return false;
    }
    QStringList converted;
    for (const QString &name : dir.entryList(QDir::Files, QDir::Name)) {
        Table table{name, TableLayouts::StockFileName, ParadoxTableConversion::Kind::Stock};
        const QRegularExpressionMatch sales = salesName.match(name);
        if (sales.hasMatch()) {
            table.kind = ParadoxTableConversion::Kind::Sales;
            table.year = sales.captured(1).toInt();
            table.targetName = TableLayouts::salesFileName(table.year);
        } else if (name.compare(TableLayouts::StockFileName, Qt::CaseInsensitive) != 0) {
            continue;
        }
        const QString path = dir.filePath(name);
        switch (DataFile::probe(path)) {
        case DataFile::Kind::Sqlite:
            converted << name;
            break;
        case DataFile::Kind::Foreign:
            if (ParadoxTable::looksLikeParadox(path))
                tables << table;
            else
                m_results << TableResult{name, false, 0, 0, {}, u"súbor nie je tabuľka Paradox ani SQLite"_s};
            break;
        default:
            m_skipped << name;
            break;
        }
    }
    if (!converted.isEmpty() && !m_force) {
        m_error =
            u"Priečinok už obsahuje prevedené tabuľky (%1). Ak majú ostať tak, ako sú, a previesť sa majú "
            u"len tabuľky Paradox, spustite program s voľbou --force."_s.arg(converted.join(u", "_s));
        return false;
    }
    // On a file system that tells case apart, a converted table of the same name
    // beside a Paradox one stays: the Paradox one is not converted over it.
    for (qsizetype i = tables.size() - 1; i >= 0; --i) {
        if (tables[i].fileName != tables[i].targetName && converted.contains(tables[i].targetName)) {
            m_results << TableResult{tables[i].fileName,
                                     false,
                                     0,
                                     0,
                                     {},
                                     u"prevedená tabuľka %1 už existuje"_s.arg(tables[i].targetName)};
            tables.removeAt(i);
        }
    }
    return true;
}

QStringList DataFolderMigration::companions(const QString &fileName) const
{
    const QString base = QFileInfo(fileName).completeBaseName();
    QStringList names;
    for (const QString &name : QDir(m_folder).entryList(QDir::Files, QDir::Name)) {
        const QFileInfo info(name);
        if (info.completeBaseName().compare(base, Qt::CaseInsensitive) == 0 &&
            isCompanionSuffix(info.suffix()))
            names << name;
    }
    return names;
}

bool DataFolderMigration::backUp(const QList<Table> &tables)
{
    const QString folder = backupFolder();
    if (!QDir().mkpath(folder)) {
        m_error = u"Priečinok zálohy %1 sa nedá vytvoriť."_s.arg(folder);
        return false;
    }
    QDir dir(m_folder);
    for (const Table &table : tables) {
        for (const QString &name : companions(table.fileName)) {
            const QString copy = QDir(folder).filePath(name);
            if (!QFile::copy(dir.filePath(name), copy) || !sameBytes(dir.filePath(name), copy)) {
                m_error =
                    u"Súbor %1 sa nepodarilo zálohovať do %2; nič nebolo prevedené."_s.arg(name, folder);
                return false;
            }
        }
    }
    return true;
}

bool DataFolderMigration::replaceOriginal(const Table &table, QString &error)
{
    QDir dir(m_folder);
    const QString temporary = dir.filePath(table.targetName + u".migracia"_s);
    // rename() replaces the original in one step: the folder never lacks the table.
    if (std::rename(QFile::encodeName(temporary).constData(),
                    QFile::encodeName(dir.filePath(table.targetName)).constData()) != 0) {
        QFile::remove(temporary);
        error = u"nový súbor sa nepodarilo premenovať na %1"_s.arg(table.targetName);
        return false;
    }
    for (const QString &name : companions(table.fileName)) {
        if (name != table.targetName && !QFile::remove(dir.filePath(name)))
            error = u"súbor %1 sa nepodarilo odstrániť (jeho kópia je v zálohe)"_s.arg(name);
    }
    return true;
}

DataFolderMigration::TableResult DataFolderMigration::convert(const Table &table, Progress &progress)
{
    m_current = table.fileName;
    TableResult result;
    result.fileName = table.fileName;
    QDir dir(m_folder);
    ParadoxTableConversion conversion(table.kind, table.year);
    const bool ok = conversion.run(dir.filePath(table.fileName),
                                   dir.filePath(table.targetName + u".migracia"_s), progress);
    result.rowsRead = conversion.rowsRead();
    result.rowsWritten = conversion.rowsWritten();
    result.refusals = conversion.refusals();
    if (!ok) {
        result.error = conversion.error() + u" Pôvodná tabuľka ostala na mieste."_s;
        return result;
    }
    result.converted = replaceOriginal(table, result.error);
    return result;
}

bool DataFolderMigration::run(Progress &progress)
{
    m_results.clear();
    m_skipped.clear();
    m_error.clear();
    QList<Table> tables;
    if (!collect(tables))
        return false;
    if (!tables.isEmpty() && !backUp(tables))
        return false;
    for (const Table &table : std::as_const(tables))
        m_results << convert(table, progress);
    m_current.clear();
    bool ok = writeReport();
    for (const TableResult &result : std::as_const(m_results))
        ok = ok && result.converted && result.error.isEmpty() && result.refusals.isEmpty();
    return ok;
}

QString DataFolderMigration::report() const
{
    QStringList lines{u"Prevod tabuliek Paradox v priečinku %1"_s.arg(m_folder)};
    if (m_results.isEmpty())
        lines << u"Priečinok neobsahuje žiadnu tabuľku Paradox na prevod."_s;
    else
        lines << u"Záloha pôvodných súborov: %1"_s.arg(backupFolder());
    for (const TableResult &result : m_results) {
        lines << u""_s
              << u"%1: prečítané riadky %2, zapísané %3, odmietnuté %4"_s.arg(result.fileName)
                     .arg(result.rowsRead)
                     .arg(result.rowsWritten)
                     .arg(result.refusals.size());
        for (const ParadoxTableConversion::Refusal &refusal : result.refusals)
            lines << u"  riadok %1: %2"_s.arg(refusal.row).arg(refusal.reason);
        if (!result.error.isEmpty())
            lines << u"  CHYBA: "_s + result.error;
        else if (result.converted)
            lines << u"  prevedená"_s;
    }
    for (const QString &name : m_skipped)
        lines << u""_s << u"%1: prázdny alebo nečitateľný súbor, vynechaný"_s.arg(name);
    return lines.join(u'\n') + u'\n';
}

bool DataFolderMigration::writeReport()
{
    if (MigrationReport::write(reportPath(), report()))
        return true;
    m_error = u"Správu %1 sa nepodarilo zapísať."_s.arg(reportPath());
    return false;
}

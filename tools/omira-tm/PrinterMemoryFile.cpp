#include "omira-tm/PrinterMemoryFile.h"

#include "base/IniFile.h"
#include "omira-tm/CentAmount.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

const QString PrinterSection = u"PRINTER"_s;
const QString TurnoverSection = u"TURNOVERS"_s;
const QString RateSection = u"RATES"_s;
const QString DataSection = u"DATA"_s;

const std::array<QString, PrinterMemory::AmountCount> TurnoverKeys = {
    u"HIGHER"_s, u"REDUCED"_s,  u"EXEMPT"_s,      u"PACKAGING"_s, u"INVOICES"_s,
    u"FOURTH"_s, u"DEPOSITS"_s, u"WITHDRAWALS"_s, u"SPARE"_s};

QString rateKey(int index)
{
    return u"RATE_%1"_s.arg(index + 1);
}

QString headerKey(int index)
{
    return u"HEADER_%1"_s.arg(index + 1);
}

void readTurnovers(const IniFile &ini, PrinterMemory &state)
{
    for (int i = 0; i < PrinterMemory::AmountCount; ++i) {
        const QString text = ini.readString(TurnoverSection, TurnoverKeys[i], QString());
        state.turnovers[i] = CentAmount::parse(text.toLatin1()).value_or(0);
    }
}

void readData(const IniFile &ini, PrinterMemory &state)
{
    for (int i = 0; i < PrinterMemory::RateCount; ++i)
        state.vatRates[i] = std::clamp(ini.readInt(RateSection, rateKey(i), state.vatRates[i]), 0, 255);
    state.build = ini.readString(DataSection, u"BUILD"_s, state.build);
    state.taxCode = ini.readString(DataSection, u"TAX_CODE"_s, state.taxCode);
    if (!ini.hasKey(DataSection, headerKey(0)))
        return;
    state.headerLines.clear();
    for (int i = 0; i < PrinterMemoryFile::MaxHeaderLines && ini.hasKey(DataSection, headerKey(i)); ++i)
        state.headerLines.append(ini.readString(DataSection, headerKey(i), QString()));
}

} // namespace

PrinterMemoryFile::PrinterMemoryFile(QString path) : m_path(std::move(path)) {}

bool PrinterMemoryFile::exists() const
{
    return QFileInfo::exists(m_path);
}

PrinterMemory PrinterMemoryFile::load() const
{
    PrinterMemory state = PrinterMemory::factoryDefaults();
    IniFile ini(m_path);
    if (!ini.load())
        return state;
    state.documentNumber = std::max(0, ini.readInt(PrinterSection, u"NUMBER"_s, 0));
    state.uid = ini.readString(PrinterSection, u"UID"_s, QString());
    state.secondId = ini.readString(PrinterSection, u"SECOND_ID"_s, QString());
    state.label = ini.readString(PrinterSection, u"LABEL"_s, QString());
    state.date = ini.readString(PrinterSection, u"DATE"_s, QString());
    state.time = ini.readString(PrinterSection, u"TIME"_s, QString());
    readTurnovers(ini, state);
    readData(ini, state);
    return state;
}

bool PrinterMemoryFile::save(const PrinterMemory &state) const
{
    // Written from scratch, so that header lines that were removed do not linger.
    IniFile ini(m_path);
    ini.setInt(PrinterSection, u"NUMBER"_s, state.documentNumber);
    ini.setString(PrinterSection, u"UID"_s, state.uid);
    ini.setString(PrinterSection, u"SECOND_ID"_s, state.secondId);
    ini.setString(PrinterSection, u"LABEL"_s, state.label);
    ini.setString(PrinterSection, u"DATE"_s, state.date);
    ini.setString(PrinterSection, u"TIME"_s, state.time);
    for (int i = 0; i < PrinterMemory::AmountCount; ++i)
        ini.setString(TurnoverSection, TurnoverKeys[i], CentAmount::format(state.turnovers[i]));
    for (int i = 0; i < PrinterMemory::RateCount; ++i)
        ini.setInt(RateSection, rateKey(i), state.vatRates[i]);
    ini.setString(DataSection, u"BUILD"_s, state.build);
    ini.setString(DataSection, u"TAX_CODE"_s, state.taxCode);
    for (int i = 0; i < std::min<int>(state.headerLines.size(), MaxHeaderLines); ++i)
        ini.setString(DataSection, headerKey(i), state.headerLines[i]);
    return ini.save();
}

#include "stock/ServiceSettingsSave.h"

#include "base/Configuration.h"
#include "base/Paths.h"
#include "stock/CardRenumbering.h"
#include "stock/DataFile.h"
#include "stock/PointOfSaleKeys.h"
#include "stock/ReceiptHeaderFile.h"
#include "stock/UnitAndGroupNames.h"

using namespace Qt::StringLiterals;

namespace {

const QString kNotSaved = u"Zmeny nastavení sa neuložili."_s;

QString notWritten(const QString &path)
{
    return u"Súbor %1 sa nepodarilo zapísať."_s.arg(path);
}

QString inUseText(const CardRenumbering::Result &result)
{
    const QString what =
        result.list == CardRenumbering::List::Units ? u"Mernú jednotku"_s : u"Skladovú skupinu"_s;
    return u"%1 '%2' medzitým použili karty cenníka (počet kariet: %3), preto ju nemožno vymazať.\r\n%4"_s
        .arg(what, result.entry, QString::number(result.cards), kNotSaved);
}

} // namespace

ServiceSettingsSave::ServiceSettingsSave(QString programFolder, Configuration &config, DataFile &stockFile)
    : m_programFolder(std::move(programFolder)), m_config(config), m_stockFile(stockFile)
{}

PointOfSaleSettings ServiceSettingsSave::current(const QString &programFolder, const Configuration &config)
{
    PointOfSaleSettings settings = PointOfSaleSettings::load(programFolder);
    // The file keeps a "*" pattern of the input file; it stays as written while it
    // still names the file the program uses.
    if (resolveInputPattern(settings.printManagerInput) != config.printManagerInput)
        settings.printManagerInput = config.printManagerInput;
    settings.saleScreenAtStart = config.saleScreenAtStart;
    settings.demo = config.demo;
    settings.infoTimeout = config.infoTimeout;
    settings.statusTimeout = config.statusTimeout;
    settings.repeatPeriod = config.repeatPeriod;
    settings.cashierRequired = config.cashierRequired;
    settings.printManagerTitle = config.printManagerTitle;
    settings.terminatePrintManager = config.terminatePrintManager;
    settings.dataFolder = config.dataFolder;
    settings.tillNumber = config.tillNumber;
    settings.paymentMeans = config.paymentMeans;
    settings.cashiers = config.cashiers;
    settings.paymentDialog = config.paymentDialog;
    return settings;
}

bool ServiceSettingsSave::writeNamesAndHeader(const ServiceEdits &edits, QString &problem) const
{
    // The header belongs to the data folder in effect until this save is done.
    const QString headerPath = ReceiptHeaderFile::filePath(m_config.dataFolder);
    if (edits.header && !ReceiptHeaderFile::save(headerPath, *edits.header)) {
        problem = notWritten(headerPath) + u"\r\n"_s + kNotSaved;
        return false;
    }
    const UnitAndGroupNames names = UnitAndGroupNames::fromLists(edits.units.texts(), edits.groups.texts());
    if (!names.save(edits.settings.dataFolder)) {
        problem = notWritten(UnitAndGroupNames::filePath(edits.settings.dataFolder)) + u"\r\n"_s + kNotSaved;
        return false;
    }
    return true;
}

ServiceSettingsSave::Result ServiceSettingsSave::renumberAndWrite(const ServiceEdits &edits)
{
    QString problem;
    if (!CardRenumbering::needed(edits.units, edits.groups))
        return {writeNamesAndHeader(edits, problem), problem};
    if (!m_stockFile.isOpen())
        return {false, u"Cenník nie je otvorený, karty cenníka nemožno prečíslovať.\r\n"_s + kNotSaved};
    CardRenumbering renumbering(m_stockFile);
    const CardRenumbering::Result result =
        renumbering.apply(edits.units, edits.groups, [&] { return writeNamesAndHeader(edits, problem); });
    switch (result.outcome) {
    case CardRenumbering::Outcome::Done:
        return {true, {}};
    case CardRenumbering::Outcome::EntryInUse:
        return {false, inUseText(result)};
    case CardRenumbering::Outcome::Stopped:
        return {false, problem};
    case CardRenumbering::Outcome::Failed:
        break;
    }
    return {false, u"Karty cenníka sa nepodarilo prečíslovať:\r\n%1\r\n%2"_s.arg(result.error, kNotSaved)};
}

ServiceSettingsSave::Result ServiceSettingsSave::save(const ServiceEdits &edits)
{
    Result result = renumberAndWrite(edits);
    if (!result.saved)
        return result;
    edits.settings.applyTo(m_config);
    if (!edits.settings.save(m_programFolder))
        result.problem = notWritten(PointOfSaleKeys::filePath(m_programFolder));
    return result;
}

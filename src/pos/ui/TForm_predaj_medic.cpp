#include "pos/ui/TForm_predaj_medic.h"

#include "base/Configuration.h"
#include "base/Cp1250.h"
#include "base/UserDialogs.h"
#include "lang/MessageTable.h"
#include "link/PrinterDetection.h"
#include "link/PrinterRequests.h"
#include "link/PrinterState.h"
#include "pos/DataModule.h"
#include "pos/ReceiptPrint.h"
#include "pos/SaleScreenLayout.h"
#include "pos/ui/SaleDocumentModel.h"
#include "pos/ui/SaleDocumentPanel.h"
#include "pos/ui/SaleItemPanel.h"
#include "pos/ui/SaleSearchPanel.h"
#include "stock/DataFolder.h"
#include "stock/PointOfSaleSettings.h"
#include "stock/ReceiptHeaderFile.h"
#include "stock/ui/RichTextBox.h"
#include "stock/ui/StockListModel.h"
#include "widgets/GridColumnFitter.h"
#include "widgets/PanelStatusBar.h"
#include "widgets/TypeOverFocus.h"
#include "widgets/WindowPlacement.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QStackedLayout>
#include <QTableView>
#include <QTextEdit>

using namespace Qt::StringLiterals;

namespace {

// The VAT entries 0..6 show the printer's rates 1, 2, 3, 6, 4, 5, 7.
constexpr std::array<int, PrinterState::VatRateCount> kVatRateOfEntry = {0, 1, 2, 5, 3, 4, 6};
const QString kSupportProgram = u"Brixo_Client.exe"_s;

bool startDetached(const QString &program)
{
    return QProcess::startDetached(program, {}, QFileInfo(program).absolutePath());
}

QString digitsOnly(const QString &text)
{
    QString digits;
    for (QChar c : text) {
        if (c.isDigit())
            digits.append(c);
    }
    return digits;
}

} // namespace

TForm_predaj_medic::TForm_predaj_medic(const SaleScreenServices &services, QWidget *parent)
    : QWidget(parent), m_services(services),
      m_document(services.data, services.context.messages, services.context.dialogs),
      m_entry(m_document, services.data, services.context.messages, services.context.dialogs),
      m_names(UnitAndGroupNames::defaults()), m_startProgram(startDetached)
{
    const QString folder = m_services.data.dataFolder();
    if (!folder.isEmpty() && !QDir(folder).exists() && !QDir().mkdir(folder)) {
        m_services.context.dialogs.error(m_services.context.messages.text(Msg::DataFolderNotCreated) +
                                             u"\r\n"_s + QDir::toNativeSeparators(folder),
                                         QString());
    }
    TypeOverFocus::install();
    buildUi();
    connectSignals();
    installFilters();
    m_search->chooseColumn(0);
    createPrint();
}

TForm_predaj_medic::~TForm_predaj_medic()
{
    // The children outlive this part of the object while QWidget deletes them.
    disconnect(qApp, nullptr, this, nullptr);
    const QList<QWidget *> children = findChildren<QWidget *>();
    for (QWidget *child : children)
        child->removeEventFilter(this);
}

// ---- Showing ---------------------------------------------------------------

void TForm_predaj_medic::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TForm_predaj_medic::FormShow()
{
    CheckBox_paragon->setVisible(true);
    CheckBox_paragon->setChecked(false);
    Edit_paragon->clear();
    const QDateTime now = QDateTime::currentDateTime();
    MaskEdit_paragon_date->setText(now.toString(u"yyyyMMdd"_s));
    MaskEdit_paragon_time->setText(now.toString(u"HHmmss"_s));
    m_closingMode = 1;
    m_shownOnce = true;
    m_services.data.connectDatabases();
    m_services.data.ensureStockTable();
    readSettings();
    placeWindow();
    askPrinter();
    fillLists();
    fillStatusPanels();
    loadHeader();
    QDir().mkpath(DataFolder::file(m_services.data.dataFolder(), u"zaloha"_s));
    setLastDocumentUid(m_services.printer.info.uid);
    prepareTables();
    // A window that is shown gets the focus with its activation: that is the
    // cashier's entry into the search field.
    m_searchEntryPending = true;
    m_search->searchField()->setFocus();
    m_item->setNameEditable(false);
    resolvePendingPrint();
}

void TForm_predaj_medic::readSettings()
{
    // The data folder in effect, which a save of the maintenance screen may have changed.
    m_names = UnitAndGroupNames::load(m_services.context.config.dataFolder);
    const PointOfSaleSettings settings = PointOfSaleSettings::load(m_services.context.programFolder);
    m_serialNumber = settings.serialNumber;
    m_printerModel = settings.printerModel;
    settings.applyShowingKeysTo(m_services.context.config);
}

void TForm_predaj_medic::settingsChanged()
{
    readSettings();
    fillLists();
    fillStatusPanels();
}

void TForm_predaj_medic::placeWindow()
{
    const SaleScreenLayout layout =
        SaleScreenLayout::load(m_services.context.programFolder, SaleDocumentModel::ColumnCount,
                               int(StockListModel::defaultFields().size()));
    // The place is the frame's (title bar included), as saveSettings() keeps it.
    if (layout.placement.height != 0)
        m_placement->place({layout.placement.left, layout.placement.top}, layout.placement.height);
    else
        m_placement->place({5, 5}, 0);
    QStringList fields = StockListModel::defaultFields();
    for (int column = 0; column < fields.size() && column < layout.stockFields.size(); ++column) {
        if (StockListModel::isKnownField(layout.stockFields.at(column)))
            fields[column] = layout.stockFields.at(column);
    }
    m_search->setFields(fields);
    // The names take the room the numbers leave, also after stored widths.
    GridColumnFitter &documentColumns = m_documentPanel->columns();
    documentColumns.alwaysFillWithColumn(SaleDocumentModel::Nazov);
    if (layout.documentColumns.isEmpty())
        documentColumns.fillWithColumn(SaleDocumentModel::Nazov);
    else
        documentColumns.setWidths(layout.documentColumns);
    GridColumnFitter &stockColumns = m_search->columns();
    const int nameColumn = int(fields.indexOf(u"NAZOV"_s));
    stockColumns.alwaysFillWithColumn(nameColumn);
    if (layout.stockColumns.isEmpty())
        stockColumns.fillWithColumn(std::max(0, nameColumn));
    else
        stockColumns.setWidths(layout.stockColumns);
}

void TForm_predaj_medic::askPrinter()
{
    const Configuration &config = m_services.context.config;
    const MessageTable &messages = m_services.context.messages;
    if (m_services.detection.online_sts() != 0)
        m_services.requests.read_info_reply(config.infoTimeout, true);
    else
        m_services.context.dialogs.warn(
            u"Nepodarilo sa zdetekovat pokladňu.\r\nDoklady nebude možno tlačiť."_s,
            messages.text(Msg::PrinterStateCaption));
    if (config.demo) {
        m_services.printer.vat_rates.fill(0);
        m_services.printer.info.dailyClosingNumber = 0;
        m_services.printer.info.documentNumber = 0;
    }
    setWindowTitle(messages.text(config.demo ? Msg::SaleCaptionDemo : Msg::SaleCaption));
    if (config.demo) {
        Label_dkp->setText(u"DEMO MÓD"_s);
        return;
    }
    const bool answered = m_services.requests.query_printer_data('D') > 0;
    Label_dkp->setText(answered ? Cp1250::decode(m_services.printer.data_reply).trimmed() : QString());
}

void TForm_predaj_medic::fillLists()
{
    QStringList rates;
    for (int rate : kVatRateOfEntry)
        rates << QString::number(m_services.printer.vat_rates.at(size_t(rate)));
    m_item->fillLists(rates, m_names.unitList());
}

void TForm_predaj_medic::fillStatusPanels()
{
    const PrinterInfo &info = m_services.printer.info;
    SB_predaj->setPanelText(0, info.date);
    SB_predaj->setPanelText(1, info.label);
    SB_predaj->setPanelText(2, m_services.context.config.socketTest ? u"TEST SOCKET"_s : u"Omira"_s);
    SB_predaj->setPanelText(3, info.time);
    // Tills that share a data folder tell each other apart by this number.
    SB_predaj->setPanelText(4, u"Pokladňa %1 | "_s.arg(m_services.context.config.tillNumber) +
                                   m_serialNumber + u" / "_s + printerModelName(m_printerModel));
}

void TForm_predaj_medic::loadHeader()
{
    const ReceiptHeaderFile::LoadResult header =
        ReceiptHeaderFile::load(ReceiptHeaderFile::filePath(m_services.data.dataFolder()));
    if (header.status == ReceiptHeaderFile::Status::Loaded)
        RichTextBox::fill(RE_hlavicka, header.document);
    else if (RE_hlavicka->document()->isEmpty())
        RichTextBox::fill(RE_hlavicka, RichTextDocument::fromPlainLines(ReceiptHeaderFile::defaultLines()));
}

void TForm_predaj_medic::prepareTables()
{
    m_services.data.checkAndUpgradeSalesTable();
    m_services.data.applyOpenFilter();
    m_search->clearText();
    m_search->chooseColumn(0);
    m_document.reloadRows();
    m_documentPanel->refresh();
    m_search->itemList()->setEnabled(true);
    recomputeTotal();
    m_documentPanel->columns().fillGrid();
    m_search->columns().fillGrid();
}

// ---- Closing ---------------------------------------------------------------

void TForm_predaj_medic::closeEvent(QCloseEvent *event)
{
    event->accept();
    hide();
    m_services.data.closeDatabases();
    saveSettings();
    if (m_closingMode == 0) {
        if (m_endProgram)
            m_endProgram();
    }
}

void TForm_predaj_medic::saveSettings()
{
    if (!m_shownOnce)
        return;
    SaleScreenLayout layout;
    const QPoint frameTopLeft = m_placement->frameTopLeft();
    layout.placement = {frameTopLeft.x(), frameTopLeft.y(), m_placement->frameHeight()};
    layout.documentColumns = m_documentPanel->columns().widths();
    layout.stockColumns = m_search->columns().widths();
    layout.stockFields = m_search->fields();
    if (!layout.save(m_services.context.programFolder))
        m_services.context.writeErrorLog(u"Nastavenie okna predaja sa nepodarilo uložiť do pokladna.ini"_s);
}

void TForm_predaj_medic::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMinimized() && m_minimize)
        m_minimize();
    // Disabling the window (while the program asks whether to end) took the focus
    // away; the cashier goes on in the search field.
    if (event->type() == QEvent::EnabledChange && isEnabled() && isVisible())
        m_search->searchField()->setFocus();
}

// ---- Search and document ---------------------------------------------------

void TForm_predaj_medic::Edit_predajEnter()
{
    m_search->enter();
}

void TForm_predaj_medic::beforeSearchFieldKey()
{
    if (m_document.isEmpty())
        recomputeTotal();
    m_documentPanel->putAwayText();
}

void TForm_predaj_medic::showTotal()
{
    m_documentPanel->showTotal();
}

int TForm_predaj_medic::searchColumn() const
{
    return m_search->searchColumn();
}

double TForm_predaj_medic::recomputeTotal()
{
    m_document.recomputeTotal();
    showTotal();
    return m_document.total();
}

bool TForm_predaj_medic::storeCurrentItem()
{
    const std::optional<StockRow> current = m_search->currentCard();
    const SaleItemContext context{m_services.printer.info.dailyClosingNumber,
                                  m_services.printer.info.documentNumber, QDateTime::currentDateTime(),
                                  m_locale};
    const SaleItemEntry::Result result = m_entry.store(m_item->input(current && current->obal), context);
    if (result.clearDiscount)
        m_item->clearDiscount();
    const bool stored = result.outcome == SaleItemEntry::Outcome::Stored;
    if (!stored && result.outcome != SaleItemEntry::Outcome::NotStored) {
        m_item->focusAfter(result.outcome);
        return false;
    }
    if (stored)
        m_item->setNameEditable(false);
    showTotal();
    m_services.data.setDocumentSourceEnabled(true);
    // The row just stored is the current one, so that "Vymaž" removes it.
    m_documentPanel->refresh(stored ? std::optional<int>(result.key) : std::nullopt);
    m_search->searchField()->setFocus();
    return stored;
}

bool TForm_predaj_medic::applyDocumentDiscount(int percent)
{
    const bool applied = m_document.applyDocumentDiscount(percent);
    m_documentPanel->refresh();
    showTotal();
    return applied;
}

void TForm_predaj_medic::setLastDocumentUid(const QString &uid)
{
    EditUID->setText(uid);
}

QPoint TForm_predaj_medic::cashDialogPosition(QSize size) const
{
    return {x() + width() / 2 - size.width() / 2, y() + height() / 2 - size.height() / 2};
}

bool TForm_predaj_medic::paragonChecked() const
{
    return CheckBox_paragon->isChecked();
}

QString TForm_predaj_medic::paragonNumber() const
{
    return Edit_paragon->text();
}

QString TForm_predaj_medic::paragonDate() const
{
    return digitsOnly(MaskEdit_paragon_date->text());
}

QString TForm_predaj_medic::paragonTime() const
{
    return digitsOnly(MaskEdit_paragon_time->text());
}

QString TForm_predaj_medic::uidText() const
{
    return EditUID->text();
}

// ---- Buttons and boxes -----------------------------------------------------

void TForm_predaj_medic::guarded(const std::function<void()> &action)
{
    if (m_userAction)
        action();
}

void TForm_predaj_medic::notAvailable(const QString &what)
{
    m_services.context.dialogs.inform(u"%1: táto časť programu zatiaľ nie je k dispozícii."_s.arg(what),
                                      what);
}

void TForm_predaj_medic::BitBtn_novyClick()
{
    m_item->startNewItem();
}

void TForm_predaj_medic::BitBtn_vymazClick()
{
    m_documentPanel->deleteCurrentRow();
}

void TForm_predaj_medic::BitBtn_cennikClick()
{
    if (m_priceListAction) {
        m_priceListAction();
        takeKeysBack();
    } else
        notAvailable(u"CENNÍK"_s);
}

void TForm_predaj_medic::BitBtn_zostavyClick()
{
    if (m_overviewAction) {
        m_overviewAction();
        takeKeysBack();
    } else
        notAvailable(u"Prehľady"_s);
}

// Back from a screen of its own (the price list, the overview, a cash voucher): the sale screen takes the
// keys back itself. Without a window manager nothing else gives the focus back to it when
// that screen closes, and the cashier's keys would go nowhere.
void TForm_predaj_medic::takeKeysBack()
{
    activateWindow();
    m_search->searchField()->setFocus(Qt::OtherFocusReason);
}

void TForm_predaj_medic::BitBtn_vkladClick(CashOperation operation)
{
    if (m_cashAction) {
        m_cashAction(operation);
        takeKeysBack();
    } else
        notAvailable(operation == CashOperation::Deposit ? u"Vklad"_s : u"Výber"_s);
}

void TForm_predaj_medic::BitBtn_koniecClick()
{
    m_closingMode = 0;
    close();
}

void TForm_predaj_medic::BitBtn3Click()
{
    const QString program = QDir(m_services.context.programFolder).filePath(kSupportProgram);
    QString problem;
    if (!QFileInfo::exists(program))
        problem = u"Program diaľkovej podpory %1 sa v priečinku programu nenachádza:\r\n%2"_s.arg(
            kSupportProgram, QDir::toNativeSeparators(m_services.context.programFolder));
    else if (!m_startProgram(program))
        problem = u"Program diaľkovej podpory sa nepodarilo spustiť:\r\n%1"_s.arg(
            QDir::toNativeSeparators(program));
    if (!problem.isEmpty())
        m_services.context.dialogs.warn(problem, u"Servisná podpora"_s);
}

void TForm_predaj_medic::Image_helpClick()
{
    m_documentPanel->toggleHelp(DataFolder::file(m_services.data.dataFolder(), u"readme.rtf"_s));
}

void TForm_predaj_medic::Edit_paragonExit()
{
    if (m_checkingParagon || !CheckBox_paragon->isChecked() || Edit_paragon->text().size() == 5)
        return;
    m_checkingParagon = true;
    ReceiptPrint::warnParagonLength(m_services.context.dialogs);
    Edit_paragon->setFocus();
    m_checkingParagon = false;
}

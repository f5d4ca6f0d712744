#include "pos/ui/TForm_predaj_medic.h"

#include "app/AppContext.h"
#include "app/PrinterDetection.h"
#include "app/UserDialogs.h"
#include "app/ui/PanelStatusBar.h"
#include "lang/Cp1250.h"
#include "link/PrinterRequests.h"
#include "link/PrinterState.h"
#include "pos/DataModule.h"
#include "pos/ReceiptPrint.h"
#include "pos/SaleAmounts.h"
#include "pos/SaleItemFields.h"
#include "pos/SaleScreenLayout.h"
#include "pos/ui/GridColumnFitter.h"
#include "pos/ui/RichTextFill.h"
#include "pos/ui/SaleDocumentModel.h"
#include "pos/ui/StockListModel.h"
#include "stock/DataFolder.h"
#include "stock/PointOfSaleSettings.h"
#include "stock/ReceiptHeaderFile.h"

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
const QString kParagonCaption = u"Omira chyba zadania..."_s;

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
    : QWidget(parent), m_s(services),
      m_document(services.data, services.context.messages, services.context.dialogs),
      m_entry(m_document, services.data, services.context.messages, services.context.dialogs),
      m_names(UnitAndGroupNames::defaults()), m_startProgram(startDetached)
{
    const QString folder = m_s.data.dataFolder();
    if (!folder.isEmpty() && !QDir(folder).exists() && !QDir().mkdir(folder)) {
        m_s.context.dialogs.show({m_s.context.messages.text(Msg::DataFolderNotCreated) + u"\r\n"_s +
                                      QDir::toNativeSeparators(folder),
                                  QString(), UserDialogs::Icon::Error, UserDialogs::Buttons::Ok,
                                  UserDialogs::Answer::Ok, true, false});
    }
    buildUi();
    connectSignals();
    installFilters();
    chooseColumn(0);
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
    m_s.data.connectDatabases();
    m_s.data.ensureStockTable();
    readSettings();
    placeWindow();
    askPrinter();
    fillLists();
    fillStatusPanels();
    loadHeader();
    QDir().mkpath(DataFolder::file(m_s.data.dataFolder(), u"zaloha"_s));
    setLastDocumentUid(m_s.printer.info.uid);
    prepareTables();
    // A window that is shown gets the focus with its activation: that is the
    // cashier's entry into the search field.
    m_searchEntryPending = true;
    Edit_predaj->setFocus();
    setItemFieldsEditable(false);
    resolvePendingPrint();
}

void TForm_predaj_medic::readSettings()
{
    m_names = UnitAndGroupNames::load(m_s.data.dataFolder());
    const PointOfSaleSettings settings = PointOfSaleSettings::load(m_s.context.programFolder);
    m_serialNumber = settings.serialNumber;
    m_printerModel = settings.printerModel;
    Configuration &config = m_s.context.config;
    config.saleScreenAtStart = settings.saleScreenAtStart;
    config.demo = settings.demo;
    config.printManagerTitle = settings.printManagerTitle;
    config.terminatePrintManager = settings.terminatePrintManager;
    config.paymentDialog = settings.paymentDialog;
}

void TForm_predaj_medic::placeWindow()
{
    const SaleScreenLayout layout =
        SaleScreenLayout::load(m_s.context.programFolder, SaleDocumentModel::ColumnCount,
                               int(StockListModel::defaultFields().size()));
    if (layout.placement.height != 0) {
        resize(width(), std::max(layout.placement.height, minimumHeight()));
        move(layout.placement.left, layout.placement.top);
    } else {
        move(5, 5);
    }
    QStringList fields = StockListModel::defaultFields();
    for (int column = 0; column < fields.size() && column < layout.stockFields.size(); ++column) {
        if (StockListModel::isKnownField(layout.stockFields.at(column)))
            fields[column] = layout.stockFields.at(column);
    }
    m_stockModel->setFields(fields);
    if (layout.documentColumns.isEmpty())
        m_documentColumns->fillWithColumn(SaleDocumentModel::Nazov);
    else
        m_documentColumns->setWidths(layout.documentColumns);
    if (layout.stockColumns.isEmpty())
        m_stockColumns->fillWithColumn(std::max(0, int(fields.indexOf(u"NAZOV"_s))));
    else
        m_stockColumns->setWidths(layout.stockColumns);
}

void TForm_predaj_medic::askPrinter()
{
    const Configuration &config = m_s.context.config;
    const MessageTable &messages = m_s.context.messages;
    if (m_s.detection.online_sts() != 0)
        m_s.requests.read_info_reply(config.infoTimeout, true);
    else
        m_s.context.dialogs.warn(u"Nepodarilo sa zdetekovat pokladňu.\r\nDoklady nebude možno tlačiť."_s,
                                 messages.text(Msg::PrinterStateCaption));
    if (config.demo) {
        m_s.printer.vat_rates.fill(0);
        m_s.printer.info.dailyClosingNumber = 0;
        m_s.printer.info.documentNumber = 0;
    }
    setWindowTitle(messages.text(config.demo ? Msg::SaleCaptionDemo : Msg::SaleCaption));
    if (config.demo) {
        Label_dkp->setText(u"DEMO MÓD"_s);
        return;
    }
    const bool answered = m_s.requests.query_printer_data('D') > 0;
    Label_dkp->setText(answered ? Cp1250::decode(m_s.printer.data_reply).trimmed() : QString());
}

void TForm_predaj_medic::fillLists()
{
    CB_dph->clear();
    for (int rate : kVatRateOfEntry)
        CB_dph->addItem(QString::number(m_s.printer.vat_rates.at(size_t(rate))));
    CB_mj->clear();
    CB_mj->addItems(m_names.unitList());
    CB_mj->setCurrentIndex(0);
}

void TForm_predaj_medic::fillStatusPanels()
{
    const PrinterInfo &info = m_s.printer.info;
    SB_predaj->setPanelText(0, info.date);
    SB_predaj->setPanelText(1, info.label);
    SB_predaj->setPanelText(2, m_s.context.config.socketTest ? u"TEST SOCKET"_s : u"Omira"_s);
    SB_predaj->setPanelText(3, info.time);
    // Tills that share a data folder tell each other apart by this number.
    SB_predaj->setPanelText(4, u"Pokladňa %1 | "_s.arg(m_s.context.config.tillNumber) + m_serialNumber +
                                   u" / "_s + printerModelName(m_printerModel));
}

void TForm_predaj_medic::loadHeader()
{
    const ReceiptHeaderFile::LoadResult header =
        ReceiptHeaderFile::load(ReceiptHeaderFile::filePath(m_s.data.dataFolder()));
    if (header.status == ReceiptHeaderFile::Status::Loaded)
        fillTextEdit(RE_hlavicka, header.document);
    else if (RE_hlavicka->document()->isEmpty())
        fillTextEdit(RE_hlavicka, RichTextDocument::fromPlainLines(ReceiptHeaderFile::defaultLines()));
}

void TForm_predaj_medic::prepareTables()
{
    m_s.data.checkAndUpgradeSalesTable();
    m_s.data.applyOpenFilter();
    m_settingSearchText = true;
    Edit_predaj->clear();
    m_settingSearchText = false;
    chooseColumn(0);
    m_document.reloadRows();
    refreshDocumentGrid();
    SMDBGrid_sklad->setEnabled(true);
    recomputeTotal();
    m_documentColumns->fillGrid();
    m_stockColumns->fillGrid();
}

// ---- Closing ---------------------------------------------------------------

void TForm_predaj_medic::closeEvent(QCloseEvent *event)
{
    event->accept();
    hide();
    m_s.data.closeDatabases();
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
    layout.placement = {x(), y(), height()};
    layout.documentColumns = m_documentColumns->widths();
    layout.stockColumns = m_stockColumns->widths();
    layout.stockFields = m_stockModel->fields();
    if (!layout.save(m_s.context.programFolder))
        m_s.context.errorLog->WriteErrLog(u"Nastavenie okna predaja sa nepodarilo uložiť do pokladna.ini"_s);
}

void TForm_predaj_medic::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMinimized() && m_minimize)
        m_minimize();
    // Disabling the window (while the program asks whether to end) took the focus
    // away; the cashier goes on in the search field.
    if (event->type() == QEvent::EnabledChange && isEnabled() && isVisible())
        Edit_predaj->setFocus();
}

// ---- Search and item fields ------------------------------------------------

void TForm_predaj_medic::Edit_predajEnter()
{
    m_settingSearchText = true;
    Edit_predaj->clear();
    m_settingSearchText = false;
    GroupBox_doklad->setTitle(m_s.context.messages.text(Msg::OpenDocumentBoxCaption));
    if (!m_s.context.config.demo && m_printedShown) {
        m_printedShown = false;
        m_documentStack->setCurrentWidget(SMDBGrid_doklad);
    }
    setItemFieldsEditable(false);
    runSearch();
}

void TForm_predaj_medic::runSearch()
{
    const std::optional<QList<qint64>> ids = m_s.data.stockSearch().search(
        static_cast<StockSearch::Column>(m_searchColumn), StockSearch::fold(Edit_predaj->text()));
    if (!ids) {
        m_stockModel->setRowIds({});
        m_s.context.dialogs.warn(m_s.context.messages.text(Msg::QueryFailed),
                                 m_s.context.messages.text(Msg::SaleErrorCaption));
        return;
    }
    m_stockModel->setRowIds(*ids);
    if (ids->isEmpty())
        clearItemFields(); // a code that is no card must not leave the previous item to store
    else
        SMDBGrid_sklad->setCurrentIndex(m_stockModel->index(0, 0));
}

void TForm_predaj_medic::clearItemFields()
{
    for (QLineEdit *field : {Edit_nazov, Edit_nazov1, Edit_nazov2, Edit_kod})
        field->clear();
    Edit_jc->setText(u"0"_s);
    Edit_pocet->setText(u"1"_s);
}

void TForm_predaj_medic::chooseColumn(int column)
{
    if (column < 0 || column > 2 || column >= m_stockModel->columnCount())
        return;
    m_stockModel->setChosenColumn(column);
    const QString field = m_stockModel->fields().at(column);
    if (field == u"NAZOV")
        m_searchColumn = 0;
    else if (field == u"KOD")
        m_searchColumn = 1;
    else if (field == u"JC")
        m_searchColumn = 2;
    static constexpr std::array kLabels = {Msg::SearchByName, Msg::SearchByCode, Msg::SortByPrice};
    Label_vloz->setText(m_s.context.messages.text(kLabels.at(size_t(m_searchColumn))));
    if (isVisible())
        runSearch();
}

void TForm_predaj_medic::stepColumn(int step)
{
    chooseColumn(std::clamp(m_stockModel->chosenColumn() + step, 0, 2));
}

void TForm_predaj_medic::moveItemList(int step)
{
    const int rows = m_stockModel->rowCount();
    if (rows == 0)
        return;
    const int current = SMDBGrid_sklad->currentIndex().isValid() ? SMDBGrid_sklad->currentIndex().row() : 0;
    SMDBGrid_sklad->setCurrentIndex(m_stockModel->index(std::clamp(current + step, 0, rows - 1), 0));
}

void TForm_predaj_medic::Query_predajAfterScroll(int row)
{
    const std::optional<StockRow> card = m_stockModel->card(row);
    if (!card)
        return;
    const SaleItemFields fields = SaleItemFields::fromStockRow(*card, m_locale);
    Edit_nazov->setText(fields.nazov);
    Edit_nazov1->setText(fields.nazov1);
    Edit_nazov2->setText(fields.nazov2);
    Edit_kod->setText(fields.kod);
    Edit_jc->setText(fields.jc);
    m_stockGroup = fields.stockGroup;
    CB_mj->setEditText(fields.mj);
    CB_dph->setCurrentIndex(std::clamp(fields.vatEntry, 0, CB_dph->count() - 1));
    Edit_pocet->setText(fields.quantity);
}

void TForm_predaj_medic::enterFromList()
{
    const double price = SaleItemEntry::parseNumber(Edit_jc->text(), m_locale).value_or(0);
    (price > 0 ? Edit_pocet : Edit_jc)->setFocus();
}

void TForm_predaj_medic::updateLiveDiscount()
{
    if (Edit_zlava->text().isEmpty()) {
        // Selected, so that the next digit typed replaces it.
        Edit_zlava->setText(u"0"_s);
        Edit_zlava->selectAll();
    }
    if (Edit_pocet->text() == u"-")
        return;
    const auto number = [this](const QLineEdit *field) {
        return field->text().isEmpty() ? 0 : SaleItemEntry::parseNumber(field->text(), m_locale).value_or(0);
    };
    const double quantity = number(Edit_pocet);
    if (quantity < 0 && Edit_zlava->text() != u"0")
        Edit_zlava->setText(u"0"_s);
    const double amount = SaleAmounts::liveDiscount(number(Edit_jc), quantity, Edit_zlava->text().toInt());
    Edit_zlava_eur->setText(m_locale.toString(amount, 'f', 2));
}

void TForm_predaj_medic::setItemFieldsEditable(bool editable)
{
    Edit_nazov->setEnabled(editable);
    Edit_kod->setEnabled(false);
}

void TForm_predaj_medic::showTotal()
{
    GroupBox_cena->setTitle(m_s.context.messages.text(Msg::TotalBoxCaption));
    L_celkom->setText(m_locale.toString(m_document.total(), 'f', 2));
}

double TForm_predaj_medic::recomputeTotal()
{
    m_document.recomputeTotal();
    showTotal();
    return m_document.total();
}

bool TForm_predaj_medic::storeCurrentItem()
{
    SaleItemInput input;
    input.nazov = Edit_nazov->text();
    input.nazov1 = Edit_nazov1->text();
    input.nazov2 = Edit_nazov2->text();
    input.kod = Edit_kod->text();
    input.unit = CB_mj->currentText();
    input.price = Edit_jc->text();
    input.quantity = Edit_pocet->text();
    input.discountPercent = Edit_zlava->text();
    input.discountAmount = Edit_zlava_eur->text();
    input.vatText = CB_dph->currentText();
    input.vatIndex = CB_dph->currentIndex();
    const std::optional<StockRow> current = m_stockModel->card(SMDBGrid_sklad->currentIndex().row());
    input.obal = current && current->obal;
    input.stockGroup = m_stockGroup;
    const SaleItemContext context{m_s.printer.info.dailyClosingNumber, m_s.printer.info.documentNumber,
                                  QDateTime::currentDateTime(), m_locale};

    const SaleItemEntry::Result result = m_entry.store(input, context);
    if (result.clearDiscount) {
        Edit_zlava->setText(u"0"_s);
        Edit_zlava_eur->setText(u"0"_s);
    }
    switch (result.outcome) {
    case SaleItemEntry::Outcome::FocusPrice:
        Edit_jc->setFocus();
        return false;
    case SaleItemEntry::Outcome::FocusQuantity:
        Edit_pocet->setFocus();
        return false;
    case SaleItemEntry::Outcome::FocusName:
        Edit_nazov->setEnabled(true);
        Edit_nazov->setFocus();
        return false;
    case SaleItemEntry::Outcome::Stored:
        setItemFieldsEditable(false);
        break;
    case SaleItemEntry::Outcome::NotStored:
        break;
    }
    showTotal();
    m_s.data.setDocumentSourceEnabled(true);
    // The row just stored is the current one, so that "Vymaž" removes it.
    refreshDocumentGrid(result.outcome == SaleItemEntry::Outcome::Stored ? std::optional<int>(result.key)
                                                                         : std::nullopt);
    Edit_predaj->setFocus();
    return result.outcome == SaleItemEntry::Outcome::Stored;
}

bool TForm_predaj_medic::applyDocumentDiscount(int percent)
{
    const bool applied = m_document.applyDocumentDiscount(percent);
    refreshDocumentGrid();
    showTotal();
    return applied;
}

void TForm_predaj_medic::refreshDocumentGrid(std::optional<int> currentKey)
{
    // Every change rebuilds the grid's model, which forgets its current row.
    const int previousRow = SMDBGrid_doklad->currentIndex().row();
    m_documentModel->refresh();
    const QList<SaleRow> &rows = m_document.rows();
    if (rows.isEmpty())
        return;
    int row = std::clamp(previousRow, 0, int(rows.size()) - 1);
    if (currentKey) {
        const auto stored = std::find_if(rows.cbegin(), rows.cend(), [&](const SaleRow &candidate) {
            return candidate.idPrimary == *currentKey;
        });
        if (stored != rows.cend())
            row = int(stored - rows.cbegin());
    }
    SMDBGrid_doklad->setCurrentIndex(m_documentModel->index(row, 0));
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
    m_s.context.dialogs.show({u"%1: táto časť programu zatiaľ nie je k dispozícii."_s.arg(what), what,
                              UserDialogs::Icon::Information, UserDialogs::Buttons::Ok,
                              UserDialogs::Answer::Ok, true, false});
}

void TForm_predaj_medic::BitBtn_novyClick()
{
    Edit_nazov->setEnabled(true);
    Edit_kod->setEnabled(false);
    Edit_kod->setText(u"X0000"_s);
    CB_dph->setCurrentIndex(0);
    CB_mj->setCurrentIndex(0);
    Edit_jc->setText(u"0"_s);
    Edit_pocet->setText(u"1"_s);
    Edit_nazov->clear();
    Edit_nazov1->clear();
    Edit_nazov2->clear();
    Edit_nazov->setFocus();
}

void TForm_predaj_medic::BitBtn_vymazClick()
{
    if (m_document.isEmpty())
        return;
    m_document.deleteRow(std::max(0, SMDBGrid_doklad->currentIndex().row()));
    // The cursor stays at the same position, now on the row after the deleted one.
    refreshDocumentGrid();
    showTotal();
}

void TForm_predaj_medic::BitBtn_cennikClick()
{
    if (m_priceListAction)
        m_priceListAction();
    else
        notAvailable(u"CENNÍK"_s);
}

void TForm_predaj_medic::BitBtn_zostavyClick()
{
    if (m_overviewAction)
        m_overviewAction();
    else
        notAvailable(u"Prehľady"_s);
}

void TForm_predaj_medic::BitBtn_vkladClick(CashOperation operation)
{
    if (m_cashAction)
        m_cashAction(operation);
    else
        notAvailable(operation == CashOperation::Deposit ? u"Vklad"_s : u"Výber"_s);
}

void TForm_predaj_medic::BitBtn_koniecClick()
{
    m_closingMode = 0;
    close();
}

void TForm_predaj_medic::BitBtn3Click()
{
    const QString program = QDir(m_s.context.programFolder).filePath(kSupportProgram);
    const QString caption = u"Servisná podpora"_s;
    UserDialogs::Message box{
        QString(), caption, UserDialogs::Icon::Warning, UserDialogs::Buttons::Ok, UserDialogs::Answer::Ok,
        true,      false};
    if (!QFileInfo::exists(program))
        box.text = u"Program diaľkovej podpory %1 sa v priečinku programu nenachádza:\r\n%2"_s.arg(
            kSupportProgram, QDir::toNativeSeparators(m_s.context.programFolder));
    else if (!m_startProgram(program))
        box.text = u"Program diaľkovej podpory sa nepodarilo spustiť:\r\n%1"_s.arg(
            QDir::toNativeSeparators(program));
    if (!box.text.isEmpty())
        m_s.context.dialogs.show(box);
}

void TForm_predaj_medic::Image_helpClick()
{
    RE_doklad->clear();
    m_printedShown = false;
    const ReceiptHeaderFile::LoadResult help =
        m_helpShown ? ReceiptHeaderFile::LoadResult{}
                    : ReceiptHeaderFile::load(DataFolder::file(m_s.data.dataFolder(), u"readme.rtf"_s));
    m_helpShown = help.status == ReceiptHeaderFile::Status::Loaded;
    if (m_helpShown)
        fillTextEdit(RE_doklad, help.document);
    showDocumentBoxText(m_helpShown);
    GroupBox_doklad->setTitle(
        m_s.context.messages.text(m_helpShown ? Msg::HelpBoxCaption : Msg::DocumentBoxCaption));
}

void TForm_predaj_medic::showDocumentBoxText(bool front)
{
    m_documentStack->setCurrentWidget(front ? static_cast<QWidget *>(RE_doklad) : SMDBGrid_doklad);
}

void TForm_predaj_medic::Edit_paragonExit()
{
    if (m_checkingParagon || !CheckBox_paragon->isChecked() || Edit_paragon->text().size() == 5)
        return;
    m_checkingParagon = true;
    m_s.context.dialogs.warn(u"Chyba pri zadaní čísla PARAGÓNU.\r\nČíslo paragónu musí mať dĺžku 5 znakov."_s,
                             kParagonCaption);
    Edit_paragon->setFocus();
    m_checkingParagon = false;
}

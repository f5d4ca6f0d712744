#include "stock/ui/TForm_cennik_servis.h"

#include "base/Configuration.h"
#include "base/Paths.h"
#include "base/UserDialogs.h"
#include "lang/MessageIds.h"
#include "lang/MessageTable.h"
#include "stock/ReceiptHeaderFile.h"
#include "stock/ServiceSettingsSave.h"
#include "stock/UnitAndGroupNames.h"
#include "stock/ui/RichTextBox.h"
#include "stock/ui/ServiceCashierPanel.h"
#include "stock/ui/ServiceImportPanel.h"
#include "stock/ui/ServiceInfoPanel.h"
#include "stock/ui/ServiceNameList.h"
#include "stock/ui/ServiceOmiraPanel.h"
#include "stock/ui/ServiceStockPanel.h"
#include "widgets/TypeOverFocus.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTextEdit>

using namespace Qt::StringLiterals;

TForm_cennik_servis::TForm_cennik_servis(PriceListServiceContext context, QWidget *parent)
    : QDialog(parent), m_context(std::move(context))
{
    setObjectName(u"TForm_cennik_servis"_s);
    setWindowTitle(u"Cenník údržba"_s);
    setModal(true);
    TypeOverFocus::install();
    buildLayout();
    const ServiceNameList::Services services{m_context.messages, m_context.dialogs, m_context.stockFile};
    m_units = new ServiceNameList(CardRenumbering::List::Units, ServiceStockPanel::UnitLength,
                                  {u"Prekročili ste maximálny možný počet\r\nmerných jednotiek."_s,
                                   u"Vymazať mernú jednotku '%1'?"_s, u"Mernú jednotku"_s},
                                  services, this);
    m_units->setWidgets(m_stock->unitField(), m_stock->unitList(), m_stock->unitDelete());
    m_groups = new ServiceNameList(CardRenumbering::List::Groups, ServiceStockPanel::GroupLength,
                                   {u"Prekročili ste maximálny možný počet\r\nskladových skupín."_s,
                                    u"Vymazať skladovú skupinu ?\r\n%1"_s, u"Skladovú skupinu"_s},
                                   services, this);
    m_groups->setWidgets(m_stock->groupField(), m_stock->groupList(), m_stock->groupDelete());
    RichTextBox::fill(m_info->headerBox(),
                      RichTextDocument::fromPlainLines(ReceiptHeaderFile::defaultLines()));
    connectActions();
    installFilters();
}

TForm_cennik_servis::~TForm_cennik_servis() = default;

QString TForm_cennik_servis::caption() const
{
    return m_context.messages.text(Msg::ServiceCaption);
}

// ---- Showing ---------------------------------------------------------------

void TForm_cennik_servis::open(const QRect &over)
{
    if (isVisible()) {
        showNormal();
        raise();
        activateWindow();
        return;
    }
    loadFromMemory();
    adjustSize();
    if (over.isValid()) {
        QRect placed(QPoint(), frameGeometry().size());
        placed.moveCenter(over.center());
        move(placed.topLeft());
    }
    exec();
}

void TForm_cennik_servis::loadFromMemory()
{
    PageControl1->setCurrentIndex(0);
    loadNameLists();
    const PointOfSaleSettings settings =
        ServiceSettingsSave::current(m_context.programFolder, m_context.config);
    m_omira->load(settings);
    m_stock->load(settings);
    m_info->load(settings);
    m_cashiers->load(settings);
    loadHeader();
    m_omira->titleField()->setFocus(Qt::OtherFocusReason);
}

void TForm_cennik_servis::loadNameLists()
{
    const UnitAndGroupNames names = UnitAndGroupNames::load(m_context.config.dataFolder);
    m_units->load(names.unitList());
    m_groups->load(names.groupList());
}

void TForm_cennik_servis::loadHeader()
{
    const ReceiptHeaderFile::LoadResult header =
        ReceiptHeaderFile::load(ReceiptHeaderFile::filePath(m_context.config.dataFolder));
    m_headerLoaded = header.status == ReceiptHeaderFile::Status::Loaded ||
                     header.status == ReceiptHeaderFile::Status::Missing;
    // Without a file the box starts from the instructions again, so that an
    // abandoned edit of an earlier showing is gone.
    RichTextBox::fill(m_info->headerBox(),
                      header.status == ReceiptHeaderFile::Status::Loaded
                          ? header.document
                          : RichTextDocument::fromPlainLines(ReceiptHeaderFile::defaultLines()));
}

// ---- Actions ---------------------------------------------------------------

void TForm_cennik_servis::BitBtn_hlavickaClick()
{
    const std::optional<QString> reply =
        m_context.readPrinterHeader ? m_context.readPrinterHeader() : std::nullopt;
    if (!reply) {
        m_context.dialogs.warn(u"Hlavičku sa nepodarilo vyčítať"_s, caption());
        return;
    }
    static const QRegularExpression lineEnd(u"\r\n|\n|\r"_s);
    QStringList lines = reply->split(lineEnd);
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    RichTextBox::fill(m_info->headerBox(), RichTextDocument::fromPlainLines(lines));
    // The box now holds what the printer gave: it is saved, also over a file that could not be read.
    m_headerLoaded = true;
}

void TForm_cennik_servis::browseDataFolder()
{
    QLineEdit *field = m_stock->dataFolderField();
    const QString chosen = m_context.dialogs.chooseFile(
        {u"Cesta k sieťovému cenníku"_s, u"Všetky súbory (*)"_s, folderOf(field->text()), {}, true});
    if (!chosen.isEmpty())
        field->setText(folderOf(chosen));
}

void TForm_cennik_servis::browseInputFile()
{
    QLineEdit *field = m_stock->inputFileField();
    const QString chosen = m_context.dialogs.chooseFile({u"Cesta k vstupnému súboru blocek.txt"_s,
                                                         u"Všetky súbory (*)"_s,
                                                         folderOf(field->text()),
                                                         {},
                                                         true});
    if (!chosen.isEmpty())
        field->setText(chosen);
}

void TForm_cennik_servis::terminateClicked()
{
    m_stock->dataFolderField()->setText(m_context.config.dataFolder);
    m_stock->enablePaths();
}

void TForm_cennik_servis::cashierRequiredClicked(bool checked)
{
    // Takes effect at once, whatever the closing question is answered.
    m_context.config.cashierRequired = checked ? 1 : 0;
}

void TForm_cennik_servis::loadPriceListClicked()
{
    if (m_context.loadPriceList && m_context.loadPriceList())
        loadNameLists();
}

void TForm_cennik_servis::connectActions()
{
    connect(m_info->headerButton(), &QPushButton::clicked, this, &TForm_cennik_servis::BitBtn_hlavickaClick);
    connect(m_stock->dataFolderBrowse(), &QPushButton::clicked, this, &TForm_cennik_servis::browseDataFolder);
    connect(m_stock->inputFileBrowse(), &QPushButton::clicked, this, &TForm_cennik_servis::browseInputFile);
    connect(m_stock->terminateBox(), &QCheckBox::clicked, this, &TForm_cennik_servis::terminateClicked);
    connect(m_cashiers->requiredBox(), &QCheckBox::clicked, this,
            &TForm_cennik_servis::cashierRequiredClicked);
    connect(m_import->loadButton(), &QPushButton::clicked, this, &TForm_cennik_servis::loadPriceListClicked);
    connect(m_import->importButton(), &QPushButton::clicked, this, [this] {
        if (m_context.importPriceList)
            m_context.importPriceList();
    });
}

// ---- Closing and saving ----------------------------------------------------

void TForm_cennik_servis::reject()
{
    const bool yes = m_context.dialogs.askYesNo(m_context.messages.text(Msg::SaveSettingsQuestion), caption(),
                                                UserDialogs::Answer::Yes, UserDialogs::Icon::Question);
    if (yes && !confirmedSave())
        return; // the screen stays open with what was typed
    if (m_context.refreshStockScreen)
        m_context.refreshStockScreen();
    QDialog::reject();
}

void TForm_cennik_servis::refuseField(QWidget *tab, QLineEdit *field, const QString &text)
{
    m_context.dialogs.warn(text, caption());
    PageControl1->setCurrentWidget(tab);
    field->setFocus(Qt::OtherFocusReason);
}

// Every field is checked before anything is taken over, so that a refused save
// leaves memory and every file as they were.
bool TForm_cennik_servis::fieldsHold(PointOfSaleSettings &settings)
{
    if (m_info->serialField()->text().isEmpty()) {
        refuseField(m_info, m_info->serialField(), m_context.messages.text(Msg::SerialNumberMissing));
        return false;
    }
    QString problem;
    if (QLineEdit *field = m_stock->readTimes(settings, problem)) {
        refuseField(m_stock, field, problem);
        return false;
    }
    return true;
}

bool TForm_cennik_servis::confirmedSave()
{
    ServiceEdits edits;
    edits.settings = ServiceSettingsSave::current(m_context.programFolder, m_context.config);
    if (!fieldsHold(edits.settings))
        return false;
    m_omira->store(edits.settings);
    m_stock->store(edits.settings);
    m_info->store(edits.settings);
    m_cashiers->store(edits.settings);
    edits.units = m_units->edits();
    edits.groups = m_groups->edits();
    if (m_headerLoaded || m_info->headerBox()->document()->isModified())
        edits.header = RichTextBox::read(m_info->headerBox());
    const ServiceSettingsSave::Result result =
        ServiceSettingsSave(m_context.programFolder, m_context.config, m_context.stockFile).save(edits);
    if (!result.problem.isEmpty())
        m_context.dialogs.warn(result.problem, caption());
    if (!result.saved)
        return false;
    if (m_context.saleScreenSettingsChanged)
        m_context.saleScreenSettingsChanged();
    if (!edits.settings.demo && m_context.detectPrinter)
        m_context.detectPrinter();
    return true;
}

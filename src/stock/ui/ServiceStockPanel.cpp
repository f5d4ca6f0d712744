#include "stock/ui/ServiceStockPanel.h"

#include "base/Paths.h"
#include "stock/PointOfSaleSettings.h"
#include "stock/ui/ServicePanelWidgets.h"
#include "widgets/ScreenWidgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

constexpr int kTimeDigits = 6;
constexpr int kLowestTime = 1; // a time of 0 would poll without pause or give up at once
constexpr int kHighestTime = 999999;
const QStringList kTimeCaptions = {u"Time info"_s, u"Time DC1 max"_s, u"Time repeat DC1"_s};
const QStringList kTimeNames = {u"Edit_timeinfo"_s, u"Edit_timedc"_s, u"Edit_timerepeat"_s};

// The data folder is kept with its trailing separator, as the files are named after it.
QString asFolder(const QString &text)
{
    if (text.isEmpty() || text.endsWith(u'\\') || text.endsWith(u'/'))
        return text;
    return joinPath(text, QString());
}

QComboBox *nameList(const QString &name, const QString &caption)
{
    auto *list = new QComboBox;
    list->setObjectName(name);
    list->setAccessibleName(caption);
    return list;
}

QWidget *listBox(const QString &name, const QString &title, QLineEdit *entry, QComboBox *list,
                 QPushButton *remove)
{
    auto *box = new QGroupBox(title);
    box->setObjectName(name);
    auto *layout = new QGridLayout(box);
    layout->addWidget(entry, 0, 0);
    layout->addWidget(list, 1, 0);
    layout->addWidget(remove, 1, 1);
    return box;
}

} // namespace

ServiceStockPanel::ServiceStockPanel(QWidget *parent) : QWidget(parent)
{
    setObjectName(u"Tab_sklad"_s);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(buildLists());
    layout->addWidget(buildSwitchesAndPaths());
    layout->addWidget(buildTimes());
    layout->addStretch(1);
}

QWidget *ServiceStockPanel::buildLists()
{
    Edit_skladskupiny = ScreenWidgets::lineEdit(this, u"Edit_skladskupiny"_s, GroupLength);
    Edit_skladskupiny->setAccessibleName(u"Nová skladová skupina"_s);
    CB_skladskupiny = nameList(u"CB_skladskupiny"_s, u"Skladové skupiny"_s);
    BitBtn_vymazskupinu = ScreenWidgets::button(u"BitBtn_vymazskupinu"_s, u"&Vymaž"_s);
    Edit_mj = ScreenWidgets::lineEdit(this, u"Edit_mj"_s, UnitLength);
    Edit_mj->setAccessibleName(u"Nová merná jednotka"_s);
    CB_mj = nameList(u"CB_mj"_s, u"Merné jednotky"_s);
    BitBtn_mjvymaz = ScreenWidgets::button(u"BitBtn_mjvymaz"_s, u"&Vymaž MJ"_s);

    auto *lists = new QWidget;
    auto *row = new QHBoxLayout(lists);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(listBox(u"GroupBox2"_s, u"Názov skladovej skupiny"_s, Edit_skladskupiny, CB_skladskupiny,
                           BitBtn_vymazskupinu),
                   2);
    row->addWidget(listBox(u"GroupBox3"_s, u"Merné jednotky"_s, Edit_mj, CB_mj, BitBtn_mjvymaz), 1);
    return lists;
}

QWidget *ServiceStockPanel::buildSwitchesAndPaths()
{
    auto *panel = new QWidget;
    auto *form = new QFormLayout(panel);
    form->setContentsMargins(0, 0, 0, 0);
    ChBox_pokladna = ServicePanelWidgets::checkBox(u"ChBox_pokladna"_s, u"Otvoriť pokladňu pri spustení"_s);
    CheckBox_demo = ServicePanelWidgets::checkBox(u"CheckBox_demo"_s, u"DEMO mód"_s);
    CheckBox_ukonci = ServicePanelWidgets::checkBox(u"CheckBox_ukonci"_s, u"Ukonči TM"_s);
    form->addRow(ChBox_pokladna);
    form->addRow(CheckBox_demo);

    auto pathRow = [&](const QString &labelName, const QString &caption, const QString &field,
                       const QString &button, QLineEdit *&edit, QPushButton *&browse) {
        edit = ScreenWidgets::lineEdit(this, field);
        browse = ScreenWidgets::button(button, u"&Nalistuj"_s);
        browse->setAccessibleDescription(caption);
        auto *line = new QWidget;
        auto *lineLayout = new QHBoxLayout(line);
        lineLayout->setContentsMargins(0, 0, 0, 0);
        lineLayout->addWidget(edit, 1);
        lineLayout->addWidget(browse);
        ServicePanelWidgets::row(form, labelName, caption, line)->setBuddy(edit);
        // The caption stands beside the field's row, not beside the field: named outright.
        ScreenWidgets::nameForReaders(edit, caption);
    };
    pathRow(u"Label1"_s, u"Cesta k sieťovému cenníku"_s, u"Edit_lancennik"_s, u"BitBtn_lancennik"_s,
            Edit_lancennik, BitBtn_lancennik);
    pathRow(u"Label2"_s, u"Cesta k vstupnému súboru blocek.txt"_s, u"Edit_tlman"_s, u"BitBtn_tlman"_s,
            Edit_tlman, BitBtn_tlman);
    form->addRow(CheckBox_ukonci);
    return panel;
}

QWidget *ServiceStockPanel::buildTimes()
{
    auto *panel = new QWidget;
    auto *form = new QFormLayout(panel);
    form->setContentsMargins(0, 0, 0, 0);
    for (int i = 0; i < kTimeNames.size(); ++i) {
        auto *field = ScreenWidgets::lineEdit(this, kTimeNames[i], kTimeDigits);
        // Digits only; Backspace, Tab and Enter keep their meaning.
        field->setValidator(new QRegularExpressionValidator(QRegularExpression(u"[0-9]*"_s), field));
        ServicePanelWidgets::row(form, i == 0 ? u"Label7"_s : QString(), kTimeCaptions[i], field);
        m_timeFields.append(field);
    }
    return panel;
}

void ServiceStockPanel::load(const PointOfSaleSettings &settings)
{
    ChBox_pokladna->setChecked(settings.saleScreenAtStart != 0);
    CheckBox_demo->setChecked(settings.demo);
    CheckBox_ukonci->setChecked(settings.terminatePrintManager);
    Edit_lancennik->setText(settings.dataFolder);
    Edit_tlman->setText(settings.printManagerInput);
    enablePaths();
    const QList<int> times = {settings.infoTimeout, settings.statusTimeout, settings.repeatPeriod};
    for (int i = 0; i < m_timeFields.size(); ++i)
        m_timeFields[i]->setText(QString::number(times[i]));
}

void ServiceStockPanel::enablePaths()
{
    for (QWidget *widget : {static_cast<QWidget *>(Edit_lancennik), static_cast<QWidget *>(BitBtn_lancennik),
                            static_cast<QWidget *>(Edit_tlman), static_cast<QWidget *>(BitBtn_tlman)})
        widget->setEnabled(true);
}

void ServiceStockPanel::store(PointOfSaleSettings &settings) const
{
    settings.saleScreenAtStart = ChBox_pokladna->isChecked() ? 1 : 0;
    settings.demo = CheckBox_demo->isChecked();
    settings.terminatePrintManager = CheckBox_ukonci->isChecked();
    settings.dataFolder = asFolder(Edit_lancennik->text());
    settings.printManagerInput = Edit_tlman->text();
}

QLineEdit *ServiceStockPanel::readTimes(PointOfSaleSettings &settings, QString &problem) const
{
    QList<int> times;
    for (int i = 0; i < m_timeFields.size(); ++i) {
        bool ok = false;
        const int value = m_timeFields[i]->text().toInt(&ok);
        if (!ok || value < kLowestTime || value > kHighestTime) {
            problem = u"Pole „%1“ musí obsahovať číslo od %2 do %3 (milisekundy)."_s.arg(
                kTimeCaptions[i], QString::number(kLowestTime), QString::number(kHighestTime));
            return m_timeFields[i];
        }
        times.append(value);
    }
    settings.infoTimeout = times[0];
    settings.statusTimeout = times[1];
    settings.repeatPeriod = times[2];
    return nullptr;
}

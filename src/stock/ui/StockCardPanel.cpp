#include "stock/ui/StockCardPanel.h"

#include "stock/FieldText.h"
#include "widgets/ScreenWidgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QWidget>

using namespace Qt::StringLiterals;

namespace {

constexpr int kCodeLength = 20;
constexpr int kNameLength = 40;
constexpr int kNumberLength = 20;

bool isEnter(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

QCheckBox *checkBox(const QString &name, const QString &text)
{
    auto *box = new QCheckBox(text);
    box->setObjectName(name);
    return box;
}

QComboBox *list(const QString &name, const QString &caption)
{
    auto *combo = new QComboBox;
    combo->setObjectName(name);
    combo->setAccessibleName(caption);
    return combo;
}

} // namespace

StockCardPanel::StockCardPanel(QObject *parent) : QObject(parent)
{
    DBChBox_preferovana = checkBox(u"DBChBox_preferovana"_s, u"Pre&ferovaná položka"_s);
    CB_clenenie_karta = list(u"CB_clenenie_karta"_s, u"Skladová skupina"_s);
    DBEdit_kod = ScreenWidgets::lineEdit(nullptr, u"DBEdit_kod"_s, kCodeLength);
    DBEdit_barcode = ScreenWidgets::lineEdit(nullptr, u"DBEdit_barcode"_s, kCodeLength);
    CheckBox_obal = checkBox(u"CheckBox_obal"_s, u"&Obal"_s);
    DBEdit_nazov = ScreenWidgets::lineEdit(nullptr, u"DBEdit_nazov"_s, kNameLength);
    DBEdit_nazov1 = ScreenWidgets::lineEdit(nullptr, u"DBEdit_nazov1"_s, kNameLength);
    DBEdit_nazov2 = ScreenWidgets::lineEdit(nullptr, u"DBEdit_nazov2"_s, kNameLength);
    DBEdit_cena = ScreenWidgets::lineEdit(nullptr, u"DBEdit_cena"_s, kNumberLength);
    DBEdit_mnozstvo = ScreenWidgets::lineEdit(nullptr, u"DBEdit_mnozstvo"_s, kNumberLength);
    CB_mj = list(u"CB_mj"_s, u"Merna jednotka"_s);
    ComboBox_hldph = list(u"ComboBox_hldph"_s, u"Hladiny DPH"_s);
    ComboBox_hldph->addItems(vatTexts());
    DBEdit_nazov1->setAccessibleName(u"Názov, druhý riadok"_s);
    DBEdit_nazov2->setAccessibleName(u"Názov, tretí riadok"_s);
    m_order = {DBChBox_preferovana, CB_clenenie_karta, DBEdit_kod,    DBEdit_barcode,
               CheckBox_obal,       DBEdit_nazov,      DBEdit_nazov1, DBEdit_nazov2,
               DBEdit_cena,         DBEdit_mnozstvo,   CB_mj,         ComboBox_hldph};
}

QWidget *StockCardPanel::build()
{
    auto *panel = new QWidget;
    panel->setObjectName(u"Panel_karta"_s);
    auto *form = new QFormLayout(panel);
    auto row = [form](const QString &caption, QWidget *field) {
        auto *label = new QLabel(caption);
        label->setBuddy(field);
        form->addRow(label, field);
    };
    form->addRow(DBChBox_preferovana);
    row(u"Skladová skupina"_s, CB_clenenie_karta);
    row(u"Kód "_s, DBEdit_kod);
    row(u"Čiarový kód"_s, DBEdit_barcode);
    form->addRow(CheckBox_obal);
    row(u"Názov"_s, DBEdit_nazov);
    form->addRow(QString(), DBEdit_nazov1);
    form->addRow(QString(), DBEdit_nazov2);
    row(u"Cena"_s, DBEdit_cena);
    row(u"Množstvo"_s, DBEdit_mnozstvo);
    row(u"Merna jednotka"_s, CB_mj);
    row(u"Hladiny DPH"_s, ComboBox_hldph);
    for (int i = 1; i < m_order.size(); ++i)
        QWidget::setTabOrder(m_order.at(i - 1), m_order.at(i));
    return panel;
}

QStringList StockCardPanel::vatTexts()
{
    return {u"Zvýšená 23%"_s, u"Znížená 19%"_s, u"Oslobodená"_s, u"Znížená 5%"_s};
}

void StockCardPanel::setUnits(const QStringList &units)
{
    CB_mj->clear();
    CB_mj->addItems(units);
    CB_mj->setCurrentIndex(0);
}

void StockCardPanel::setGroups(const QStringList &groups)
{
    CB_clenenie_karta->clear();
    CB_clenenie_karta->addItems(groups);
    CB_clenenie_karta->setCurrentIndex(0);
}

void StockCardPanel::fill(const StockRow &card)
{
    const QLocale locale;
    CB_mj->setCurrentIndex(card.mjIdx);
    ComboBox_hldph->setCurrentIndex(card.dphIdx);
    CB_clenenie_karta->setCurrentIndex(card.skladIdx);
    DBChBox_preferovana->setChecked(card.pref);
    DBEdit_kod->setText(card.kod);
    DBEdit_barcode->setText(card.barcode);
    DBEdit_nazov->setText(card.nazov);
    DBEdit_nazov1->setText(card.nazov1);
    DBEdit_nazov2->setText(card.nazov2);
    DBEdit_cena->setText(numberFieldText(card.jc, locale));
    DBEdit_mnozstvo->setText(numberFieldText(card.pocet, locale));
    CheckBox_obal->setChecked(card.obal);
}

void StockCardPanel::clearForNew(int group)
{
    DBChBox_preferovana->setChecked(false);
    CheckBox_obal->setChecked(false);
    CB_clenenie_karta->setCurrentIndex(std::max(group, 0));
    for (QLineEdit *text : {DBEdit_kod, DBEdit_barcode, DBEdit_nazov, DBEdit_nazov1, DBEdit_nazov2})
        text->clear();
    DBEdit_cena->setText(u"0"_s);
    DBEdit_mnozstvo->setText(u"0"_s);
    CB_mj->setCurrentIndex(0);
    ComboBox_hldph->setCurrentIndex(0);
}

void StockCardPanel::setEditable(bool editable)
{
    for (QWidget *field : std::as_const(m_order))
        field->setEnabled(editable);
}

QLineEdit *StockCardPanel::readInto(StockRow &card) const
{
    const QLocale locale;
    bool priceOk = false;
    bool quantityOk = false;
    const double price = locale.toDouble(DBEdit_cena->text().trimmed(), &priceOk);
    const double quantity = locale.toDouble(DBEdit_mnozstvo->text().trimmed(), &quantityOk);
    if (!priceOk)
        return DBEdit_cena;
    if (!quantityOk)
        return DBEdit_mnozstvo;
    card.dphIdx = std::max(ComboBox_hldph->currentIndex(), 0);
    card.mjIdx = std::max(CB_mj->currentIndex(), 0);
    card.mj = CB_mj->currentText();
    card.skladIdx = std::max(CB_clenenie_karta->currentIndex(), 0);
    card.pref = DBChBox_preferovana->isChecked();
    card.kod = DBEdit_kod->text();
    card.barcode = DBEdit_barcode->text();
    card.nazov = DBEdit_nazov->text();
    card.nazov1 = DBEdit_nazov1->text();
    card.nazov2 = DBEdit_nazov2->text();
    card.obal = CheckBox_obal->isChecked();
    card.jc = price;
    card.pocet = quantity;
    return nullptr;
}

void StockCardPanel::focusStep(QWidget *from, int step)
{
    const qsizetype start = m_order.indexOf(from);
    for (qsizetype i = start + step; i >= 0 && i < m_order.size(); i += step) {
        if (m_order.at(i)->isEnabled()) {
            m_order.at(i)->setFocus(Qt::TabFocusReason);
            return;
        }
    }
    if (step > 0)
        emit finished();
}

bool StockCardPanel::numberKey(QLineEdit *field, QKeyEvent *event)
{
    const QString text = event->text();
    if (text.isEmpty() || event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Tab)
        return false; // navigation and editing keys work as usual
    const QChar typed = text.at(0);
    if (typed.isDigit() && typed.unicode() < 128)
        return false;
    if (typed == u'.' || typed == u',') {
        const QString separator = QLocale().decimalPoint();
        if (!field->text().contains(separator))
            field->insert(separator);
    }
    return true; // every other character is refused
}

bool StockCardPanel::handleKey(QObject *target, QKeyEvent *event)
{
    auto *widget = qobject_cast<QWidget *>(target);
    if (!widget || !m_order.contains(widget))
        return false;
    const int key = event->key();
    const bool enter = isEnter(key);
    if (widget == ComboBox_hldph) {
        if (enter)
            emit finished();
        else if (key == Qt::Key_Up)
            focusStep(widget, -1);
        return enter || key == Qt::Key_Up || key == Qt::Key_Down;
    }
    if (widget == CB_clenenie_karta) {
        if (enter || key == Qt::Key_Down)
            focusStep(widget, 1);
        return enter || key == Qt::Key_Down || key == Qt::Key_Up;
    }
    if (enter || key == Qt::Key_Down) {
        focusStep(widget, 1);
        return true;
    }
    if (key == Qt::Key_Up) {
        focusStep(widget, -1);
        return true;
    }
    if (widget == DBEdit_cena || widget == DBEdit_mnozstvo)
        return numberKey(static_cast<QLineEdit *>(widget), event);
    return false;
}

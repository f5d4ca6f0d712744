#include "pos/ui/SaleItemPanel.h"

#include "pos/SaleAmounts.h"
#include "pos/SaleItemFields.h"
#include "stock/StockRow.h"
#include "widgets/ScreenWidgets.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>

using namespace Qt::StringLiterals;

namespace {

constexpr int kNameLength = 40;

bool isEnter(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

void selectNeighbour(QComboBox *list, int step)
{
    const int index = list->currentIndex() + step;
    if (index >= 0 && index < list->count())
        list->setCurrentIndex(index);
}

} // namespace

SaleItemPanel::SaleItemPanel(QWidget *searchField, QObject *parent) : QObject(parent)
{
    buildBox();
    m_focusOrder = {Edit_nazov, Edit_nazov1, Edit_nazov2, Edit_kod,   CB_dph,
                    Edit_jc,    Edit_pocet,  CB_mj,       Edit_zlava, searchField};
    for (QLineEdit *field : {Edit_jc, Edit_pocet, Edit_zlava})
        connect(field, &QLineEdit::textChanged, this, &SaleItemPanel::updateLiveDiscount);
}

void SaleItemPanel::buildBox()
{
    using ScreenWidgets::box;
    using ScreenWidgets::lineEdit;
    m_box = new QGroupBox(u"Informácia o položke"_s);
    m_box->setObjectName(u"GroupBox_polozka"_s);
    auto *layout = new QGridLayout(m_box);
    layout->setContentsMargins(4, 2, 4, 2);
    Edit_nazov = lineEdit(m_box, u"Edit_nazov"_s, kNameLength);
    Edit_nazov1 = lineEdit(m_box, u"Edit_nazov1"_s, kNameLength);
    Edit_nazov2 = lineEdit(m_box, u"Edit_nazov2"_s, kNameLength);
    layout->addWidget(Edit_nazov, 0, 0, 1, 4);
    layout->addWidget(Edit_nazov1, 1, 0, 1, 4);
    layout->addWidget(Edit_nazov2, 2, 0, 1, 4);
    Edit_kod = lineEdit(m_box, u"Edit_kod"_s);
    CB_dph = new QComboBox;
    CB_dph->setObjectName(u"CB_dph"_s);
    Edit_jc = lineEdit(m_box, u"Edit_jc"_s);
    Edit_jc->setAlignment(Qt::AlignRight);
    Edit_pocet = lineEdit(m_box, u"Edit_pocet"_s);
    Edit_pocet->setAlignment(Qt::AlignRight);
    CB_mj = new QComboBox;
    CB_mj->setObjectName(u"CB_mj"_s);
    CB_mj->setEditable(true);
    CB_mj->setInsertPolicy(QComboBox::NoInsert);
    layout->addWidget(box(u"GroupBox_kod"_s, u"Kód"_s, Edit_kod), 3, 0);
    layout->addWidget(box(u"GroupBox_dph"_s, u"DPH"_s, CB_dph), 3, 1);
    layout->addWidget(box(u"GroupBox_jc"_s, u"Cena"_s, Edit_jc), 3, 2);
    layout->addWidget(box(u"GroupBox_pocet"_s, u"Počet"_s, Edit_pocet), 3, 3);
    auto *discount = new QWidget;
    auto *discountLayout = new QHBoxLayout(discount);
    discountLayout->setContentsMargins(0, 0, 0, 0);
    Edit_zlava_eur = lineEdit(discount, u"Edit_zlava_eur"_s);
    Edit_zlava_eur->setReadOnly(true);
    Edit_zlava_eur->setFocusPolicy(Qt::NoFocus);
    Edit_zlava_eur->setText(u"0.00"_s);
    Edit_zlava = lineEdit(discount, u"Edit_zlava"_s, 2);
    Edit_zlava->setText(u"0"_s);
    ScreenWidgets::nameForReaders(Edit_nazov, u"Názov"_s);
    ScreenWidgets::nameForReaders(Edit_nazov1, u"Názov, druhý riadok"_s);
    ScreenWidgets::nameForReaders(Edit_nazov2, u"Názov, tretí riadok"_s);
    ScreenWidgets::nameForReaders(Edit_zlava_eur, u"Zľava [EUR]"_s);
    ScreenWidgets::nameForReaders(Edit_zlava, u"Zľava [%]"_s);
    discountLayout->addWidget(Edit_zlava_eur);
    discountLayout->addWidget(Edit_zlava);
    layout->addWidget(box(u"GroupBox_mj"_s, u"MJ"_s, CB_mj), 4, 0);
    layout->addWidget(box(u"GroupBox_zlava"_s, u"   [EUR]   Zľav&a    [%] "_s, discount), 4, 1, 1, 3);
}

void SaleItemPanel::fillLists(const QStringList &vatRates, const QStringList &unitNames)
{
    CB_dph->clear();
    CB_dph->addItems(vatRates);
    CB_mj->clear();
    CB_mj->addItems(unitNames);
    CB_mj->setCurrentIndex(0);
}

void SaleItemPanel::showCard(const StockRow &card)
{
    const SaleItemFields fields = SaleItemFields::fromStockRow(card, m_locale);
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

void SaleItemPanel::clear()
{
    for (QLineEdit *field : {Edit_nazov, Edit_nazov1, Edit_nazov2, Edit_kod})
        field->clear();
    Edit_jc->setText(u"0"_s);
    Edit_pocet->setText(u"1"_s);
}

void SaleItemPanel::startNewItem()
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

void SaleItemPanel::setNameEditable(bool editable)
{
    Edit_nazov->setEnabled(editable);
    Edit_kod->setEnabled(false);
}

void SaleItemPanel::focusAfterSearch()
{
    const double price = SaleItemEntry::parseNumber(Edit_jc->text(), m_locale).value_or(0);
    (price > 0 ? Edit_pocet : Edit_jc)->setFocus();
}

void SaleItemPanel::focusAfter(SaleItemEntry::Outcome outcome)
{
    switch (outcome) {
    case SaleItemEntry::Outcome::FocusPrice:
        Edit_jc->setFocus();
        break;
    case SaleItemEntry::Outcome::FocusQuantity:
        Edit_pocet->setFocus();
        break;
    case SaleItemEntry::Outcome::FocusName:
        Edit_nazov->setEnabled(true);
        Edit_nazov->setFocus();
        break;
    case SaleItemEntry::Outcome::Stored:
    case SaleItemEntry::Outcome::NotStored:
        break;
    }
}

SaleItemInput SaleItemPanel::input(bool obal) const
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
    input.obal = obal;
    input.stockGroup = m_stockGroup;
    return input;
}

QString SaleItemPanel::discountPercentText() const
{
    return Edit_zlava->text();
}

QString SaleItemPanel::discountAmountText() const
{
    return Edit_zlava_eur->text();
}

void SaleItemPanel::setDiscountPercentText(const QString &text)
{
    Edit_zlava->setText(text);
}

void SaleItemPanel::clearDiscount()
{
    Edit_zlava->setText(u"0"_s);
    Edit_zlava_eur->setText(u"0"_s);
}

void SaleItemPanel::updateLiveDiscount()
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

// ---- Keys ------------------------------------------------------------------

bool SaleItemPanel::handleKey(QObject *target, QKeyEvent *event)
{
    const int key = event->key();
    if (target == Edit_nazov || target == Edit_nazov1 || target == Edit_nazov2 || target == Edit_kod)
        return nameFieldKey(static_cast<QWidget *>(target), key);
    if (target == CB_dph || target == CB_mj || (CB_mj->lineEdit() && target == CB_mj->lineEdit()))
        return listKey(target == CB_dph ? CB_dph : CB_mj, key);
    if (target == Edit_jc)
        return priceKey(event);
    if (target == Edit_pocet)
        return quantityKey(event);
    if (target == Edit_zlava)
        return percentKey(event);
    return false;
}

void SaleItemPanel::focusNext(QWidget *from, int step)
{
    const qsizetype start = m_focusOrder.indexOf(from);
    if (start < 0)
        return;
    for (qsizetype i = start + step; i >= 0 && i < m_focusOrder.size(); i += step) {
        if (m_focusOrder.at(i)->isEnabled()) {
            m_focusOrder.at(i)->setFocus();
            return;
        }
    }
}

bool SaleItemPanel::nameFieldKey(QWidget *field, int key)
{
    if (isEnter(key) || key == Qt::Key_Down) {
        focusNext(field, 1);
        return true;
    }
    if (key != Qt::Key_Up)
        return false;
    if (field == Edit_nazov1 && !Edit_nazov->isEnabled())
        return true;
    if (field != Edit_nazov)
        focusNext(field, -1);
    return true;
}

bool SaleItemPanel::listKey(QComboBox *list, int key)
{
    if (key == Qt::Key_Left || key == Qt::Key_Right) {
        selectNeighbour(list, key == Qt::Key_Left ? -1 : 1);
        return true;
    }
    if (list == CB_dph) {
        if (isEnter(key) || key == Qt::Key_Down)
            focusNext(CB_dph, 1);
        else if (key == Qt::Key_Up)
            focusNext(CB_dph, -1);
        else
            return false;
        return true;
    }
    if (isEnter(key) || key == Qt::Key_Up)
        focusNext(CB_mj, -1);
    else if (key != Qt::Key_Down)
        return false;
    return true;
}

bool SaleItemPanel::numberCharacter(QLineEdit *field, QKeyEvent *event, bool allowMinus)
{
    const QString text = event->text();
    if (text.isEmpty() || !text.at(0).isPrint() || event->key() == Qt::Key_Backspace)
        return false;
    const QChar c = text.at(0);
    if (c.isDigit())
        return false;
    // What the key leaves standing: a selected text is typed over.
    const QString kept = field->hasSelectedText()
                             ? field->text().remove(field->selectionStart(), field->selectedText().size())
                             : field->text();
    const QString separator = m_locale.decimalPoint();
    if (c == u'.' || c == u',' || text == separator) {
        if (!kept.contains(separator))
            field->insert(separator);
        return true;
    }
    if (allowMinus && c == u'-' && !kept.contains(u'-'))
        return false;
    return true;
}

bool SaleItemPanel::priceKey(QKeyEvent *event)
{
    const int key = event->key();
    if (isEnter(key)) {
        Edit_pocet->setFocus();
        return true;
    }
    if (key == Qt::Key_Up || key == Qt::Key_Down) {
        focusNext(Edit_jc, key == Qt::Key_Up ? -1 : 1);
        return true;
    }
    return numberCharacter(Edit_jc, event, false);
}

bool SaleItemPanel::quantityKey(QKeyEvent *event)
{
    const int key = event->key();
    if (isEnter(key)) {
        emit storeRequested();
        return true;
    }
    if (key == Qt::Key_Up || key == Qt::Key_Down) {
        focusNext(Edit_pocet, key == Qt::Key_Up ? -1 : 1);
        return true;
    }
    return numberCharacter(Edit_pocet, event, true);
}

bool SaleItemPanel::percentKey(QKeyEvent *event)
{
    const int key = event->key();
    if (isEnter(key) || key == Qt::Key_Down || key == Qt::Key_Tab) {
        Edit_pocet->setFocus();
        return true;
    }
    if (key == Qt::Key_Up) {
        CB_mj->setFocus();
        return true;
    }
    const QString text = event->text();
    return !text.isEmpty() && text.at(0).isPrint() && !text.at(0).isDigit();
}

#pragma once

#include "pos/SaleItemEntry.h"

#include <QList>
#include <QLocale>
#include <QObject>
#include <QStringList>

class QComboBox;
class QGroupBox;
class QKeyEvent;
class QLineEdit;
class QWidget;
struct StockRow;

// The sale screen's item fields ("Informácia o položke"): the item found or typed in,
// its price, quantity, VAT entry, unit and discount. It keeps the live discount
// amount, lets only numbers into the number fields, routes the keys between the
// fields and gathers what the cashier entered for the store.
class SaleItemPanel : public QObject
{
    Q_OBJECT

public:
    // `searchField` comes after the discount percent in the focus order.
    explicit SaleItemPanel(QWidget *searchField, QObject *parent = nullptr);

    QGroupBox *box() const { return m_box; }

    // The VAT list shows the rates of the seven entries; the unit list the unit names.
    void fillLists(const QStringList &vatRates, const QStringList &unitNames);
    void showCard(const StockRow &card);
    // Nothing to sell: the fields of the item shown before are emptied.
    void clear();
    // "Nový": an item typed by hand, coded "X0000".
    void startNewItem();
    // The name and code are typed only for an item typed by hand.
    void setNameEditable(bool editable);
    // Enter in the search or the item list: the quantity, or the price while it is 0.
    void focusAfterSearch();
    // Where the cashier goes after a store that stopped.
    void focusAfter(SaleItemEntry::Outcome outcome);

    // What the cashier entered, for storing the item.
    SaleItemInput input(bool obal) const;
    QString discountPercentText() const;
    QString discountAmountText() const;
    void setDiscountPercentText(const QString &text);
    // A return carries no discount: both fields become "0".
    void clearDiscount();

    bool handleKey(QObject *target, QKeyEvent *event);

signals:
    void storeRequested(); // Enter in the quantity field

private:
    void buildBox();
    void updateLiveDiscount();
    void focusNext(QWidget *from, int step);
    bool nameFieldKey(QWidget *field, int key);
    bool listKey(QComboBox *list, int key);
    bool priceKey(QKeyEvent *event);
    bool quantityKey(QKeyEvent *event);
    bool percentKey(QKeyEvent *event);
    bool numberCharacter(QLineEdit *field, QKeyEvent *event, bool allowMinus);

    QLocale m_locale;
    int m_stockGroup = 0; // of the item-list row last shown
    QList<QWidget *> m_focusOrder;

    QGroupBox *m_box = nullptr;
    QLineEdit *Edit_nazov = nullptr;
    QLineEdit *Edit_nazov1 = nullptr;
    QLineEdit *Edit_nazov2 = nullptr;
    QLineEdit *Edit_kod = nullptr;
    QComboBox *CB_dph = nullptr;
    QLineEdit *Edit_jc = nullptr;
    QLineEdit *Edit_pocet = nullptr;
    QComboBox *CB_mj = nullptr;
    QLineEdit *Edit_zlava = nullptr;
    QLineEdit *Edit_zlava_eur = nullptr;
};

#pragma once

#include "stock/StockRow.h"

#include <QList>
#include <QObject>
#include <QStringList>

class QCheckBox;
class QComboBox;
class QKeyEvent;
class QLineEdit;
class QWidget;

// The right half of the stock-card screen: the fields of one card. The fields
// are not bound to the table; they are filled from the grid's card and read back
// by the save.
class StockCardPanel : public QObject
{
    Q_OBJECT

public:
    explicit StockCardPanel(QObject *parent = nullptr);

    // The panel with captions, built once by the screen.
    QWidget *build();

    QLineEdit *codeField() const { return DBEdit_kod; }
    QLineEdit *nameField() const { return DBEdit_nazov; }
    QLineEdit *priceField() const { return DBEdit_cena; }
    QLineEdit *quantityField() const { return DBEdit_mnozstvo; }
    QComboBox *unitList() const { return CB_mj; }
    QComboBox *groupList() const { return CB_clenenie_karta; }
    QComboBox *vatList() const { return ComboBox_hldph; }
    // Every field in the order Enter and the arrows walk through them.
    const QList<QWidget *> &fields() const { return m_order; }

    static QStringList vatTexts();
    void setUnits(const QStringList &units);
    void setGroups(const QStringList &groups);

    void fill(const StockRow &card);
    // An empty card for a new one in card group `group`.
    void clearForNew(int group);
    void setEditable(bool editable);

    // The panel's values written over `card`'s. A price or quantity that is not a
    // number leaves `card` alone and gives the field.
    QLineEdit *readInto(StockRow &card) const;

    // Number typing and the moves between fields; true when the key was used.
    bool handleKey(QObject *target, QKeyEvent *event);

signals:
    // Enter in the VAT list: on to the save button.
    void finished();

private:
    bool numberKey(QLineEdit *field, QKeyEvent *event);
    void focusStep(QWidget *from, int step);

    QCheckBox *DBChBox_preferovana = nullptr;
    QComboBox *CB_clenenie_karta = nullptr;
    QLineEdit *DBEdit_kod = nullptr;
    QLineEdit *DBEdit_barcode = nullptr;
    QCheckBox *CheckBox_obal = nullptr;
    QLineEdit *DBEdit_nazov = nullptr;
    QLineEdit *DBEdit_nazov1 = nullptr;
    QLineEdit *DBEdit_nazov2 = nullptr;
    QLineEdit *DBEdit_cena = nullptr;
    QLineEdit *DBEdit_mnozstvo = nullptr;
    QComboBox *CB_mj = nullptr;
    QComboBox *ComboBox_hldph = nullptr;
    QList<QWidget *> m_order;
};

#pragma once

#include <QList>
#include <QWidget>

struct PointOfSaleSettings;
class QCheckBox;
class QLineEdit;

// The tab "Omira": the print manager's window title and the payment means.
class ServiceOmiraPanel : public QWidget
{
    Q_OBJECT

public:
    static constexpr int PaymentFieldCount = 8; // entries 8 and 9 have no field and keep their values

    explicit ServiceOmiraPanel(QWidget *parent = nullptr);

    void load(const PointOfSaleSettings &settings);
    void store(PointOfSaleSettings &settings) const;

    QLineEdit *titleField() const { return EditNameTM; }

private:
    QLineEdit *EditNameTM = nullptr;
    QCheckBox *ChBox_platidla = nullptr;
    QList<QLineEdit *> m_paymentFields;
};

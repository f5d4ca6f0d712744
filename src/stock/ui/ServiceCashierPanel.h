#pragma once

#include <QList>
#include <QWidget>

struct PointOfSaleSettings;
class QCheckBox;
class QLineEdit;

// The tab "Pokladník": the cashiers' names and whether one must be chosen.
class ServiceCashierPanel : public QWidget
{
    Q_OBJECT

public:
    explicit ServiceCashierPanel(QWidget *parent = nullptr);

    void load(const PointOfSaleSettings &settings);
    void store(PointOfSaleSettings &settings) const;

    QCheckBox *requiredBox() const { return CB_pokladnik; }

private:
    QList<QLineEdit *> m_cashierFields;
    QCheckBox *CB_pokladnik = nullptr;
};

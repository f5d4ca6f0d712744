#pragma once

#include <QWidget>

struct PointOfSaleSettings;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTextEdit;

// The tab "Informácia": the service organisation, the printer and the receipt header.
class ServiceInfoPanel : public QWidget
{
    Q_OBJECT

public:
    explicit ServiceInfoPanel(QWidget *parent = nullptr);

    void load(const PointOfSaleSettings &settings);
    void store(PointOfSaleSettings &settings) const;

    QPushButton *headerButton() const { return BitBtn_hlavicka; }
    QLineEdit *serialField() const { return Edit_vc; }
    QTextEdit *headerBox() const { return RE_hlavicka; }

private:
    QWidget *buildService();
    QWidget *buildPrinter();

    QPushButton *BitBtn_hlavicka = nullptr;
    QLineEdit *Edit_servis = nullptr;
    QLineEdit *Edit_telefon = nullptr;
    QComboBox *CB_model = nullptr;
    QLineEdit *Edit_vc = nullptr;
    QTextEdit *RE_hlavicka = nullptr;
};

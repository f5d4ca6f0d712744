#pragma once

#include <QWidget>

class QPushButton;

// The tab "Import/Export": the two ways of filling the price list from outside.
class ServiceImportPanel : public QWidget
{
    Q_OBJECT

public:
    explicit ServiceImportPanel(QWidget *parent = nullptr);

    QPushButton *importButton() const { return BitBtn_nacitaj_ostatne; }
    QPushButton *loadButton() const { return BitBtn_nacitaj; }

private:
    QPushButton *BitBtn_nacitaj_ostatne = nullptr;
    QPushButton *BitBtn_nacitaj = nullptr;
};

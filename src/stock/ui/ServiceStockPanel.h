#pragma once

#include <QList>
#include <QWidget>

struct PointOfSaleSettings;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

// The tab "Sklad": the unit and group lists, the start and demo switches, the
// paths of the price list and of the print manager's input file, and the times
// of the print-manager link.
class ServiceStockPanel : public QWidget
{
    Q_OBJECT

public:
    static constexpr int UnitLength = 6;
    static constexpr int GroupLength = 60;

    explicit ServiceStockPanel(QWidget *parent = nullptr);

    void load(const PointOfSaleSettings &settings);
    // The switches and paths; the times are taken by readTimes().
    void store(PointOfSaleSettings &settings) const;
    // Takes the three times into `settings`; the first field without a usable
    // number is returned (with `problem` set) and nothing is taken then.
    QLineEdit *readTimes(PointOfSaleSettings &settings, QString &problem) const;

    QLineEdit *unitField() const { return Edit_mj; }
    QComboBox *unitList() const { return CB_mj; }
    QPushButton *unitDelete() const { return BitBtn_mjvymaz; }
    QLineEdit *groupField() const { return Edit_skladskupiny; }
    QComboBox *groupList() const { return CB_skladskupiny; }
    QPushButton *groupDelete() const { return BitBtn_vymazskupinu; }
    QLineEdit *dataFolderField() const { return Edit_lancennik; }
    QPushButton *dataFolderBrowse() const { return BitBtn_lancennik; }
    QLineEdit *inputFileField() const { return Edit_tlman; }
    QPushButton *inputFileBrowse() const { return BitBtn_tlman; }
    QCheckBox *terminateBox() const { return CheckBox_ukonci; }
    const QList<QLineEdit *> &timeFields() const { return m_timeFields; }
    // Both path fields and their buttons stay usable: the program always works
    // through the print manager.
    void enablePaths();

private:
    QWidget *buildLists();
    QWidget *buildSwitchesAndPaths();
    QWidget *buildTimes();

    QLineEdit *Edit_skladskupiny = nullptr;
    QComboBox *CB_skladskupiny = nullptr;
    QPushButton *BitBtn_vymazskupinu = nullptr;
    QLineEdit *Edit_mj = nullptr;
    QComboBox *CB_mj = nullptr;
    QPushButton *BitBtn_mjvymaz = nullptr;
    QCheckBox *ChBox_pokladna = nullptr;
    QCheckBox *CheckBox_demo = nullptr;
    QLineEdit *Edit_lancennik = nullptr;
    QPushButton *BitBtn_lancennik = nullptr;
    QLineEdit *Edit_tlman = nullptr;
    QPushButton *BitBtn_tlman = nullptr;
    QCheckBox *CheckBox_ukonci = nullptr;
    QList<QLineEdit *> m_timeFields; // info, DC1 max, repeat DC1
};

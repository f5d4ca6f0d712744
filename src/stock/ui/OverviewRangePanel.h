#pragma once

#include "stock/SalesOverviewChoices.h"

#include <QDate>
#include <QObject>
#include <QStringList>

class QCheckBox;
class QComboBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class UserDialogs;

// The overview's range: the yearly file ("Rok"), the closing numbers "Od" and
// "Do", and the date range behind the "Datum" box. The fields take only what
// can make a number or a date; a range that changed when a field is left asks
// for the grids again.
class OverviewRangePanel : public QObject
{
    Q_OBJECT

public:
    OverviewRangePanel(UserDialogs &dialogs, QObject *parent = nullptr);

    QComboBox *tableList() const { return CB_rok; }
    QLineEdit *closingFrom() const { return Edit_duod; }
    QLineEdit *closingTo() const { return Edit_dudo; }
    QCheckBox *dateBox() const { return CB_datum; }
    QLineEdit *dateFrom() const { return MaskEdit_datumod; }
    QLineEdit *dateTo() const { return MaskEdit_datumdo; }
    QLabel *tableCaption() const { return Label_rok; }
    QLabel *fromCaption() const { return Label_od; }
    QLabel *toCaption() const { return Label_do; }

    // Fills the table list without choosing: `selected` is shown.
    void setTables(const QStringList &files, const QString &selected);
    QString tableName() const;
    void setClosingRange(int from, int to);
    void setDateRange(const QDate &from, const QDate &to);
    // Switches between closing numbers and dates without asking for the grids.
    void setRangeMode(SalesOverviewChoices::RangeMode mode);
    SalesOverviewChoices::RangeMode rangeMode() const { return m_mode; }
    // The range as it was last taken from the fields.
    void fillChoices(SalesOverviewChoices &choices) const;

signals:
    // The range or its mode changed: documents and items again.
    void rangeChanged();
    // Another file was chosen or typed in the table list.
    void tableChosen(const QString &fileName);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool isRangeField(QObject *object) const;
    bool isDateField(QObject *object) const;
    bool handleKey(QLineEdit *field, QKeyEvent *event);
    bool dateKey(QLineEdit *field, QKeyEvent *event);
    void fieldEntered(QLineEdit *field);
    void closingLeft(QLineEdit *field);
    void dateLeft(QLineEdit *field);
    void refuseDate(QLineEdit *field, const QString &typed);
    void modeToggled(bool dates);

    UserDialogs &m_dialogs;
    SalesOverviewChoices::RangeMode m_mode = SalesOverviewChoices::RangeMode::Closings;
    int m_from = 0;
    int m_to = 0;
    QDate m_dateFrom;
    QDate m_dateTo;
    bool m_changed = false;
    bool m_settingTables = false;

    QLabel *Label_rok = nullptr;
    QComboBox *CB_rok = nullptr;
    QLabel *Label_od = nullptr;
    QLineEdit *Edit_duod = nullptr;
    QLabel *Label_do = nullptr;
    QLineEdit *Edit_dudo = nullptr;
    QCheckBox *CB_datum = nullptr;
    QLineEdit *MaskEdit_datumod = nullptr;
    QLineEdit *MaskEdit_datumdo = nullptr;
};

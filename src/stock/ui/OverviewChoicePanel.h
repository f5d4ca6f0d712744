#pragma once

#include "stock/SalesOverviewChoices.h"

#include <QObject>
#include <QStringList>

class QComboBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QToolButton;

// How the overview's items are summed up, ordered and filtered: the filter
// field with its column, the sort choice and its direction, the grouping and
// the stock group. The filter field also steers the item grid: Up and Down
// move in it, Down with a text finds the next row that holds the text.
class OverviewChoicePanel : public QObject
{
    Q_OBJECT

public:
    using Grouping = SalesOverviewChoices::Grouping;
    using Sort = SalesOverviewChoices::Sort;
    using Column = SalesOverviewChoices::Column;

    explicit OverviewChoicePanel(QObject *parent = nullptr);

    QLineEdit *filterField() const { return Edit_filter; }
    QComboBox *sortChoice() const { return CB_triedenie; }
    QToolButton *directionButton() const { return Image_smer; }
    QComboBox *groupingChoice() const { return CB_sumar; }
    QComboBox *groupFilter() const { return CB_clenenie_sklad; }
    QLabel *filterCaption() const { return Label_filter; }
    QLabel *sortCaption() const { return Label_triedenie; }
    QLabel *groupingCaption() const { return Label_sumar; }
    QLabel *groupCaption() const { return Label_skupina; }

    // The entries of the group filter; the chosen group stays chosen while it is listed.
    void setGroups(const QString &allGroups, const QStringList &groups);
    // Sets the grouping as it is, without the sort and filter column that a choice brings.
    void resetGrouping(Grouping grouping);
    void setFilterColumn(Column column);
    // Empties the filter field without asking for the items.
    void clearFilter();

    Grouping grouping() const;
    Sort sort() const;
    bool descending() const { return m_descending; }
    Column filterColumn() const { return m_filterColumn; }
    void fillChoices(SalesOverviewChoices &choices) const;

    // A click on the title of `column` of the item grid.
    void titleClicked(int column);

signals:
    // The items are to be selected again.
    void itemsChanged();
    void groupingChanged();
    void filterColumnChanged(int column);
    // Up and Down in the empty filter field.
    void moveRequested(int step);
    // Down in the filter field with a text: the next row holding it.
    void findRequested(int column, const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool filterKey(QKeyEvent *event);
    void stepFilterColumn(int step);
    void groupingChosen();
    void sortChosen();
    void showDirection();

    Column m_filterColumn = Column::Closing;
    bool m_descending = false;
    bool m_settingFilter = false;
    bool m_settingChoices = false;

    QLabel *Label_filter = nullptr;
    QLineEdit *Edit_filter = nullptr;
    QLabel *Label_triedenie = nullptr;
    QComboBox *CB_triedenie = nullptr;
    QToolButton *Image_smer = nullptr;
    QLabel *Label_sumar = nullptr;
    QComboBox *CB_sumar = nullptr;
    QLabel *Label_skupina = nullptr;
    QComboBox *CB_clenenie_sklad = nullptr;
};

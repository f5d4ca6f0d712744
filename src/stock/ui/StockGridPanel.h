#pragma once

#include "stock/StockRow.h"
#include "stock/StockSearch.h"

#include <QObject>
#include <QStringList>

#include <optional>

class GridColumnFitter;
class MessageTable;
class QComboBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class StockListModel;
class StockTable;
class UserDialogs;

// The left half of the stock-card screen: the search field, the group filter and
// the grid of cards. The grid lists row ids from the search and reads the cards a
// page at a time, so a price list of any size opens at once.
class StockGridPanel : public QObject
{
    Q_OBJECT

public:
    StockGridPanel(StockTable &table, StockSearch &search, const MessageTable &messages, UserDialogs &dialogs,
                   QObject *parent = nullptr);

    QLabel *filterCaption() const { return Label_filter; }
    QLineEdit *searchField() const { return Edit_hladaj; }
    QComboBox *groupFilter() const { return CB_clenenie_sklad; }
    QTableView *grid() const { return SMDBGrid_sklad; }
    QPushButton *searchButton() const { return BitBtn_hladaj; }
    QPushButton *groupButton() const { return BitBtn_skupina; }
    GridColumnFitter &columns() const { return *m_columns; }
    StockListModel &model() const { return *m_model; }

    // The group filter's entries: the entry for all groups, then the group names.
    void setGroups(const QString &allGroups, const QStringList &groups);
    // -1 when the filter shows all groups, else the card group position (SKLAD_IDX).
    int selectedGroup() const;
    QString selectedGroupName() const;

    // Runs the search with the text, the mode and the group filter; false after
    // telling the user why it failed (the grid is then empty).
    bool search();
    // While a code is typed the grid lists the cards whose code begins with it;
    // an empty prefix returns to the group filter.
    void setCodePrefix(const QString &prefix);
    StockSearch::Column mode() const { return m_mode; }
    void setMode(StockSearch::Column mode);
    void clearSearchText();

    int rowCount() const;
    int currentRow() const;
    void setCurrentRow(int row);
    qint64 currentRowId() const;
    bool selectRowId(qint64 rowId);
    std::optional<StockRow> currentCard() const;

    // Keys of the search field and the group filter; true when used.
    bool handleKey(QObject *target, QKeyEvent *event);

signals:
    void currentCardChanged();
    void editRequested(); // double click in the grid

private:
    void titleClicked(int column);
    void moveGrid(int step);

    StockSearch &m_search;
    const MessageTable &m_messages;
    UserDialogs &m_dialogs;
    StockSearch::Column m_mode = StockSearch::Column::Name;
    QString m_codePrefix;
    bool m_settingText = false;
    bool m_settingGroups = false;

    QLabel *Label_filter = nullptr;
    QLineEdit *Edit_hladaj = nullptr;
    QComboBox *CB_clenenie_sklad = nullptr;
    QTableView *SMDBGrid_sklad = nullptr;
    QPushButton *BitBtn_hladaj = nullptr;
    QPushButton *BitBtn_skupina = nullptr;
    StockListModel *m_model = nullptr;
    GridColumnFitter *m_columns = nullptr;
};

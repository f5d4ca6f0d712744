#pragma once

#include "stock/StockRow.h"

#include <QObject>
#include <QStringList>

#include <optional>

class DataModule;
class GridColumnFitter;
class MessageTable;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QTableView;
class StockListModel;
class UserDialogs;

// The sale screen's search: the search field, the item list under it and the search
// column chosen by its titles. Every change of the text searches the price list
// again; the row the list stands on is announced as the item to sell.
class SaleSearchPanel : public QObject
{
    Q_OBJECT

public:
    SaleSearchPanel(DataModule &data, const MessageTable &messages, UserDialogs &dialogs,
                    QObject *parent = nullptr);

    // The components, placed by the screen.
    QLabel *caption() const { return Label_vloz; }
    QLineEdit *searchField() const { return Edit_predaj; }
    QTableView *itemList() const { return SMDBGrid_sklad; }
    GridColumnFitter &columns() const { return *m_columns; }

    // The stock fields shown in the list's columns.
    void setFields(const QStringList &fields);
    QStringList fields() const;

    void search();
    // 0 name, 1 code, 2 price; chosen by the list's first three column titles.
    int searchColumn() const { return m_searchColumn; }
    void chooseColumn(int column);
    // Clears the text without searching (the screen searches when it wants to).
    void clearText();
    // The card of the list's current row.
    std::optional<StockRow> currentCard() const;

    // The cashier's own move into the search field (not a return to the window):
    // a new search starts from an empty field.
    void enter();
    // Keys of the search field and the item list; true when the key was used.
    bool handleKey(QObject *target, QKeyEvent *event);

signals:
    void entered();     // before the new search of enter()
    void keyArriving(); // every key-down in the search field, first
    void textTyped();   // a key went into the search text
    void itemChosen();  // Enter or a double click: on to the item's fields
    void cardShown(const StockRow &card);
    void nothingFound();

private:
    bool chooseKey(int key);
    bool searchFieldKey(QKeyEvent *event);
    bool itemListKey(QKeyEvent *event);
    void stepColumn(int step);
    void moveItemList(int step);
    void showRow(int row);

    DataModule &m_data;
    const MessageTable &m_messages;
    UserDialogs &m_dialogs;
    int m_searchColumn = 0;
    bool m_inSearchKey = false;
    bool m_settingText = false;

    QLabel *Label_vloz = nullptr;
    QLineEdit *Edit_predaj = nullptr;
    QTableView *SMDBGrid_sklad = nullptr;
    StockListModel *m_model = nullptr;
    GridColumnFitter *m_columns = nullptr;
};

#pragma once

#include <QLocale>
#include <QObject>

#include <optional>

class GridColumnFitter;
class MessageTable;
class QGroupBox;
class QLabel;
class QStackedLayout;
class QTableView;
class QTextEdit;
class QWidget;
class SaleDocument;
class SaleDocumentModel;

// The document being sold on the sale screen: its total, the grid of its open rows and,
// in the same place, the text of the printed receipt or the help. The grid keeps its
// current row through every change, so that a delete removes the row the cashier sees.
class SaleDocumentPanel : public QObject
{
    Q_OBJECT

public:
    SaleDocumentPanel(SaleDocument &document, const MessageTable &messages, QObject *parent = nullptr);

    QGroupBox *totalBox() const { return GroupBox_cena; }
    QGroupBox *documentBox() const { return GroupBox_doklad; }
    QTableView *grid() const { return SMDBGrid_doklad; }
    GridColumnFitter &columns() const { return *m_columns; }

    // Shows the rows the document holds now; the current row becomes the row with
    // `currentKey`, or stays at its position.
    void refresh(std::optional<int> currentKey = std::nullopt);
    void showTotal();
    void showChange(const QString &caption, const QString &amount);
    // Deletes the grid's current row; nothing for an empty document.
    void deleteCurrentRow();
    // Freezes the grid while a print runs.
    void setFrozen(bool frozen);

    // Entering the search: the grid comes back unless the printed receipt stays shown.
    void showOpenDocument(bool keepPrinted);
    // A key in the search field puts away the printed receipt or the help.
    void putAwayText();
    // The help file in place of the grid, or the grid again when help was shown.
    void toggleHelp(const QString &helpFile);
    // The receipt being printed, line by line.
    void startPrintedDocument(bool inFront);
    void addPrintedLine(const QString &line);

private:
    void showText(bool inFront);

    SaleDocument &m_document;
    const MessageTable &m_messages;
    QLocale m_locale;
    bool m_printedShown = false;
    bool m_helpShown = false;

    QGroupBox *GroupBox_cena = nullptr;
    QLabel *L_celkom = nullptr;
    QGroupBox *GroupBox_doklad = nullptr;
    QStackedLayout *m_stack = nullptr;
    QTableView *SMDBGrid_doklad = nullptr;
    QTextEdit *RE_doklad = nullptr;
    SaleDocumentModel *m_model = nullptr;
    GridColumnFitter *m_columns = nullptr;
};

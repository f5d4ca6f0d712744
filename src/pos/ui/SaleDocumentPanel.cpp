#include "pos/ui/SaleDocumentPanel.h"

#include "lang/MessageTable.h"
#include "pos/SaleDocument.h"
#include "pos/ui/SaleDocumentModel.h"
#include "stock/ReceiptHeaderFile.h"
#include "stock/ui/RichTextBox.h"
#include "widgets/GridColumnFitter.h"
#include "widgets/ScreenWidgets.h"

#include <QGroupBox>
#include <QLabel>
#include <QStackedLayout>
#include <QTableView>
#include <QTextCursor>
#include <QTextEdit>

#include <algorithm>

using namespace Qt::StringLiterals;

SaleDocumentPanel::SaleDocumentPanel(SaleDocument &document, const MessageTable &messages, QObject *parent)
    : QObject(parent), m_document(document), m_messages(messages)
{
    L_celkom = new QLabel(u"0.00"_s);
    L_celkom->setObjectName(u"L_celkom"_s);
    L_celkom->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QFont big = L_celkom->font();
    big.setPointSize(26);
    big.setBold(true);
    L_celkom->setFont(big);
    GroupBox_cena = ScreenWidgets::box(u"GroupBox_cena"_s, QString(), L_celkom);

    auto *documentArea = new QWidget;
    m_stack = new QStackedLayout(documentArea);
    SMDBGrid_doklad = ScreenWidgets::grid(u"SMDBGrid_doklad"_s);
    m_model = new SaleDocumentModel(m_document, this);
    SMDBGrid_doklad->setModel(m_model);
    m_columns = new GridColumnFitter(SMDBGrid_doklad);
    RE_doklad = new QTextEdit;
    RE_doklad->setObjectName(u"RE_doklad"_s);
    RE_doklad->setReadOnly(true);
    ScreenWidgets::nameForReaders(SMDBGrid_doklad, u"Položky dokladu"_s);
    ScreenWidgets::nameForReaders(RE_doklad, u"Vytlačený doklad"_s);
    m_stack->addWidget(SMDBGrid_doklad);
    m_stack->addWidget(RE_doklad);
    GroupBox_doklad = ScreenWidgets::box(u"GroupBox_doklad"_s, QString(), documentArea);
}

void SaleDocumentPanel::refresh(std::optional<int> currentKey)
{
    // Every change rebuilds the grid's model, which forgets its current row.
    const int previousRow = SMDBGrid_doklad->currentIndex().row();
    m_model->refresh();
    const QList<SaleRow> &rows = m_document.rows();
    if (rows.isEmpty())
        return;
    int row = std::clamp(previousRow, 0, int(rows.size()) - 1);
    if (currentKey) {
        const auto stored = std::find_if(rows.cbegin(), rows.cend(), [&](const SaleRow &candidate) {
            return candidate.idPrimary == *currentKey;
        });
        if (stored != rows.cend())
            row = int(stored - rows.cbegin());
    }
    SMDBGrid_doklad->setCurrentIndex(m_model->index(row, 0));
}

void SaleDocumentPanel::showTotal()
{
    GroupBox_cena->setTitle(m_messages.text(Msg::TotalBoxCaption));
    L_celkom->setText(m_locale.toString(m_document.total(), 'f', 2));
}

void SaleDocumentPanel::showChange(const QString &caption, const QString &amount)
{
    GroupBox_cena->setTitle(caption);
    L_celkom->setText(amount);
}

void SaleDocumentPanel::deleteCurrentRow()
{
    if (m_document.isEmpty())
        return;
    m_document.deleteRow(std::max(0, SMDBGrid_doklad->currentIndex().row()));
    // The cursor stays at the same position, now on the row after the deleted one.
    refresh();
    showTotal();
}

void SaleDocumentPanel::setFrozen(bool frozen)
{
    SMDBGrid_doklad->setEnabled(!frozen);
}

void SaleDocumentPanel::showOpenDocument(bool keepPrinted)
{
    GroupBox_doklad->setTitle(m_messages.text(Msg::OpenDocumentBoxCaption));
    if (!keepPrinted && m_printedShown) {
        m_printedShown = false;
        m_stack->setCurrentWidget(SMDBGrid_doklad);
    }
}

void SaleDocumentPanel::putAwayText()
{
    if (!m_printedShown && !m_helpShown)
        return;
    m_printedShown = false;
    m_helpShown = false;
    showText(false);
    GroupBox_doklad->setTitle(m_messages.text(Msg::OpenDocumentBoxCaption));
}

void SaleDocumentPanel::toggleHelp(const QString &helpFile)
{
    RE_doklad->clear();
    m_printedShown = false;
    const ReceiptHeaderFile::LoadResult help =
        m_helpShown ? ReceiptHeaderFile::LoadResult{} : ReceiptHeaderFile::load(helpFile);
    m_helpShown = help.status == ReceiptHeaderFile::Status::Loaded;
    if (m_helpShown)
        RichTextBox::fill(RE_doklad, help.document);
    showText(m_helpShown);
    GroupBox_doklad->setTitle(m_messages.text(m_helpShown ? Msg::HelpBoxCaption : Msg::DocumentBoxCaption));
}

void SaleDocumentPanel::startPrintedDocument(bool inFront)
{
    RE_doklad->clear();
    m_helpShown = false;
    m_printedShown = true;
    GroupBox_doklad->setTitle(m_messages.text(Msg::DocumentBoxCaption));
    if (inFront)
        m_stack->setCurrentWidget(RE_doklad);
}

void SaleDocumentPanel::addPrintedLine(const QString &line)
{
    QTextCursor cursor(RE_doklad->document());
    cursor.movePosition(QTextCursor::End);
    if (!RE_doklad->document()->isEmpty())
        cursor.insertBlock();
    cursor.insertText(line);
}

void SaleDocumentPanel::showText(bool inFront)
{
    m_stack->setCurrentWidget(inFront ? static_cast<QWidget *>(RE_doklad) : SMDBGrid_doklad);
}

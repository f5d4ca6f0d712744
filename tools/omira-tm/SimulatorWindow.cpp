#include "SimulatorWindow.h"

#include "omira-tm/CentAmount.h"
#include "omira-tm/PrintManagerSimulator.h"

#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTime>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

QPlainTextEdit *makeTextView(const QString &objectName, QWidget *parent)
{
    auto *view = new QPlainTextEdit(parent);
    view->setObjectName(objectName);
    view->setReadOnly(true);
    view->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    view->setLineWrapMode(QPlainTextEdit::NoWrap);
    return view;
}

QString statusText(quint32 word)
{
    QString meaning = (word & 1) ? u"pripravená"_s : u"nepripravená"_s;
    if (word & PrintManagerSimulator::ReceiptStopBits)
        meaning += u", bloky zastavené"_s;
    if (word & PrintManagerSimulator::CashStopBit)
        meaning += u", vklady a výbery zastavené"_s;
    return u"%1 (%2)"_s.arg(QString::number(word, 16).rightJustified(4, u'0').toUpper(), meaning);
}

} // namespace

SimulatorWindow::SimulatorWindow(const PrintManagerSimulator &simulator, QWidget *parent)
    : QWidget(parent), m_simulator(simulator)
{
    setWindowTitle(simulator.settings().title);
    resize(560, 640);

    m_state = new QLabel(this);
    m_state->setObjectName(u"Label_stav"_s);
    m_state->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_paper = makeTextView(u"Memo_doklady"_s, this);
    m_activity = makeTextView(u"Memo_udalosti"_s, this);
    m_activity->setMaximumBlockCount(200);

    auto *splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(m_paper);
    splitter->addWidget(m_activity);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_state);
    layout->addWidget(splitter, 1);

    connect(&simulator, &PrintManagerSimulator::stateChanged, this, &SimulatorWindow::showState);
    connect(&simulator, &PrintManagerSimulator::documentPrinted, this, &SimulatorWindow::addDocument);
    connect(&simulator, &PrintManagerSimulator::activity, this, &SimulatorWindow::addActivity);
    showState();
}

void SimulatorWindow::showState()
{
    const SimulatorSettings &settings = m_simulator.settings();
    const PrinterMemory &printer = m_simulator.state();
    const auto amount = [&](PrinterMemory::Amount which) {
        return CentAmount::format(printer.turnovers[which]);
    };
    QStringList lines;
    lines << u"Vstupný súbor: %1"_s.arg(settings.inputPath)
          << u"Stavové slovo: %1"_s.arg(statusText(settings.statusWord))
          << u"Posledný doklad: %1  č. %2  %3 %4"_s.arg(printer.label)
                 .arg(printer.documentNumber)
                 .arg(printer.date, printer.time)
          << u"UID: %1"_s.arg(printer.uid)
          << u"Obrat základná sadzba: %1   znížená: %2   oslobodený: %3"_s.arg(
                 amount(PrinterMemory::HigherRate), amount(PrinterMemory::ReducedRate),
                 amount(PrinterMemory::Exempt))
          << u"Obaly: %1   vklady: %2   výbery: %3"_s.arg(amount(PrinterMemory::Packaging),
                                                          amount(PrinterMemory::Deposits),
                                                          amount(PrinterMemory::Withdrawals));
    if (settings.noTake || settings.noReply || settings.malformed || settings.replyDelayMs > 0)
        lines << u"Poruchy: %1%2%3oneskorenie %4 ms"_s
                     .arg(settings.noTake ? u"neberie vstup, "_s : QString(),
                          settings.noReply ? u"neodpovedá, "_s : QString(),
                          settings.malformed ? u"chybné odpovede, "_s : QString())
                     .arg(settings.replyDelayMs);
    m_state->setText(lines.join(u'\n'));
}

void SimulatorWindow::addDocument(const QStringList &paper)
{
    m_documents.append(paper.join(u'\n'));
    while (m_documents.size() > KeptDocuments)
        m_documents.removeFirst();
    m_paper->setPlainText(m_documents.join(u"\n\n"_s));
    m_paper->moveCursor(QTextCursor::End);
}

void SimulatorWindow::addActivity(const QString &text)
{
    m_activity->appendPlainText(u"%1  %2"_s.arg(QTime::currentTime().toString(u"HH:mm:ss.zzz"_s), text));
}

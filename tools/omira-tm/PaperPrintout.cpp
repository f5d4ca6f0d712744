#include "omira-tm/PaperPrintout.h"

#include "base/Cp1250.h"
#include "omira-tm/DocumentAccounting.h"

using namespace Qt::StringLiterals;

namespace {

constexpr char Esc = '\x1b';

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

// Collects decoded text into lines; bytes are decoded in runs, so that code page 1250
// letters come out right.
class PaperPrintout::Writer
{
public:
    void addBytes(char byte) { m_pending += byte; }
    void addText(const QString &text)
    {
        flush();
        m_line += text;
    }
    void addLines(const QStringList &lines)
    {
        endLine();
        for (const QString &line : lines)
            m_lines.append(line);
    }
    void endLine()
    {
        flush();
        if (m_line.endsWith(u'\r'))
            m_line.chop(1);
        while (m_line.endsWith(u' '))
            m_line.chop(1);
        if (!m_line.isEmpty())
            m_lines.append(m_line);
        m_line.clear();
    }
    QStringList lines()
    {
        endLine();
        return m_lines;
    }

private:
    void flush()
    {
        m_line += Cp1250::decode(m_pending);
        m_pending.clear();
    }

    QByteArray m_pending;
    QString m_line;
    QStringList m_lines;
};

PaperPrintout::PaperPrintout(const PrinterMemory &printer, QStringList paymentNames)
    : m_printer(printer), m_paymentNames(std::move(paymentNames))
{}

QString PaperPrintout::paymentName(int means) const
{
    const QString name = means >= 1 && means <= m_paymentNames.size() ? m_paymentNames[means - 1] : QString();
    return name.isEmpty() ? u"Platidlo %1"_s.arg(means) : name;
}

QStringList PaperPrintout::render(const QByteArray &document, ExchangeRequest::Kind kind) const
{
    const bool voucher = kind == ExchangeRequest::Kind::Deposit || kind == ExchangeRequest::Kind::Withdrawal;
    Writer paper;
    for (qsizetype at = 0; at < document.size(); ++at) {
        const char byte = document[at];
        const char next = at + 1 < document.size() ? document[at + 1] : '\0';
        if (byte == '\n') {
            paper.endLine();
        } else if (byte == '^') {
            // Markup is a "^" and one letter; only the paragon and the refunded
            // document's identifier say something the cashier must see.
            if (next == 'P')
                paper.addText(u"Paragón "_s);
            else if (next == 'R')
                paper.addText(u"k dokladu "_s);
            ++at;
        } else if (byte != Esc) {
            paper.addBytes(byte);
        } else if (DocumentAccounting::isVatCode(document, at)) {
            const bool special = document[at + 4] == 'R';
            paper.addText(u"["_s + QLatin1Char(next) + (special ? u"R]"_s : u"]"_s));
            at += 4;
        } else {
            switch (next) {
            case 'b':
                paper.addLines(m_printer.headerLines + QStringList{u"POKLADNIČNÝ DOKLAD"_s});
                break;
            case 'V':
                paper.addLines(m_printer.headerLines + QStringList{u"VKLAD"_s});
                break;
            case 'v':
                paper.addLines(m_printer.headerLines + QStringList{u"VÝBER"_s});
                break;
            case 'k':
                paper.endLine();
                paper.addText(voucher ? u"SUMA"_s : u"SPOLU"_s);
                break;
            case 'P': {
                // Means 10 is the only two-digit number; an amount never starts with "0".
                int means =
                    at + 2 < document.size() && isDigit(document[at + 2]) ? document[at + 2] - '0' : 0;
                const bool ten = means == 1 && at + 3 < document.size() && document[at + 3] == '0';
                means = ten ? 10 : means;
                at += means == 0 ? 0 : (ten ? 2 : 1);
                paper.endLine();
                paper.addText(paymentName(means));
                break;
            }
            case 'e':
                paper.endLine();
                break;
            default:
                break;
            }
            ++at;
        }
    }
    QStringList lines = paper.lines();
    lines << u"----------------------------------------"_s
          << u"%1  č. %2"_s.arg(m_printer.label).arg(m_printer.documentNumber)
          << u"%1 %2"_s.arg(m_printer.date, m_printer.time) << u"UID: %1"_s.arg(m_printer.uid);
    return lines;
}

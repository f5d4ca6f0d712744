#include "stock/CsvImportSource.h"

#include "base/Cp1250.h"

#include <QDir>

#include <algorithm>
#include <array>
#include <map>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 ChunkSize = 64 * 1024;
// Enough lines to tell the separator, few enough that a sample is small.
constexpr int SampleRecords = 20;
constexpr std::array<char16_t, 3> Separators{u';', u'\t', u','};
const QByteArray Utf8Mark("\xEF\xBB\xBF");

// For each separator, how many of it each record of `sample` holds outside
// quotes. A doubled quote inside a quoted value toggles twice, so it needs no
// case of its own. A last record that the sample may have cut off is left out.
std::array<QList<int>, Separators.size()> separatorCounts(const QString &sample)
{
    std::array<QList<int>, Separators.size()> counts;
    std::array<int, Separators.size()> current{};
    bool quoted = false;
    bool blank = true;
    for (QChar ch : sample) {
        if (counts[0].size() == SampleRecords)
            break;
        if (ch == u'"')
            quoted = !quoted;
        if (!quoted && (ch == u'\n' || ch == u'\r')) {
            for (std::size_t i = 0; i < Separators.size() && !blank; ++i)
                counts[i] << std::exchange(current[i], 0);
            blank = true;
            continue;
        }
        blank = false;
        for (std::size_t i = 0; i < Separators.size(); ++i)
            current[i] += (!quoted && ch == Separators[i]) ? 1 : 0;
    }
    if (counts[0].isEmpty()) {
        for (std::size_t i = 0; i < Separators.size(); ++i)
            counts[i] << current[i];
    }
    return counts;
}

// How many records share the most common number of separators, and that number.
std::pair<int, int> agreement(const QList<int> &counts)
{
    std::map<int, int> records;
    for (int count : counts)
        ++records[count];
    std::pair<int, int> best{0, 0};
    for (const auto &[count, howMany] : records)
        best = std::max(best, std::pair{count > 0 ? howMany : 0, count});
    return best;
}

} // namespace

CsvImportSource::CsvImportSource(QString path, Options options) : m_path(std::move(path)), m_options(options)
{}

bool CsvImportSource::fail(const QString &reason)
{
    m_error = u"Súbor %1 sa nedá čítať: %2"_s.arg(QDir::toNativeSeparators(m_path), reason);
    return false;
}

bool CsvImportSource::open()
{
    m_file.setFileName(m_path);
    if (!m_file.open(QIODevice::ReadOnly))
        return fail(m_file.errorString());
    return sniff();
}

bool CsvImportSource::sniff()
{
    const QByteArray start = m_file.peek(ChunkSize);
    if (start.isEmpty() && m_file.error() != QFileDevice::NoError)
        return fail(m_file.errorString());
    m_encoding = m_options.encoding.value_or(detectEncoding(start));
    if (m_encoding == Encoding::Utf8) {
        // The decoder drops a byte-order mark at the start itself.
        m_decoder = QStringDecoder(QStringDecoder::Utf8);
        m_separator =
            m_options.separator.value_or(detectSeparator(QStringDecoder(QStringDecoder::Utf8)(start)));
    } else {
        m_separator = m_options.separator.value_or(detectSeparator(Cp1250::decode(start)));
    }
    return true;
}

CsvImportSource::Encoding CsvImportSource::detectEncoding(const QByteArray &start)
{
    if (start.startsWith(Utf8Mark))
        return Encoding::Utf8;
    const bool ascii =
        std::all_of(start.cbegin(), start.cend(), [](char byte) { return uchar(byte) < 0x80; });
    if (ascii)
        return Encoding::Cp1250;
    // A sequence cut off at the end of the sample stays in the decoder's state
    // and is no error; code page 1250 letters almost never form valid UTF-8.
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder(start);
    return decoder.hasError() ? Encoding::Cp1250 : Encoding::Utf8;
}

QChar CsvImportSource::detectSeparator(const QString &sample)
{
    const auto counts = separatorCounts(sample);
    std::size_t best = 0;
    std::pair<int, int> bestAgreement = agreement(counts[0]);
    for (std::size_t i = 1; i < Separators.size(); ++i) {
        const std::pair<int, int> candidate = agreement(counts[i]);
        if (candidate > bestAgreement) {
            best = i;
            bestAgreement = candidate;
        }
    }
    return QChar(Separators[best]);
}

qint64 CsvImportSource::position() const
{
    return m_file.isOpen() ? m_file.pos() : 0;
}

qint64 CsvImportSource::size() const
{
    return m_file.isOpen() ? m_file.size() : 0;
}

bool CsvImportSource::refill()
{
    while (m_at == m_buffer.size()) {
        const QByteArray bytes = m_file.read(ChunkSize);
        if (bytes.isEmpty()) {
            if (m_file.error() != QFileDevice::NoError)
                fail(m_file.errorString());
            return false;
        }
        m_buffer = m_encoding == Encoding::Utf8 ? QString(m_decoder(bytes)) : Cp1250::decode(bytes);
        m_at = 0;
    }
    return true;
}

CsvImportSource::Char CsvImportSource::take(QChar &ch)
{
    if (m_at == m_buffer.size() && !refill())
        return m_error.isEmpty() ? Char::End : Char::Failed;
    ch = m_buffer.at(m_at++);
    return Char::Some;
}

// The characters of a quoted value up to its closing quote, a doubled quote
// standing for one. A file that ends inside the quotes ends the value.
bool CsvImportSource::readQuoted(QString &field)
{
    QChar ch;
    for (Char got = take(ch); got != Char::End; got = take(ch)) {
        if (got == Char::Failed)
            return false;
        if (ch != u'"') {
            field += ch;
            continue;
        }
        const Char after = take(ch);
        if (after == Char::Failed)
            return false;
        if (after == Char::End)
            return true;
        if (ch != u'"') {
            --m_at; // the character after the closing quote: a separator or a line end
            return true;
        }
        field += ch;
    }
    return true;
}

// False at the end of the file (error() set when it could not be read).
bool CsvImportSource::readRecord(QStringList &cells)
{
    QString field;
    bool fieldStart = true;
    QChar ch;
    for (Char got = take(ch);; got = take(ch)) {
        if (got == Char::Failed)
            return false;
        if (got == Char::End) {
            if (cells.isEmpty() && fieldStart && field.isEmpty())
                return false;
            cells << field;
            return true;
        }
        if (ch == m_separator) {
            cells << std::exchange(field, QString());
            fieldStart = true;
            continue;
        }
        if (ch == u'\n' || ch == u'\r') {
            if (ch == u'\r' && take(ch) == Char::Some && ch != u'\n')
                --m_at;
            cells << field;
            return true;
        }
        if (ch == u'"' && fieldStart) {
            if (!readQuoted(field))
                return false;
            fieldStart = false;
            continue;
        }
        fieldStart = false;
        field += ch;
    }
}

ImportRowSource::Read CsvImportSource::next(ImportRow &row)
{
    while (m_error.isEmpty()) {
        QStringList cells;
        if (!readRecord(cells))
            break;
        if (++m_number == 1 && m_options.titleRow)
            continue;
        row.number = m_number;
        row.cells = cells;
        return Read::Row;
    }
    return m_error.isEmpty() ? Read::End : Read::Failed;
}

#include "stock/DbfImportSource.h"

#include "base/Cp1250.h"
#include "stock/ImportCells.h"

#include <QBuffer>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>

#include <shapefil.h>

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

constexpr int FileHeaderSize = 32;
constexpr int FieldDescriptorSize = 32;
constexpr char HeaderEnd = 0x0D;
// The largest header the two bytes of its length can name.
constexpr qint64 LargestHeader = 0xFFFF;
// A .cpg file names its code page on its first line.
constexpr qint64 LargestCodePageFile = 500;
const QString OwnCodePage = u"windows-1250"_s;

// The table's file (or bytes) and its .cpg, as shapelib's hooks see them.
struct DbfFiles
{
    QIODevice *table = nullptr;
    QBuffer codePageFile;
    bool hasCodePageFile = false;
};

QIODevice *deviceOf(SAFile file)
{
    return reinterpret_cast<QIODevice *>(file);
}

SAFile fileOf(QIODevice *device)
{
    return reinterpret_cast<SAFile>(device);
}

// shapelib's hooks carry no pointer of the caller's: the name handed to it is
// the address of our DbfFiles in hex, and shapelib asks for that name with
// ".dbf" or ".cpg" after it. Nothing is ever written.
SAFile openHook(const char *name, const char *access)
{
    if (std::strpbrk(access, "wa+"))
        return nullptr;
    char *end = nullptr;
    const unsigned long long address = std::strtoull(name, &end, 16);
    if (address == 0 || !end || *end != '.')
        return nullptr;
    auto *files = reinterpret_cast<DbfFiles *>(quintptr(address));
    const QByteArray extension = QByteArray(end + 1).toLower();
    QIODevice *device = nullptr;
    if (extension == "dbf")
        device = files->table;
    else if (extension == "cpg" && files->hasCodePageFile)
        device = &files->codePageFile;
    if (!device || !device->seek(0))
        return nullptr;
    return fileOf(device);
}

SAOffset readHook(void *buffer, SAOffset size, SAOffset count, SAFile file)
{
    if (size == 0 || count == 0 || count > SAOffset(std::numeric_limits<qint64>::max()) / size)
        return 0;
    const qint64 got = deviceOf(file)->read(static_cast<char *>(buffer), qint64(size * count));
    return got <= 0 ? 0 : SAOffset(got) / size;
}

SAOffset writeHook(void *, SAOffset, SAOffset, SAFile)
{
    return 0;
}

// shapelib asks for offsets from the start, now and then from the end.
SAOffset seekHook(SAFile file, SAOffset offset, int whence)
{
    QIODevice *device = deviceOf(file);
    const qint64 base = whence == SEEK_CUR ? device->pos() : whence == SEEK_END ? device->size() : 0;
    const qint64 target = base + qint64(offset);
    if (offset > SAOffset(device->size()) || target < 0 || target > device->size())
        return SAOffset(-1);
    return device->seek(target) ? 0 : SAOffset(-1);
}

SAOffset tellHook(SAFile file)
{
    return SAOffset(deviceOf(file)->pos());
}

int flushHook(SAFile)
{
    return 0;
}

int closeHook(SAFile)
{
    return 0; // the devices belong to the source
}

int removeHook(const char *)
{
    return -1;
}

// shapelib reports through here what our own checks report better.
void errorHook(const char *) {}

// The C library's atof reads by the process's locale, where a Slovak decimal
// comma would cut "1234.50" to 1234.
double atofHook(const char *text)
{
    while (*text == ' ')
        ++text;
    double value = 0;
    std::from_chars(text, text + std::strlen(text), value);
    return value;
}

SAHooks hooks()
{
    SAHooks result{};
    result.FOpen = openHook;
    result.FRead = readHook;
    result.FWrite = writeHook;
    result.FSeek = seekHook;
    result.FTell = tellHook;
    result.FFlush = flushHook;
    result.FClose = closeHook;
    result.Remove = removeHook;
    result.Error = errorHook;
    result.Atof = atofHook;
    return result;
}

// The language byte's code pages, as dBase and the office programs write them.
QString codePageOfLanguageByte(int languageByte)
{
    switch (languageByte) {
    case 0x01:
        return u"IBM437"_s;
    case 0x02:
        return u"IBM850"_s;
    case 0x03:
    case 0x57:
        return u"windows-1252"_s;
    case 0x26:
    case 0x65:
        return u"IBM866"_s;
    case 0x64:
        return u"IBM852"_s;
    case 0xC9:
        return u"windows-1251"_s;
    case 0xCA:
        return u"windows-1254"_s;
    case 0xCB:
        return u"windows-1253"_s;
    default: // 0xC8, none, or one we do not know: the program's own
        return OwnCodePage;
    }
}

// The first line of a .cpg file: "UTF-8", "1250", "ANSI 1250", "CP852"...
QString codePageOfName(const QString &line)
{
    const QString name = line.trimmed().toUpper();
    if (name == u"UTF-8" || name == u"UTF8")
        return u"UTF-8"_s;
    static const QRegularExpression numbered(u"^(?:ANSI |OEM |CP|WINDOWS-|IBM)?(\\d{3,4})$"_s);
    const QRegularExpressionMatch match = numbered.match(name);
    if (match.hasMatch()) {
        const int number = match.captured(1).toInt();
        return number >= 1250 && number <= 1258 ? u"windows-%1"_s.arg(number) : u"IBM%1"_s.arg(number);
    }
    return QStringDecoder(name.toLatin1().constData()).isValid() ? name : OwnCodePage;
}

quint32 littleEndian(const QByteArray &bytes, int offset, int length)
{
    quint32 value = 0;
    for (int i = length - 1; i >= 0; --i)
        value = (value << 8) | uchar(bytes.at(offset + i));
    return value;
}

bool knownVersion(uchar version)
{
    // dBase III and IV, FoxPro and Visual FoxPro, with and without memos;
    // dBase 7 has another header that shapelib does not read.
    constexpr uchar Versions[] = {0x03, 0x30, 0x31, 0x32, 0x43, 0x63, 0x83, 0x8B, 0xCB, 0xE5, 0xF5, 0xFB};
    return std::find(std::begin(Versions), std::end(Versions), version) != std::end(Versions);
}

// The bytes of the field descriptors' record part; -1 when they do not end
// inside the header.
qint64 fieldBytes(const QByteArray &header, qint64 headerLength, int *fields)
{
    qint64 bytes = 0;
    *fields = 0;
    for (qint64 at = FileHeaderSize; at < headerLength; at += FieldDescriptorSize) {
        if (header.at(at) == HeaderEnd)
            return bytes;
        if (at + FieldDescriptorSize > headerLength)
            return -1;
        bytes += uchar(header.at(at + 16));
        ++*fields;
    }
    return -1;
}

QString cpgBesides(const QString &path)
{
    const QFileInfo table(path);
    const QStringList names = table.dir().entryList({table.completeBaseName() + u".cpg"_s}, QDir::Files);
    if (names.isEmpty())
        return {};
    return table.dir().filePath(names.first());
}

} // namespace

struct DbfImportSource::State
{
    ~State()
    {
        if (handle)
            DBFClose(handle);
    }

    QFile file;
    QBuffer bytes;
    DbfFiles files;
    DBFHandle handle = nullptr;
    std::optional<QStringDecoder> decoder; // none for code page 1250
};

DbfImportSource::DbfImportSource(QString path) : m_name(std::move(path)), m_state(std::make_unique<State>())
{
    m_state->file.setFileName(m_name);
    m_state->files.table = &m_state->file;
}

DbfImportSource::DbfImportSource(QByteArray bytes, QByteArray codePageFile, QString name)
    : m_name(std::move(name)), m_state(std::make_unique<State>())
{
    m_state->bytes.setData(bytes);
    m_state->files.table = &m_state->bytes;
    if (!codePageFile.isNull()) {
        m_state->files.codePageFile.setData(codePageFile);
        m_state->files.hasCodePageFile = m_state->files.codePageFile.open(QIODevice::ReadOnly);
    }
}

DbfImportSource::~DbfImportSource() = default;

bool DbfImportSource::fail(const QString &reason)
{
    m_error = u"Súbor %1 sa nedá čítať: %2"_s.arg(QDir::toNativeSeparators(m_name), reason);
    return false;
}

QString DbfImportSource::headerProblem(const QByteArray &header, qint64 fileSize)
{
    if (fileSize < FileHeaderSize || header.size() < FileHeaderSize)
        return u"je príliš krátky na tabuľku dBase"_s;
    if (!knownVersion(uchar(header.at(0))))
        return u"nie je to tabuľka dBase"_s;
    const qint64 records = littleEndian(header, 4, 4);
    const qint64 headerLength = littleEndian(header, 8, 2);
    const qint64 recordLength = littleEndian(header, 10, 2);
    if (headerLength < FileHeaderSize + FieldDescriptorSize + 1 || headerLength > fileSize ||
        headerLength > header.size())
        return u"hlavička tabuľky je poškodená"_s;
    int fields = 0;
    const qint64 bytes = fieldBytes(header, headerLength, &fields);
    if (bytes < 0 || fields == 0 || recordLength < bytes + 1)
        return u"zoznam polí tabuľky je poškodený"_s;
    if (headerLength + records * recordLength > fileSize)
        return u"súbor je skrátený, chýbajú mu záznamy"_s;
    return {};
}

bool DbfImportSource::checkHeader()
{
    QIODevice *table = m_state->files.table;
    if (!table->open(QIODevice::ReadOnly))
        return fail(table->errorString());
    const QString problem = headerProblem(table->peek(LargestHeader), table->size());
    return problem.isEmpty() || fail(problem);
}

void DbfImportSource::readCodePageFile()
{
    const QString path = cpgBesides(m_name);
    QFile codePageFile(path);
    if (!path.isEmpty() && codePageFile.open(QIODevice::ReadOnly)) {
        m_state->files.codePageFile.setData(codePageFile.read(LargestCodePageFile));
        m_state->files.hasCodePageFile = m_state->files.codePageFile.open(QIODevice::ReadOnly);
    }
}

bool DbfImportSource::open()
{
    if (m_state->files.table == &m_state->file)
        readCodePageFile();
    if (!checkHeader())
        return false;
    SAHooks fileHooks = hooks();
    const QByteArray name = QByteArray::number(quintptr(&m_state->files), 16) + ".dbf";
    m_state->handle = DBFOpenLL(name.constData(), "rb", &fileHooks);
    if (!m_state->handle)
        return fail(u"tabuľka dBase sa nedá otvoriť"_s);
    m_recordCount = DBFGetRecordCount(m_state->handle);
    m_record = 0;
    chooseCodePage();
    return true;
}

void DbfImportSource::chooseCodePage()
{
    const char *named = DBFGetCodePage(m_state->handle);
    const QString text = named ? QString::fromLatin1(named) : QString();
    if (text.startsWith(u"LDID/"_s))
        m_codePage = codePageOfLanguageByte(text.mid(5).toInt());
    else
        m_codePage = text.isEmpty() ? OwnCodePage : codePageOfName(text);
    m_state->decoder.reset();
    if (m_codePage != OwnCodePage)
        m_state->decoder.emplace(m_codePage.toLatin1().constData(), QStringConverter::Flag::Stateless);
    if (m_state->decoder && !m_state->decoder->isValid()) {
        m_state->decoder.reset();
        m_codePage = OwnCodePage;
    }
}

QString DbfImportSource::decode(const char *text) const
{
    if (!m_state->decoder)
        return Cp1250::decode(QByteArrayView(text));
    return (*m_state->decoder)(QByteArrayView(text));
}

// One field's value as shapelib gives it: the field's bytes without the
// blanks around them.
void DbfImportSource::addField(ImportCells &cells, char type, const char *raw) const
{
    const QByteArray value = QByteArray(raw).trimmed();
    switch (type) {
    case 'C':
        cells.text(decode(raw));
        return;
    case 'N':
    case 'F': {
        // Stars fill a number too large for its field; any other text is
        // left for the import to refuse as not a number.
        bool ok = false;
        const double number = value.toDouble(&ok);
        if (ok)
            cells.number(number);
        else
            cells.text(value.startsWith('*') ? QString() : decode(value));
        return;
    }
    case 'D': {
        const QDate date = QDate::fromString(QString::fromLatin1(value), u"yyyyMMdd"_s);
        if (date.isValid())
            cells.date(date);
        else
            cells.text(value == "00000000" ? QString() : decode(value));
        return;
    }
    case 'L':
        cells.text(value == "?" ? QString() : decode(value));
        return;
    default: // memos and binary fields of other programs
        cells.empty();
        return;
    }
}

bool DbfImportSource::readRecord(int record, ImportRow &row)
{
    ImportCells cells(row);
    const int fields = DBFGetFieldCount(m_state->handle);
    for (int field = 0; field < fields; ++field) {
        const char *raw = DBFReadStringAttribute(m_state->handle, record, field);
        if (!raw)
            return fail(u"záznam %1 sa nedá prečítať"_s.arg(record + 1));
        addField(cells, DBFGetNativeFieldType(m_state->handle, field), raw);
    }
    row.number = record + 1;
    return true;
}

ImportRowSource::Read DbfImportSource::next(ImportRow &row)
{
    if (!m_state->handle) {
        if (m_error.isEmpty())
            fail(u"tabuľka nie je otvorená"_s);
        return Read::Failed;
    }
    while (m_record < m_recordCount) {
        const int record = m_record++;
        if (DBFIsRecordDeleted(m_state->handle, record))
            continue;
        return readRecord(record, row) ? Read::Row : Read::Failed;
    }
    return Read::End;
}

#include "stock/ReceiptHeaderFile.h"

#include "base/Cp1250.h"
#include "stock/DataFolder.h"
#include "stock/RtfReader.h"
#include "stock/RtfWriter.h"

#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>

using namespace Qt::StringLiterals;

QString ReceiptHeaderFile::fileName()
{
    return u"hlavicka.cfg"_s;
}

QString ReceiptHeaderFile::filePath(const QString &dataFolder)
{
    return DataFolder::file(dataFolder, fileName());
}

QStringList ReceiptHeaderFile::defaultLines()
{
    return {u"Vyplňte Vaše identifikačné údaje"_s, QString(), u"1. Stlačte tlačítko CENNÍK"_s,
            u"2. Stlačte tlačítko Servis"_s, u"3. Vyplňte údaje v jednotlivých záložkách"_s};
}

ReceiptHeaderFile::LoadResult ReceiptHeaderFile::load(const QString &path)
{
    QFile file(path);
    if (!file.exists())
        return {Status::Missing, {}};
    if (!file.open(QIODevice::ReadOnly))
        return {Status::Unreadable, {}};
    if (file.size() > MaximumSize)
        return {Status::TooLarge, {}};
    const QByteArray bytes = file.read(MaximumSize + 1);
    if (file.error() != QFileDevice::NoError)
        return {Status::Unreadable, {}};
    if (bytes.size() > MaximumSize)
        return {Status::TooLarge, {}};
    return {Status::Loaded, parse(bytes)};
}

RichTextDocument ReceiptHeaderFile::parse(const QByteArray &bytes)
{
    return RtfReader::isRtf(bytes) ? RtfReader::read(bytes) : parsePlainText(bytes);
}

RichTextDocument ReceiptHeaderFile::parsePlainText(const QByteArray &bytes)
{
    static const QByteArray utf8Bom("\xEF\xBB\xBF");
    QString text =
        bytes.startsWith(utf8Bom) ? QString::fromUtf8(bytes.sliced(utf8Bom.size())) : Cp1250::decode(bytes);
    text.remove(QChar(0));
    static const QRegularExpression lineEnd(u"\r\n|\n|\r"_s);
    QStringList lines = text.split(lineEnd);
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast(); // the end of the last line, not a line of its own
    return RichTextDocument::fromPlainLines(lines);
}

bool ReceiptHeaderFile::save(const QString &path, const RichTextDocument &document)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = RtfWriter::write(document);
    return file.write(bytes) == bytes.size() && file.commit();
}

#pragma once

#include <QByteArray>
#include <QList>
#include <QLocale>
#include <QString>

// An INI (profile) file read and written with the semantics of the Windows
// profile functions, so that files prepared for the Windows program keep their
// meaning here:
//  - section and key names compare without regard to case (Slovak letters too);
//  - blanks around names and values are ignored; a value in matching single or
//    double quotes loses them;
//  - the first of duplicate sections and the first of duplicate keys win;
//  - a line without "=" is a key without value: reading it gives the default;
//  - comment lines are never matched, keys before the first section belong to
//    no section a caller can name;
//  - a missing file, section or key gives the default.
// Writing changes the key's line in place, appends a missing key after the last
// entry of its section and a missing section at the end of the file; every other
// line stays byte for byte. The file is code page 1250 (or UTF-8 when it starts
// with a UTF-8 byte-order mark) and is replaced whole when saved.
class IniFile
{
public:
    explicit IniFile(QString path);

    // Reads the file; false when it is missing or unreadable (then empty).
    bool load();
    const QString &path() const { return m_path; }

    QString readString(const QString &section, const QString &key, const QString &defaultValue) const;
    // Whole value a decimal integer (optionally signed, or 0x hexadecimal) that
    // fits in 32 bits, else the default.
    int readInt(const QString &section, const QString &key, int defaultValue) const;
    // Integer switch: 0 off, any other number on.
    bool readSwitch(const QString &section, const QString &key, bool defaultValue) const;
    // A floating-point value with the decimal separator of `locale`.
    double readDouble(const QString &section, const QString &key, double defaultValue,
                      const QLocale &locale = QLocale::system()) const;
    bool hasKey(const QString &section, const QString &key) const;

    // Changes the document in memory; save() writes it.
    void setString(const QString &section, const QString &key, const QString &value);
    void setInt(const QString &section, const QString &key, int value);
    bool save();
    // setString + save, like a single profile write.
    bool writeString(const QString &section, const QString &key, const QString &value);

    // The document as it would be saved.
    QByteArray toBytes() const;
    void setBytes(const QByteArray &bytes);

private:
    enum class Kind { Blank, Section, Key, KeyWithoutValue };
    struct Line
    {
        QByteArray raw;     // bytes of the line without its line end
        QByteArray lineEnd; // "\r\n", "\n" or empty on the last line
        Kind kind = Kind::Blank;
        QString name;  // section or key name as the file spells it
        QString value; // trimmed value of a key line
    };

    void parseLine(Line &line) const;
    qsizetype findSection(const QString &section) const;
    qsizetype findKey(qsizetype sectionLine, const QString &key) const;      // -1 when missing
    qsizetype sectionEnd(qsizetype sectionLine) const;                       // first line after the section
    const QString *lookUp(const QString &section, const QString &key) const; // null: default applies
    void insertLine(qsizetype at, const QString &text);
    QByteArray newLineEnd() const;
    QString decode(const QByteArray &bytes) const;
    QByteArray encode(const QString &text) const;

    QString m_path;
    QList<Line> m_lines;
    bool m_utf8 = false;
};

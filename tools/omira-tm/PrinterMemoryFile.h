#pragma once

#include "omira-tm/PrinterMemory.h"

#include <QString>

// The printer's memory as a small INI file (code page 1250), so that document numbers
// keep rising across restarts as a real printer's do, and a shop owner can set the
// header lines, the tax code and the VAT rates by hand. Keys that are missing or
// unreadable take the factory values.
class PrinterMemoryFile
{
public:
    static constexpr int MaxHeaderLines = 20;

    explicit PrinterMemoryFile(QString path);

    const QString &path() const { return m_path; }
    bool exists() const;
    PrinterMemory load() const;
    // Replaces the file whole; false when it could not be written.
    bool save(const PrinterMemory &state) const;

private:
    QString m_path;
};

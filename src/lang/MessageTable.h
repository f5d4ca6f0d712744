#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <array>

#include "lang/MessageIds.h"

// The message table: 500 numbered texts of message boxes, tray hints and status
// panels, read from the language's message file. Each slot holds at most 249
// bytes of code page 1250; until the file is read slot n shows "[MSG_n]".
class MessageTable
{
public:
    static constexpr int SlotCount = 500;
    static constexpr int SlotSize = 250;

    MessageTable();

    void resetToPlaceholders();
    // The byte scan of a message file's content (see the .cpp for its rules).
    void parse(QByteArrayView content);
    enum class LoadResult {
        Loaded,
        Missing,   // the file cannot be opened: the placeholders stay
        ReadError, // opened but not read whole: the placeholders stay
    };
    // Fills the table from a file; the caller tells the user what went wrong.
    LoadResult load(const QString &path);

    QString text(int slot) const;
    QString text(Msg message) const { return text(static_cast<int>(message)); }
    QByteArray bytes(int slot) const;

private:
    std::array<QByteArray, SlotCount> m_slots;
};

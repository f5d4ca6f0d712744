#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <array>

#include "lang/MessageIds.h"

class UserDialogs;

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
    // Fills the table from a file; a file that cannot be opened is reported
    // through `dialogs` and leaves the placeholders (result false).
    bool load(const QString &path, UserDialogs &dialogs);

    QString text(int slot) const;
    QString text(Msg message) const { return text(static_cast<int>(message)); }
    QByteArray bytes(int slot) const;

private:
    std::array<QByteArray, SlotCount> m_slots;
};

#pragma once

#include <QString>

class MessageTable;
class UserDialogs;

// Reads the language message file into `messages` and tells the user when it is
// missing or cannot be read; the placeholders stay then. False for a missing file.
bool loadMessageFile(MessageTable &messages, const QString &path, UserDialogs &dialogs);

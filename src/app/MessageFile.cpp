#include "app/MessageFile.h"

#include "base/UserDialogs.h"
#include "lang/MessageTable.h"

using namespace Qt::StringLiterals;

bool loadMessageFile(MessageTable &messages, const QString &path, UserDialogs &dialogs)
{
    switch (messages.load(path)) {
    case MessageTable::LoadResult::Loaded:
        return true;
    case MessageTable::LoadResult::Missing:
        dialogs.warn(path, u"Omira language file doesn't exists"_s);
        return false;
    case MessageTable::LoadResult::ReadError: {
        UserDialogs::Message box;
        box.text = u"Can't perform one of the following file operations: Open, Seek, Read, Close."_s;
        box.caption = u"File Error"_s;
        box.icon = UserDialogs::Icon::Error;
        box.buttons = UserDialogs::Buttons::OkCancel;
        dialogs.show(box);
        return true;
    }
    }
    return false;
}

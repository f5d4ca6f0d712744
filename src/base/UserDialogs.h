#pragma once

#include <QString>
#include <QStringList>

// Every message box and question of the program goes through this interface, so
// that the core never shows a widget and tests can answer in place of a user.
class UserDialogs
{
public:
    enum class Icon { None, Information, Warning, Error, Question };
    enum class Buttons { Ok, OkCancel, YesNo };
    enum class Answer { Ok, Cancel, Yes, No };

    struct Message
    {
        QString text;
        QString caption;
        Icon icon = Icon::Warning;
        Buttons buttons = Buttons::Ok;
        Answer defaultAnswer = Answer::Ok; // the button that Enter presses
        bool topMost = true;
        bool ownedByMainWindow = false; // otherwise the box has no owner
    };

    // A file to open, or with `forSaving` a file to write, chosen by the user.
    struct FileRequest
    {
        QString title;
        QString filter; // "Name (*.a *.b);;Other (*)"
        QString folder; // where the dialog starts
        QString proposedName;
        bool existingOnly = true; // only an existing file can be chosen
        // A name to write to: the dialog asks before an existing file is replaced.
        bool forSaving = false;
        // Where the dialog tells which entry of `filter` was chosen (the kind of
        // file to write, where two kinds share an extension); left alone when unknown.
        QString *chosenFilter = nullptr;
    };

    // One entry of a list to choose, such as the sheet of a workbook.
    struct ItemRequest
    {
        QString title;
        QString label; // what is being chosen
        QStringList items;
        int current = 0; // chosen when the list opens
    };

    virtual ~UserDialogs() = default;
    virtual Answer show(const Message &message) = 0;
    // The chosen file's full path, or empty when the user cancelled.
    virtual QString chooseFile(const FileRequest &request) = 0;
    // The position of the chosen entry in `items`, or -1 when the user cancelled.
    // Where nobody can be asked, nothing is chosen.
    virtual int chooseItem(const ItemRequest &) { return -1; }

    // The common boxes by name: top-most, without owner, one OK button.
    void warn(const QString &text, const QString &caption) { show(okBox(text, caption, Icon::Warning)); }
    void inform(const QString &text, const QString &caption)
    {
        show(okBox(text, caption, Icon::Information));
    }
    void error(const QString &text, const QString &caption) { show(okBox(text, caption, Icon::Error)); }

    // A Yes/No question; true when the answer is Yes. `defaultAnswer` is what Enter gives.
    bool askYesNo(const QString &text, const QString &caption, Answer defaultAnswer,
                  Icon icon = Icon::Warning)
    {
        Message question = okBox(text, caption, icon);
        question.buttons = Buttons::YesNo;
        question.defaultAnswer = defaultAnswer;
        return show(question) == Answer::Yes;
    }

private:
    static Message okBox(const QString &text, const QString &caption, Icon icon)
    {
        Message box;
        box.text = text;
        box.caption = caption;
        box.icon = icon;
        return box;
    }
};

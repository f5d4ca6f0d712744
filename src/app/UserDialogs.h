#pragma once

#include <QString>

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

    virtual ~UserDialogs() = default;
    virtual Answer show(const Message &message) = 0;

    // The common case: a top-most warning with one OK button.
    void warn(const QString &text, const QString &caption)
    {
        show(Message{text, caption, Icon::Warning, Buttons::Ok, Answer::Ok, true, false});
    }
};

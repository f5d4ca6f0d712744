#include "ScriptedDialogs.h"

UserDialogs::Answer ScriptedDialogs::show(const Message &message)
{
    m_shown.append(message);
    return m_answers.isEmpty() ? message.defaultAnswer : m_answers.takeFirst();
}

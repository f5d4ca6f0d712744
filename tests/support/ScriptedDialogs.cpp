#include "ScriptedDialogs.h"

#include <QTest>

UserDialogs::Answer ScriptedDialogs::show(const Message &message)
{
    m_shown.append(message);
    if (!m_answers.isEmpty())
        return m_answers.takeFirst();
    if (m_strict) {
        const QByteArray what =
            "a box nobody expected: \"" + message.caption.toUtf8() + "\": " + message.text.toUtf8();
        QTest::qFail(what.constData(), __FILE__, __LINE__);
    }
    return message.defaultAnswer;
}

QString ScriptedDialogs::chooseFile(const FileRequest &request)
{
    m_fileRequests.append(request);
    if (m_files.isEmpty())
        return {};
    const ChosenFile chosen = m_files.takeFirst();
    if (request.chosenFilter && !chosen.filter.isEmpty())
        *request.chosenFilter = chosen.filter;
    return chosen.path;
}

int ScriptedDialogs::chooseItem(const ItemRequest &request)
{
    m_itemRequests.append(request);
    return m_items.isEmpty() ? -1 : m_items.takeFirst();
}

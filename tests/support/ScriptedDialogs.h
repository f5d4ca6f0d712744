#pragma once

#include "base/UserDialogs.h"

#include <QList>

// Answers message boxes in place of a user: records every box shown and gives
// the queued answers in order (the box's default answer when none is queued).
// In strict mode every box must have been expected: a box shown with no answer
// queued for it fails the running test, so that a box nobody meant to cause
// cannot pass unseen.
class ScriptedDialogs : public UserDialogs
{
public:
    Answer show(const Message &message) override;
    // Gives the queued files in order (none queued: the user cancels), and a
    // queued filter entry to a request that asks which one was chosen.
    QString chooseFile(const FileRequest &request) override;

    void queueFile(const QString &path, const QString &filter = {}) { m_files.append({path, filter}); }
    const QList<FileRequest> &fileRequests() const { return m_fileRequests; }
    // Gives the queued choices in order (none queued: the user cancels).
    int chooseItem(const ItemRequest &request) override;
    void queueItem(int position) { m_items.append(position); }
    const QList<ItemRequest> &itemRequests() const { return m_itemRequests; }

    void setStrict(bool strict) { m_strict = strict; }
    void queueAnswer(Answer answer) { m_answers.append(answer); }
    const QList<Message> &shown() const { return m_shown; }
    void clear()
    {
        m_shown.clear();
        m_answers.clear();
        m_files.clear();
        m_fileRequests.clear();
        m_items.clear();
        m_itemRequests.clear();
    }

private:
    QList<Message> m_shown;
    QList<Answer> m_answers;
    struct ChosenFile
    {
        QString path;
        QString filter;
    };
    QList<ChosenFile> m_files;
    QList<FileRequest> m_fileRequests;
    QList<int> m_items;
    QList<ItemRequest> m_itemRequests;
    bool m_strict = false;
};

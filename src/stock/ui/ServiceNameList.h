#pragma once

#include "stock/CardRenumbering.h"
#include "stock/NameListEdits.h"

#include <QObject>
#include <QString>
#include <QStringList>

class DataFile;
class MessageTable;
class QComboBox;
class QLineEdit;
class QPushButton;
class UserDialogs;

// One of the maintenance screen's two name lists (units or stock groups): the
// entry field that adds, the list whose edit part renames and the button that
// deletes. It remembers where each entry came from, so that the save can move
// the cards along, and refuses to delete an entry that cards still use.
class ServiceNameList : public QObject
{
    Q_OBJECT

public:
    static constexpr int MaximumEntries = 15;

    struct Texts
    {
        QString limitReached;   // the 16th entry
        QString deleteQuestion; // "%1" stands for the entry
        QString whatInUse;      // "Mernú jednotku", "Skladovú skupinu"
    };
    struct Services
    {
        const MessageTable &messages;
        UserDialogs &dialogs;
        DataFile &stockFile;
    };

    ServiceNameList(CardRenumbering::List kind, int maxLength, Texts texts, Services services,
                    QObject *parent = nullptr);

    QLineEdit *entryField() const { return m_entry; }
    QComboBox *list() const { return m_list; }
    QPushButton *deleteButton() const { return m_delete; }
    void setWidgets(QLineEdit *entry, QComboBox *list, QPushButton *deleteButton);

    void load(const QStringList &entries);
    const NameListEdits &edits() const { return m_edits; }

    // Enter in the entry field: appends its text (within the limit) and empties it.
    void addFromEntry();
    // Enter in the list's edit part: renames the selected entry.
    void renameFromList();
    void deleteSelected();

private:
    bool belowLimit();
    bool refusedAsUsed(int position);
    void fillList(int selected);

    CardRenumbering::List m_kind;
    int m_maxLength;
    Texts m_texts;
    Services m_services;
    NameListEdits m_edits;
    QLineEdit *m_entry = nullptr;
    QComboBox *m_list = nullptr;
    QPushButton *m_delete = nullptr;
};

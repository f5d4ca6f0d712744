#include "stock/ui/ServiceNameList.h"

#include "base/Paths.h"
#include "base/UserDialogs.h"
#include "lang/MessageIds.h"
#include "lang/MessageTable.h"
#include "stock/DataFile.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

ServiceNameList::ServiceNameList(CardRenumbering::List kind, int maxLength, Texts texts, Services services,
                                 QObject *parent)
    : QObject(parent), m_kind(kind), m_maxLength(maxLength), m_texts(std::move(texts)), m_services(services)
{}

void ServiceNameList::setWidgets(QLineEdit *entry, QComboBox *list, QPushButton *deleteButton)
{
    m_entry = entry;
    m_list = list;
    m_delete = deleteButton;
    m_entry->setMaxLength(m_maxLength);
    m_list->setEditable(true);
    // Enter renames through renameFromList(); the list must not add an entry of its own.
    m_list->setInsertPolicy(QComboBox::NoInsert);
    m_list->lineEdit()->setMaxLength(m_maxLength);
    connect(m_delete, &QPushButton::clicked, this, &ServiceNameList::deleteSelected);
}

void ServiceNameList::load(const QStringList &entries)
{
    m_edits = NameListEdits(entries);
    m_entry->clear();
    fillList(entries.isEmpty() ? -1 : 0);
}

void ServiceNameList::fillList(int selected)
{
    m_list->clear();
    m_list->addItems(m_edits.texts());
    m_list->setCurrentIndex(selected);
    if (selected < 0)
        m_list->setEditText(QString());
}

bool ServiceNameList::belowLimit()
{
    if (m_edits.size() < MaximumEntries)
        return true;
    m_services.dialogs.warn(m_texts.limitReached, m_services.messages.text(Msg::ServiceCaption));
    return false;
}

void ServiceNameList::addFromEntry()
{
    const QString text = fitToSlot(m_entry->text(), m_maxLength);
    if (text.isEmpty() || !belowLimit())
        return;
    m_edits.append(text);
    fillList(m_edits.size() - 1);
    m_entry->clear();
}

void ServiceNameList::renameFromList()
{
    // An empty entry would be a gap in the saved table and shift every card behind it.
    const QString text = fitToSlot(m_list->currentText(), m_maxLength);
    if (text.isEmpty())
        return;
    const int selected = m_list->currentIndex();
    if (selected >= 0 && selected < m_edits.size()) {
        m_edits.rename(selected, text);
        fillList(selected);
        return;
    }
    // The entry fields refuse a 16th entry, and so does this way of adding one.
    if (!belowLimit())
        return;
    m_edits.append(text);
    fillList(0);
}

// Cards store the entry's position: deleting an entry that cards use would move
// them to the entry behind it without a word.
bool ServiceNameList::refusedAsUsed(int position)
{
    const int origin = m_edits.originOf(position);
    if (origin == NameListEdits::NewEntry)
        return false;
    const QString caption = m_services.messages.text(Msg::ServiceCaption);
    const QString entry = m_edits.texts()[position];
    if (!m_services.stockFile.isOpen()) {
        m_services.dialogs.warn(
            u"%1 '%2' nemožno vymazať: cenník nie je otvorený, nedá sa zistiť, či ju používajú karty."_s.arg(
                m_texts.whatInUse, entry),
            caption);
        return true;
    }
    const std::optional<qint64> cards = CardRenumbering(m_services.stockFile).cardsUsing(m_kind, origin);
    if (!cards) {
        m_services.dialogs.warn(u"%1 '%2' nemožno vymazať:\r\n%3"_s.arg(m_texts.whatInUse, entry,
                                                                        m_services.stockFile.lastError()),
                                caption);
        return true;
    }
    if (*cards == 0)
        return false;
    m_services.dialogs.warn(u"%1 '%2' nemožno vymazať: používajú ju karty cenníka (počet kariet: %3)."_s.arg(
                                m_texts.whatInUse, entry, QString::number(*cards)),
                            caption);
    return true;
}

void ServiceNameList::deleteSelected()
{
    const QString text = m_list->currentText();
    const int selected = m_list->currentIndex();
    if (text.isEmpty() || selected < 0 || selected >= m_edits.size())
        return;
    if (refusedAsUsed(selected))
        return;
    if (!m_services.dialogs.askYesNo(m_texts.deleteQuestion.arg(text), u"Omira servis."_s,
                                     UserDialogs::Answer::No, UserDialogs::Icon::Question))
        return;
    m_edits.remove(selected);
    fillList(std::min(selected, m_edits.size() - 1));
}

#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// A unit or group list as the maintenance screen edits it. Stock cards store
// positions in these lists, so every entry remembers the position it had when
// the list was loaded: that is what the cards must be moved from on saving.
class NameListEdits
{
public:
    static constexpr int NewEntry = -1; // an entry added since loading
    static constexpr int Deleted = -1;  // in newPositions(): the entry is gone

    NameListEdits() = default;
    explicit NameListEdits(const QStringList &loaded);

    const QStringList &texts() const { return m_texts; }
    const QStringList &loaded() const { return m_loaded; }
    int size() const { return int(m_texts.size()); }
    // The position the entry had when loaded, or NewEntry.
    int originOf(int position) const { return m_origins.value(position, NewEntry); }

    void append(const QString &text);
    void rename(int position, const QString &text);
    void remove(int position);

    // For every loaded position: where the entry stands now, or Deleted.
    QList<int> newPositions() const;
    QList<int> deletedOrigins() const;
    // A loaded entry that stands elsewhere now, or (with `textsOnCards`) has a new text.
    bool changesCards(bool textsOnCards) const;

private:
    QStringList m_loaded;
    QStringList m_texts;
    QList<int> m_origins;
};

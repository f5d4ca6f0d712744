#include "stock/NameListEdits.h"

NameListEdits::NameListEdits(const QStringList &loaded) : m_loaded(loaded), m_texts(loaded)
{
    for (int i = 0; i < loaded.size(); ++i)
        m_origins.append(i);
}

void NameListEdits::append(const QString &text)
{
    m_texts.append(text);
    m_origins.append(NewEntry);
}

void NameListEdits::rename(int position, const QString &text)
{
    if (position >= 0 && position < m_texts.size())
        m_texts[position] = text;
}

void NameListEdits::remove(int position)
{
    if (position < 0 || position >= m_texts.size())
        return;
    m_texts.removeAt(position);
    m_origins.removeAt(position);
}

QList<int> NameListEdits::newPositions() const
{
    QList<int> positions(m_loaded.size(), Deleted);
    for (int now = 0; now < m_origins.size(); ++now) {
        if (m_origins[now] != NewEntry)
            positions[m_origins[now]] = now;
    }
    return positions;
}

QList<int> NameListEdits::deletedOrigins() const
{
    QList<int> deleted;
    const QList<int> positions = newPositions();
    for (int origin = 0; origin < positions.size(); ++origin) {
        if (positions[origin] == Deleted)
            deleted.append(origin);
    }
    return deleted;
}

bool NameListEdits::changesCards(bool textsOnCards) const
{
    for (int now = 0; now < m_origins.size(); ++now) {
        const int origin = m_origins[now];
        if (origin == NewEntry)
            continue;
        if (origin != now || (textsOnCards && m_texts[now] != m_loaded[origin]))
            return true;
    }
    return false;
}

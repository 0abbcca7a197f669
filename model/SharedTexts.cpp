#include "model/SharedTexts.h"

#include <cstring>

#include <QHash>

namespace {

// Enough texts to tell a column of few values from one of many.
const int addsBeforeGivingUp = 4096;
const int firstSlotCount = 64;

bool sameText(const QString &held, QStringView text)
{
    return held.size() == text.size()
        && (text.isEmpty()
            || std::memcmp(held.constData(), text.data(), size_t(text.size()) * sizeof(QChar))
                == 0);
}

QString copyOf(QStringView text)
{
    // An empty text stays an empty text, never a null one: a column's null means no entry.
    return text.isEmpty() ? QString(QLatin1String("")) : text.toString();
}

} // namespace

int SharedTexts::slotOf(QStringView text, uint hash) const
{
    const int mask = m_slots.size() - 1;
    for (int slot = int(hash) & mask;; slot = (slot + 1) & mask) {
        const int entry = m_slots.at(slot) - 1;
        if (entry < 0 || (m_hashes.at(entry) == hash && sameText(m_texts.at(entry), text)))
            return slot;
    }
}

int SharedTexts::indexOf(QStringView text) const
{
    if (m_slots.isEmpty())
        return -1;
    return m_slots.at(slotOf(text, qHash(text))) - 1;
}

int SharedTexts::add(QStringView text, const QString *copy)
{
    if (m_gaveUp)
        return -1;
    ++m_adds;
    if (m_slots.isEmpty())
        m_slots.fill(0, firstSlotCount);
    const uint hash = qHash(text);
    const int slot = slotOf(text, hash);
    if (m_slots.at(slot) > 0)
        return m_slots.at(slot) - 1;
    if (m_mode == MayGiveUp && m_adds >= addsBeforeGivingUp && m_texts.size() * 2 >= m_adds) {
        m_gaveUp = true;
        m_texts = QVector<QString>();
        m_hashes = QVector<uint>();
        m_slots = QVector<int>();
        return -1;
    }
    m_texts.append(copy && !copy->isNull() ? *copy : copyOf(text));
    m_hashes.append(hash);
    m_slots[slot] = m_texts.size();
    // At most half the slots in use keeps the runs of the probes short.
    if (m_texts.size() * 2 > m_slots.size())
        rehash(m_slots.size() * 2);
    return m_texts.size() - 1;
}

void SharedTexts::rehash(int slotCount)
{
    m_slots.fill(0, slotCount);
    const int mask = slotCount - 1;
    for (int entry = 0; entry < m_texts.size(); ++entry) {
        int slot = int(m_hashes.at(entry)) & mask;
        while (m_slots.at(slot) != 0)
            slot = (slot + 1) & mask;
        m_slots[slot] = entry + 1;
    }
}

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

// The texts' own hash spread over all its bits: texts that differ only near their end (a
// title with a running number, say) would otherwise crowd into neighbouring slots.
uint spread(uint hash)
{
    hash ^= hash >> 16;
    hash *= 0x85ebca6bU;
    hash ^= hash >> 13;
    hash *= 0xc2b2ae35U;
    hash ^= hash >> 16;
    return hash;
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
        const Slot &probe = m_slots.at(slot);
        if (probe.entry == 0 || (probe.hash == hash && sameText(m_texts.at(probe.entry - 1), text)))
            return slot;
    }
}

int SharedTexts::indexOf(QStringView text) const
{
    if (m_slots.isEmpty())
        return -1;
    return m_slots.at(slotOf(text, spread(qHash(text)))).entry - 1;
}

int SharedTexts::add(QStringView text, const QString *copy)
{
    if (m_gaveUp)
        return -1;
    ++m_adds;
    if (m_slots.isEmpty())
        m_slots.fill(Slot {0, 0}, firstSlotCount);
    const uint hash = spread(qHash(text));
    const int slot = slotOf(text, hash);
    if (m_slots.at(slot).entry > 0)
        return m_slots.at(slot).entry - 1;
    if (m_mode == MayGiveUp && m_adds >= addsBeforeGivingUp && m_texts.size() * 2 >= m_adds) {
        m_gaveUp = true;
        m_texts = QVector<QString>();
        m_slots = QVector<Slot>();
        return -1;
    }
    m_texts.append(copy && !copy->isNull() ? *copy : copyOf(text));
    m_slots[slot] = Slot {m_texts.size(), hash};
    // At most half the slots in use keeps the runs of the probes short.
    if (m_texts.size() * 2 > m_slots.size())
        rehash(m_slots.size() * 2);
    return m_texts.size() - 1;
}

void SharedTexts::rehash(int slotCount)
{
    const QVector<Slot> old = m_slots;
    m_slots.fill(Slot {0, 0}, slotCount);
    const int mask = slotCount - 1;
    for (const Slot &entry : old) {
        if (entry.entry == 0)
            continue;
        int slot = int(entry.hash) & mask;
        while (m_slots.at(slot).entry != 0)
            slot = (slot + 1) & mask;
        m_slots[slot] = entry;
    }
}

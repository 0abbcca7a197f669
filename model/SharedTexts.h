#pragma once

#include <QString>
#include <QStringView>
#include <QVector>

// The distinct texts of one column of values, each held once and found by its content. The
// readers of plan and CSV files keep equal texts of a column as one shared copy (a large plan
// repeats a few statuses, owners and dates over and over), and the plan judges each distinct
// text of a column once, not once per card.
//
// A table that may give up stops once more than half of the texts added are distinct (titles,
// notes, amounts): there it would only cost time and memory. Every add after that returns -1.
class SharedTexts
{
public:
    enum Mode { MayGiveUp, KeepAll };
    explicit SharedTexts(Mode mode = MayGiveUp) : m_mode(mode) { }

    // The index of the distinct text equal to text, adding it when new: as *copy when given
    // (it must equal text), else as a new copy of text. -1 when the table has given up.
    int add(QStringView text, const QString *copy = nullptr);
    int add(const QString &text) { return add(QStringView(text), &text); }
    // The index of an equal text, or -1.
    int indexOf(QStringView text) const;

    const QString &at(int index) const { return m_texts.at(index); }
    // The distinct texts in the order they were first added.
    const QVector<QString> &texts() const { return m_texts; }
    int count() const { return m_texts.size(); }
    bool gaveUp() const { return m_gaveUp; }

private:
    // Open addressing: an index into m_texts plus 1 per slot, 0 for a free one, and the hash
    // of that text, so that a probe reads a text only where the hashes agree.
    struct Slot
    {
        int entry;
        uint hash;
    };

    int slotOf(QStringView text, uint hash) const;
    void rehash(int slotCount);

    QVector<QString> m_texts;
    QVector<Slot> m_slots;
    int m_adds = 0;
    Mode m_mode;
    bool m_gaveUp = false;
};

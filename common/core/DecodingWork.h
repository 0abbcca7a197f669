#pragma once

#include <QtGlobal>

// The work a decoder does on one picture, counted as it does it, in one unit for every decoder:
// what delivering one pixel of an ordinary photo takes, some three and a half nanoseconds here. A
// decoder that reads its picture itself reports the bytes it has read, which pay for perByte units
// each, and stops once its work passes what those bytes pay for and what may be taken beyond them,
// or the most any picture may take: a file that declares a large picture, or makes its decoder loop
// over its codes, buys no more than its bytes and the allowance.
class DecodingWork
{
public:
    DecodingWork(qint64 most, qint64 perByte, qint64 beyond)
        : m_most(most), m_perByte(perByte), m_beyond(beyond)
    { }

    // Counts units of work; false once they pass what may be done.
    bool spend(qint64 units)
    {
        m_spent += units;
        return !isOver();
    }
    void addRead(qint64 bytes) { m_read += bytes; }
    // The bytes read pay for nothing from now on: the picture they hold is one whose work comes
    // from the allowance alone.
    void unpaid() { m_perByte = 0; }

    bool isOver() const { return wouldPass(0); }
    // Whether that much more work would pass what may be done: work known before it is done is
    // refused before it starts.
    bool wouldPass(qint64 units) const
    {
        const qint64 spent = m_spent + units;
        return spent > m_most || spent > m_perByte * m_read + m_beyond;
    }
    qint64 spent() const { return m_spent; }
    qint64 read() const { return m_read; }

private:
    const qint64 m_most;
    qint64 m_perByte;
    const qint64 m_beyond;
    qint64 m_spent = 0;
    qint64 m_read = 0;
};

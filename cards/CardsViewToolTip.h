#pragma once

#include <QPoint>
#include <QPointer>
#include <QString>

class CardItem;
class CardsView;

// The card's contents as a two-column HTML table: every non-empty value, the links, the
// image's name and the notes, each plain text escaped after it was cut to size.
QString cardToolTipHtml(CardItem *card);
// One row of that table. Both texts are HTML already: the caller escapes plain text.
QString cardToolTipRow(const QString &name, const QString &value);

// The tool tips of the Cards view's cards. The view hands it every tool-tip event while the
// magnifier is off and clears its cache whenever the plan changes. Only the last card's text
// is kept, cut and wrapped, so resting on one card builds its text once.
class CardsViewToolTip
{
public:
    explicit CardsViewToolTip(CardsView *view);
    virtual ~CardsViewToolTip();

    void setEnabled(bool enabled) { m_enabled = enabled; }
    bool isEnabled() const { return m_enabled; }
    void clear();
    // Shows, refreshes or hides the tip for the card under the viewport point.
    void showToolTip(const QPoint &viewPosition, const QPoint &globalPosition);

    // The longest text shown; a longer one is cut and ends in "…".
    static constexpr int MaxLength = 512;
    // A line feed follows the first white space after this many characters of a line.
    static constexpr int WrapAfter = 127;
    // Cuts and wraps a card's HTML as the tip shows it.
    static QString shortened(const QString &html);

private:
    CardsView *m_view;
    // Guarded: a deleted card's item frees its address for the next card's item, which must
    // never show the deleted card's text.
    QPointer<CardItem> m_lastCard;
    QString m_text;
    bool m_enabled = true;
};

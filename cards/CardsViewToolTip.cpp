#include "cards/CardsViewToolTip.h"

#include "cards/CardItem.h"
#include "cards/CardsScene.h"
#include "cards/CardsView.h"
#include "common/core/TextHelpers.h"
#include "model/Document.h"

#include <QStringList>
#include <QToolTip>

namespace {

const int maxValueLength = 100;
const int maxLinkNameLength = 64;
const int maxNotesLength = 1024;

// Plan texts are plain text: markup in them (an <img> loading a local file, a "<" cutting the
// table) must show as typed.
QString plain(const QString &text, int maxLength)
{
    return elideText(text, maxLength).toHtmlEscaped();
}

} // namespace

QString cardToolTipRow(const QString &name, const QString &value)
{
    // Filled in one go, so that a "%2" in the name is not taken for the value's place.
    return QStringLiteral("<tr><td>%1: </td><td>%2</td></tr>").arg(name, value);
}

QString cardToolTipHtml(CardItem *card)
{
    auto *scene = card ? qobject_cast<CardsScene *>(card->scene()) : nullptr;
    QString html = QStringLiteral("<table>");
    if (!scene) {
        html += QStringLiteral("</table>");
        return html;
    }
    const Document &doc = *scene->document();
    const TaskIndex task = card->taskIndex();
    for (int property = 1; property < doc.propertyCount(); ++property) {
        const QString value = doc.value(task, property).trimmed();
        if (!value.isEmpty())
            html += cardToolTipRow(doc.propertyName(property).toHtmlEscaped(),
                                   plain(value, maxValueLength));
    }
    const QList<HyperLink> links = doc.taskLinks(task);
    if (!links.isEmpty()) {
        QStringList names;
        for (const HyperLink &link : links)
            names.append(plain(link.name(), maxLinkNameLength));
        html += cardToolTipRow(QObject::tr("Hyperlinks"), names.join(QStringLiteral("<br>")));
    }
    const int image = doc.taskImage(task);
    if (image >= 0 && image < doc.imageCount())
        html += cardToolTipRow(QObject::tr("Image"), doc.image(image).name().toHtmlEscaped());
    const QString notes = doc.taskNotes(task);
    if (!notes.trimmed().isEmpty())
        html += cardToolTipRow(QObject::tr("Notes"), plain(notes, maxNotesLength));
    html += QStringLiteral("</table>");
    return html;
}

CardsViewToolTip::CardsViewToolTip(CardsView *view) : m_view(view) { }

CardsViewToolTip::~CardsViewToolTip()
{
    m_view = nullptr;
}

void CardsViewToolTip::clear()
{
    m_lastCard.clear();
    m_text.clear();
}

QString CardsViewToolTip::shortened(const QString &html)
{
    QString text = html;
    if (text.size() > MaxLength)
        text = text.left(MaxLength) + QChar(0x2026);
    // Long lines break after a word, never inside one; a line feed of the text starts a new
    // line of its own.
    QString wrapped;
    wrapped.reserve(text.size() + text.size() / WrapAfter + 1);
    int count = 0;
    for (const QChar c : qAsConst(text)) {
        wrapped += c;
        if (c == QLatin1Char('\n')) {
            count = 0;
            continue;
        }
        const int preceding = count++;
        if (c.isSpace() && preceding >= WrapAfter) {
            wrapped += QLatin1Char('\n');
            count = 0;
        }
    }
    return wrapped;
}

void CardsViewToolTip::showToolTip(const QPoint &viewPosition, const QPoint &globalPosition)
{
    if (!m_enabled || !m_view)
        return;
    CardItem *card = m_view->cardItemAt(viewPosition);
    if (!card) {
        QToolTip::showText(QPoint(), QString());
        return;
    }
    if (card != m_lastCard || m_text.isEmpty()) {
        m_text = shortened(cardToolTipHtml(card));
        m_lastCard = card;
    }
    // The tip keeps to the card: it hides once the pointer leaves it.
    QWidget *viewport = m_view->viewport();
    const QRect onViewport = m_view->mapFromScene(card->sceneBoundingRect()).boundingRect();
    const QRect area(viewport->mapTo(m_view, onViewport.topLeft()), onViewport.size());
    QToolTip::showText(globalPosition, m_text, m_view, area);
}

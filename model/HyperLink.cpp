#include "model/HyperLink.h"

#include "common/core/TextDrawing.h"

#include <QRegularExpression>

namespace {

// Host and path of an address as text without its scheme.
QString nameFromSchemelessText(QString text)
{
    static const QRegularExpression leadingSlashes(QStringLiteral("^/*"));
    static const QRegularExpression trailingSlash(QStringLiteral("/$"));
    cutAtEncodedNewline(text);
    text.remove(leadingSlashes);
    text.remove(trailingSlash);
    return text;
}

} // namespace

HyperLink::HyperLink(const QString &name, const QUrl &url) : m_name(name), m_url(url) { }

HyperLink::HyperLink(const QUrl &url) : m_name(nameFromUrl(url)), m_url(url) { }

HyperLink HyperLink::fromUrlText(const QString &name, const QString &urlText)
{
    HyperLink link;
    link.m_name = name;
    link.setUrlText(urlText);
    return link;
}

HyperLink HyperLink::fromUrlText(const QString &urlText)
{
    HyperLink link = fromUrlText(QString(), urlText);
    if (link.m_rejectedText.isEmpty()) {
        link.m_name = nameFromUrl(link.m_url);
    } else {
        static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*:"));
        link.m_name = nameFromSchemelessText(QString(urlText).remove(scheme));
    }
    return link;
}

QString HyperLink::nameFromUrl(const QUrl &url)
{
    return nameFromSchemelessText(url.toString(QUrl::RemoveScheme));
}

QString HyperLink::urlText() const
{
    return m_rejectedText.isEmpty() ? m_url.toString() : m_rejectedText;
}

QString HyperLink::displayUrl() const
{
    QString text = urlText();
    cutAtEncodedNewline(text);
    return text;
}

void HyperLink::setUrlText(const QString &urlText)
{
    m_url = QUrl(urlText, QUrl::TolerantMode);
    m_rejectedText = m_url.isValid() ? QString() : urlText;
}

bool HyperLink::operator==(const HyperLink &other) const
{
    return m_name == other.m_name && m_url == other.m_url && m_rejectedText == other.m_rejectedText;
}

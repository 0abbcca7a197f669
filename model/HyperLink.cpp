#include "model/HyperLink.h"

#include "common/core/TextDrawing.h"

#include <QRegularExpression>

HyperLink::HyperLink(const QString &name, const QUrl &url) : m_name(name), m_url(url) { }

HyperLink::HyperLink(const QUrl &url) : m_name(nameFromUrl(url)), m_url(url) { }

QString HyperLink::nameFromUrl(const QUrl &url)
{
    static const QRegularExpression leadingSlashes(QStringLiteral("^/*"));
    static const QRegularExpression trailingSlash(QStringLiteral("/$"));
    QString name = url.toString(QUrl::RemoveScheme);
    cutAtEncodedNewline(name);
    name.remove(leadingSlashes);
    name.remove(trailingSlash);
    return name;
}

QString HyperLink::displayUrl() const
{
    QString text = m_url.toString();
    cutAtEncodedNewline(text);
    return text;
}

bool HyperLink::operator==(const HyperLink &other) const
{
    return m_name == other.m_name && m_url == other.m_url;
}

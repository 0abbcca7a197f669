#pragma once

#include <QString>
#include <QUrl>

// One link of a card: the text shown for it and its address.
class HyperLink
{
public:
    HyperLink() = default;
    HyperLink(const QString &name, const QUrl &url);
    explicit HyperLink(const QUrl &url);

    // A readable name for an address: host and path without the scheme.
    static QString nameFromUrl(const QUrl &url);

    // The address as shown, searched and written to files.
    QString displayUrl() const;

    const QString &name() const { return m_name; }
    void setName(const QString &name) { m_name = name; }
    QUrl url() const { return m_url; }
    void setUrl(const QUrl &url) { m_url = url; }

    bool operator==(const HyperLink &other) const;
    bool operator!=(const HyperLink &other) const { return !(*this == other); }
    bool operator<(const HyperLink &other) const { return m_name < other.m_name; }

private:
    QString m_name;
    QUrl m_url;
};

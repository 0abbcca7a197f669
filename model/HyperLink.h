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

    // A link to an address given as text (typed, replaced, or read from a file), parsed as a URL
    // in tolerant mode. QUrl keeps nothing of a text it rejects (a blank or an "&" in the host),
    // so such a link keeps the text itself: it is shown, searched and written as given.
    static HyperLink fromUrlText(const QString &name, const QString &urlText);
    // The same, named by its address as nameFromUrl names it.
    static HyperLink fromUrlText(const QString &urlText);

    // A readable name for an address: host and path without the scheme.
    static QString nameFromUrl(const QUrl &url);

    // The whole address: QUrl's text of it, or the text it rejected. Files store this.
    QString urlText() const;
    // The address as shown and searched: urlText cut before its first encoded line break.
    QString displayUrl() const;

    const QString &name() const { return m_name; }
    void setName(const QString &name) { m_name = name; }
    // Invalid for an address the parser rejected; urlText still holds its text.
    QUrl url() const { return m_url; }
    void setUrl(const QUrl &url)
    {
        m_url = url;
        m_rejectedText.clear();
    }
    void setUrlText(const QString &urlText);

    bool operator==(const HyperLink &other) const;
    bool operator!=(const HyperLink &other) const { return !(*this == other); }
    bool operator<(const HyperLink &other) const { return m_name < other.m_name; }

private:
    QString m_name;
    QUrl m_url;
    // The address as given when QUrl rejected it, else empty. QUrl compares the parts it kept of
    // two rejected texts, not the texts, so equality looks at this too.
    QString m_rejectedText;
};

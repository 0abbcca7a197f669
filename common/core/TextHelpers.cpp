#include "common/core/TextHelpers.h"

#include "common/core/UrlOpener.h"
#include "common/core/Version.h"

#include <QSysInfo>
#include <QTextBoundaryFinder>
#include <QUrl>
#include <QUrlQuery>

QString leftWholeCharacters(const QString &text, int maxLength)
{
    if (text.length() <= maxLength)
        return text;
    if (maxLength <= 0)
        return QString();
    QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, text);
    characters.setPosition(maxLength);
    const int cut = characters.isAtBoundary() ? maxLength : characters.toPreviousBoundary();
    return text.left(qMax(0, cut));
}

QString elideText(const QString &text, int maxLength)
{
    if (text.length() <= maxLength)
        return text;
    if (maxLength <= 1)
        return leftWholeCharacters(text, maxLength);
    return leftWholeCharacters(text, maxLength - 1) + QChar(0x2026);
}

namespace {

QStringList eachText(const QStringList &texts, QString (*convert)(const QString &))
{
    QStringList converted;
    converted.reserve(texts.size());
    for (const QString &text : texts)
        converted.append(convert(text));
    return converted;
}

bool containsIgnoringCase(const QStringList &list, const QString &text)
{
    return list.contains(text, Qt::CaseInsensitive);
}

} // namespace

QString toPercentEncoding(const QString &text)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(text));
}

QString fromPercentEncoding(const QString &text)
{
    return QUrl::fromPercentEncoding(text.toUtf8());
}

QStringList toPercentEncodingList(const QStringList &texts)
{
    return eachText(texts, &toPercentEncoding);
}

QStringList fromPercentEncodingList(const QStringList &texts)
{
    return eachText(texts, &fromPercentEncoding);
}

QString webSiteUrl()
{
    return QStringLiteral("http://www.brenmoor.example");
}

QString helpUrl()
{
    return webSiteUrl()
        + QStringLiteral("/help/v%1%2/index.html").arg(versionMajor).arg(versionMinor);
}

QString tipsUrl()
{
    return webSiteUrl()
        + QStringLiteral("/help/v%1%2/tips.html").arg(versionMajor).arg(versionMinor);
}

QString quickStartUrl()
{
    return helpUrl();
}

// The version joins any query the address has, before any fragment.
bool openUrlWithVersion(const QString &url)
{
    QUrl address(url, QUrl::TolerantMode);
    QUrlQuery query(address);
    query.addQueryItem(
        QStringLiteral("v"),
        QStringLiteral("%1_%2_%3").arg(versionMajor).arg(versionMinor).arg(versionPatch));
    address.setQuery(query);
    return openUrl(address);
}

QStringList imageFileExtensions()
{
    return {QStringLiteral("png"), QStringLiteral("jpg"), QStringLiteral("jpeg"),
            QStringLiteral("bmp")};
}

QStringList openableFileExtensions()
{
    return {QStringLiteral("tv"), QStringLiteral("tvb"), QStringLiteral("csv")};
}

bool isImageFile(const QString &extension)
{
    return containsIgnoringCase(imageFileExtensions(), extension);
}

bool isOpenableFile(const QString &extension)
{
    return containsIgnoringCase(openableFileExtensions(), extension);
}

QString nativeShortcutText(const QString &shortcut)
{
    QString text = shortcut;
    text.replace(QStringLiteral("Ctrl"), QString(QChar(0x2318)));
    text.replace(QStringLiteral("Alt"), QString(QChar(0x2325)));
    text.remove(QLatin1Char('+'));
    return text;
}

QString osVersionText()
{
    return QStringLiteral("%1 %2").arg(QSysInfo::productType(), QSysInfo::productVersion());
}

QString userName()
{
    const QString user = qEnvironmentVariable("USER");
    return user.isEmpty() ? qEnvironmentVariable("USERNAME") : user;
}

bool hasNonAscii(const QString &text)
{
    for (const QChar character : text) {
        if (character.unicode() > 127)
            return true;
    }
    return false;
}

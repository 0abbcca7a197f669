#include "common/core/TextHelpers.h"

#include "common/core/UrlOpener.h"
#include "common/core/Version.h"

#include <QBuffer>
#include <QImageReader>
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

QString imageToHex(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return QString::fromLatin1(bytes.toHex());
}

QImage readLimitedPicture(QImageReader &reader, const QSize &fitInto, qint64 *areaBudget)
{
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > maximumPictureSide || size.height() > maximumPictureSide)
        return QImage();
    // A picture of 16 bits a channel takes twice the bytes of others while it is decoded.
    const bool wide = QImage::toPixelFormat(reader.imageFormat()).bitsPerPixel() > 32;
    const qint64 area = qint64(size.width()) * size.height() * (wide ? 2 : 1);
    if (area > maximumPictureArea || (areaBudget && area > *areaBudget))
        return QImage();
    const bool fit
        = fitInto.isValid() && (size.width() > fitInto.width() || size.height() > fitInto.height());
    const QSize fitted = size.scaled(fitInto, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    // The decoders scale wide pictures at their full precision, which takes more than
    // decoding them whole and narrowing them in place before scaling.
    if (fit && !wide)
        reader.setScaledSize(fitted);
    QImage image;
    if (!reader.read(&image))
        return QImage();
    // A format may declare one size and then deliver another.
    if (image.width() > maximumPictureSide || image.height() > maximumPictureSide
        || qint64(image.width()) * image.height() > maximumPictureArea)
        return QImage();
    if (fit && wide) {
        image.convertTo(QImage::Format_ARGB32_Premultiplied);
        image = image.scaled(fitted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    if (areaBudget)
        *areaBudget -= area;
    return image;
}

namespace {

// The handler of the raster format whose signature the bytes start with; empty for none.
QByteArray rasterFormat(const QByteArray &start)
{
    if (start.startsWith("\x89PNG\r\n\x1a\n"))
        return QByteArrayLiteral("png");
    if (start.startsWith("\xff\xd8\xff"))
        return QByteArrayLiteral("jpeg");
    if (start.startsWith("GIF87a") || start.startsWith("GIF89a"))
        return QByteArrayLiteral("gif");
    if (start.startsWith("BM"))
        return QByteArrayLiteral("bmp");
    return QByteArray();
}

} // namespace

QImage readRasterPicture(QIODevice *device, const QSize &fitInto, qint64 *areaBudget)
{
    const QByteArray format = rasterFormat(device->peek(8));
    if (format.isEmpty())
        return QImage();
    QImageReader reader(device, format);
    // Only that format's handler: no other is asked whether it knows the bytes.
    reader.setAutoDetectImageFormat(false);
    return readLimitedPicture(reader, fitInto, areaBudget);
}

QImage imageFromHex(const QString &text, const QSize &fitInto, qint64 *areaBudget)
{
    if (text.isEmpty())
        return QImage();
    QByteArray bytes = QByteArray::fromHex(text.toLatin1());
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return readRasterPicture(&buffer, fitInto, areaBudget);
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

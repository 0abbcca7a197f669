#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

// Shortens a label to at most maxLength characters (UTF-16 units); a longer text keeps its
// first maxLength - 1 characters and ends in "…" so the reader sees it was cut.
QString elideText(const QString &text, int maxLength);

// Texts inside plan files travel as percent-encoded UTF-8: every byte but letters, digits,
// "-", ".", "_" and "~" becomes %XX, so a plan file stays plain ASCII.
QString toPercentEncoding(const QString &text);
QString fromPercentEncoding(const QString &text);
QStringList toPercentEncodingList(const QStringList &texts);
QStringList fromPercentEncodingList(const QStringList &texts);

// The maker's web site and its help pages.
QString webSiteUrl();
QString helpUrl();
QString tipsUrl();
QString quickStartUrl();
// Opens the page with the program's version as query, e.g. "...?v=2_4_1".
bool openUrlWithVersion(const QString &url);

QStringList imageFileExtensions();
QStringList openableFileExtensions();
bool isImageFile(const QString &extension);
bool isOpenableFile(const QString &extension);

// Pictures declaring a larger side are refused before decoding, so that a tiny file cannot
// make the program allocate gigabytes.
constexpr int maxDecodedImageSide = 16384;

// Pictures inside plan files: PNG bytes as lower-case hexadecimal text.
QString imageToHex(const QImage &image);
QImage imageFromHex(const QString &text, const char *format);

// "Ctrl+Shift+N" as the platform's key symbols show it.
QString nativeShortcutText(const QString &shortcut);
// The operating system's name and version, as sent with the update query.
QString osVersionText();
QString userName();
bool hasNonAscii(const QString &text);

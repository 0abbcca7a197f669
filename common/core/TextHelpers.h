#pragma once

#include <QString>
#include <QStringList>

// The longest start of the text that is at most maxLength UTF-16 units long and does not end
// inside a character: a cut through a surrogate pair would leave half a character, which a
// plan file stores as "?", and one between a letter and its accent would change the letter.
QString leftWholeCharacters(const QString &text, int maxLength);
// Shortens a label to at most maxLength UTF-16 units; a longer text keeps as many whole
// characters as fit before a closing "…", so the reader sees it was cut.
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

// "Ctrl+Shift+N" as the platform's key symbols show it.
QString nativeShortcutText(const QString &shortcut);
// The operating system's name and version, as sent with the update query.
QString osVersionText();
QString userName();
bool hasNonAscii(const QString &text);

#pragma once

#include <QByteArray>
#include <QSizeF>
#include <QString>
#include <QStringList>

// What an export proposes and how large it draws, from plain values: the file name offered
// beside the plan, and the scale of an image export. No widgets, so that tests check them
// without a window.

// Exported images are at most this many pixels a side.
constexpr int maximumExportSide = 10000;

// The plan's path with its suffix, of any case, replaced by the extension in lower case, or
// the extension appended when it has none.
QString exportFileProposal(const QString &planPath, const QString &extension);

// The scale at which a scene of the size becomes an image no side of which exceeds
// maximumExportSide; 1 for a scene that fits.
double exportImageScale(const QSizeF &sceneSize);

// The family as a reader of an SVG drawing finds it: without the foundry qualifier that the
// system's font list adds to a family several foundries make ("Nimbus Roman [urw]" is
// "Nimbus Roman"), read as Qt itself reads such a name when it picks the font to draw with.
QString svgFontFamily(const QString &family);

// The SVG drawing with the value of every font-family attribute escaped for XML and naming its
// family as svgFontFamily does. Qt 5's SVG generator writes the family as it is, so that a
// family holding "&", "<" or a quote would end the file's XML there, and one holding the
// generator's own text could add attributes and elements of its own; drawn text it escapes
// itself. A value that is one of the families the drawing was made with is taken whole,
// whatever it holds; any other value ends where the generator's next attribute, font-size,
// begins.
QByteArray escapeSvgFontFamilies(const QByteArray &svg, const QStringList &families);

// The drawing with every character XML 1.0 forbids (the control characters other than tab, line
// feed and carriage return, and U+FFFE and U+FFFF) replaced by U+FFFD, wherever it stands: Qt 5's
// SVG generator writes a plan's text as it is, and a single such character (an escape sequence
// pasted from a terminal, say) makes the whole file unreadable as XML. A drawing without one is
// handed back as it is, without a copy.
QByteArray replaceCharactersXmlForbids(const QByteArray &svg);

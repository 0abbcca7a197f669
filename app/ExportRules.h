#pragma once

#include <QByteArray>
#include <QSizeF>
#include <QString>

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

// The SVG drawing with the value of every font-family attribute escaped for XML. Qt 5's SVG
// generator writes the family as it is, so that a family holding "&", "<" or a quote (a name of
// the plan file's fonts, or a foundry-qualified system font such as "Luxi Sans [B&H]") would end
// the file's XML there; drawn text it escapes itself. Each value ends where the generator's next
// attribute, font-size, begins.
QByteArray escapeSvgFontFamilies(const QByteArray &svg);

#pragma once

#include <QString>

// Shortens a label to at most maxLength characters (UTF-16 units); a longer text keeps its
// first maxLength - 1 characters and ends in "…" so the reader sees it was cut.
QString elideText(const QString &text, int maxLength);

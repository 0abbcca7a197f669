#pragma once

#include <QString>

// The {x_property}-style variables that titles and footers of the Cards and Charts panes may
// hold; they are replaced by current values whenever a title or footer is drawn.

// Far above any title or footer a user types: expansion lengthens no text past it.
constexpr int maximumExpandedTitleLength = 10000;

// The text with every variable replaced, in a fixed order; a text without braces comes back
// untouched. A step that would lengthen the text past maximumExpandedTitleLength is not
// taken, and neither are the steps after it: their variables stay as written.
QString expandVariables(const QString &text);

// The help text listing the variables, for the title and footer editors.
QString variablesHelpText(bool cards, bool charts);

// One line of the help text, optionally followed by the variable's current value.
QString variableHelpLine(const QString &description, const QString &variable, bool showValue);

#pragma once

#include "model/CardsAppearance.h"

#include <QString>

// The text under which the preferences keep one named Cards appearance: one line of XML of
// document type "stored_appearance" whose root "appearance" holds the appearance's elements
// exactly as a plan file writes them, read as the current plan-file format.
QString storedAppearanceText(const CardsAppearance &appearance);

// The appearance of a stored text; the default appearance when the text is empty or is no
// well-formed XML.
CardsAppearance storedAppearanceFromText(const QString &text);

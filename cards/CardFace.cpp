#include "cards/CardFace.h"

#include "model/Document.h"

void CardFace::read(const Document &doc)
{
    markers.clear();
    textRows.clear();
    for (int property = 1; property < doc.propertyCount(); ++property) {
        const int visibility = doc.propertyVisibility(property);
        const Row row {property, visibility, doc.propertyName(property)};
        if (visibility >= PropertyVisibility::Square && visibility <= PropertyVisibility::Diamond)
            markers.append(row);
        else if (visibility == PropertyVisibility::Text
                 || visibility == PropertyVisibility::BoldText
                 || visibility == PropertyVisibility::ItalicText)
            textRows.append(row);
    }
    width = doc.scaledCardWidth();
    highlightProperty = doc.highlightColorProperty();
    showNotes = doc.showNotes();
    showLinks = doc.showHyperLinks();
    showLabels = doc.showLabels();
    showImages = doc.showImages();
    imagePosition = doc.imagePosition();
    imageSize = doc.imageSize();
    dropShadow = doc.showDropShadow() != 0;
    shape = doc.cardsShape();
    gradient = doc.cardsGradient();
    font = doc.cardFont();
    fontScaling = doc.cardFontScaling();
    fontSize = doc.cardFontSize();
    selectionColor = doc.cardsSelectionColor();
}

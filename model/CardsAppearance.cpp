#include "model/CardsAppearance.h"

void CardsAppearance::setDefaults()
{
    title.clear();
    titleSize = 120;
    footer.clear();
    footerSize = 90;
    aspectRatio = 1.3;
    cardFont = QFont(QStringLiteral("Helvetica Neue"));
    fontScaling = 2;
    headersShowName = false;
    headerType = 0;
    headerTransparency = 0;
    rowHeaderTextOrientation = 1;
    cardFontSize = 70;
    headerFontScaling = 2;
    headerFontSize = 30;
    selectionColor = QColor(0, 0, 255);
    cellLayout = 0;
    headerColor = QColor(235, 235, 235);
    headerTextColor = QColor(0, 0, 0);
    lineColor = QColor(0, 0, 0);
    backgroundColor = QColor(255, 255, 255);
    headerSize = 150;
    gradient = 15;
    showLegend = 0;
    dropShadow = 0;
    shape = 0;
}

void CardsAppearance::setDarkDefaults()
{
    setDefaults();
    lineColor = QColor(192, 192, 192);
    backgroundColor = QColor(82, 82, 82);
    headerTextColor = QColor(192, 192, 192);
    headerColor = QColor(56, 56, 56);
}

bool CardsAppearance::operator==(const CardsAppearance &other) const
{
    return title == other.title && titleSize == other.titleSize && footer == other.footer
        && footerSize == other.footerSize && aspectRatio == other.aspectRatio
        && cardFont.family() == other.cardFont.family() && fontScaling == other.fontScaling
        && headersShowName == other.headersShowName && headerType == other.headerType
        && headerTransparency == other.headerTransparency
        && rowHeaderTextOrientation == other.rowHeaderTextOrientation
        && cardFontSize == other.cardFontSize && headerFontScaling == other.headerFontScaling
        && headerFontSize == other.headerFontSize && selectionColor == other.selectionColor
        && cellLayout == other.cellLayout && headerColor == other.headerColor
        && headerTextColor == other.headerTextColor && lineColor == other.lineColor
        && backgroundColor == other.backgroundColor && headerSize == other.headerSize
        && gradient == other.gradient && showLegend == other.showLegend
        && dropShadow == other.dropShadow && shape == other.shape;
}

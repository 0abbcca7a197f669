#include "model/ChartsAppearance.h"

void ChartsAppearance::setDefaults()
{
    title.clear();
    titleSize = 120;
    footer.clear();
    footerSize = 90;
    font = QFont(QStringLiteral("Helvetica Neue"));
    textColor = QColor(0, 0, 0);
    lineColor = QColor(160, 160, 164);
    backgroundColor = QColor(255, 255, 255);
    gradient = 15;
    showLegend = 0;
    showAxesText = true;
    showValueText = true;
    showByText = true;
}

bool ChartsAppearance::operator==(const ChartsAppearance &other) const
{
    return title == other.title && titleSize == other.titleSize && footer == other.footer
        && footerSize == other.footerSize && font.family() == other.font.family()
        && textColor == other.textColor && lineColor == other.lineColor
        && backgroundColor == other.backgroundColor && gradient == other.gradient
        && showLegend == other.showLegend && showAxesText == other.showAxesText
        && showValueText == other.showValueText && showByText == other.showByText;
}

#pragma once

#include <QColor>
#include <QFont>
#include <QString>

// How the Cards pane presents the plan: title, footer, fonts, sizes, colours and card shape.
// Held by the Document, optionally by a view, and by the stored appearances of the preferences.
// The integer codes get their meaning from the Cards pane; this record only keeps them.
struct CardsAppearance
{
    CardsAppearance() { setDefaults(); }

    void setDefaults();
    void setDarkDefaults();

    // Fonts compare by family only: size and style are chosen by the scaling settings.
    bool operator==(const CardsAppearance &other) const;
    bool operator!=(const CardsAppearance &other) const { return !(*this == other); }

    QString title;
    int titleSize = 0;
    QString footer;
    int footerSize = 0;
    double aspectRatio = 0.0;
    QFont cardFont;
    int fontScaling = 0;
    bool headersShowName = false;
    int headerType = 0;
    int headerTransparency = 0;
    int rowHeaderTextOrientation = 0;
    int cardFontSize = 0;
    int headerFontScaling = 0;
    int headerFontSize = 0;
    QColor selectionColor;
    int cellLayout = 0;
    QColor headerColor;
    QColor headerTextColor;
    QColor lineColor;
    QColor backgroundColor;
    int headerSize = 0;
    int gradient = 0;
    int showLegend = 0;
    int dropShadow = 0;
    int shape = 0;
};

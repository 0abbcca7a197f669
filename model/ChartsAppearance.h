#pragma once

#include <QColor>
#include <QFont>
#include <QString>

// How the Charts pane presents the plan: title, footer, font, colours and text switches.
struct ChartsAppearance
{
    ChartsAppearance() { setDefaults(); }

    void setDefaults();

    // The font compares by family only.
    bool operator==(const ChartsAppearance &other) const;
    bool operator!=(const ChartsAppearance &other) const { return !(*this == other); }

    QString title;
    int titleSize = 0;
    QString footer;
    int footerSize = 0;
    QFont font;
    QColor textColor;
    QColor lineColor;
    QColor backgroundColor;
    int gradient = 0;
    int showLegend = 0;
    bool showAxesText = true;
    bool showValueText = true;
    bool showByText = true;
};

#pragma once

#include "leftpane/LeftPaneWidget.h"
#include "model/Events.h"

#include <QColor>

class ChartsScene;
class ColorButton;

namespace Ui {
class ChartsAppearanceWidget;
}

// The "Appearance" section of the Charts left pane: a control for every field of the plan's
// charts appearance and "Default". Each control writes its field as one undoable edit; the
// section reloads only when the plan is replaced or the appearance reports a change.
//
// Listens to a whole plan and the Charts appearance.
class ChartsAppearanceWidget : public LeftPaneWidget
{
    Q_OBJECT

public:
    static constexpr EventMask listensTo
        = EventFlag::AllChanged | EventFlag::ChartsAppearanceChanged;

    // The scene follows the plan by itself; it is taken for the pane's sake only.
    ChartsAppearanceWidget(QWidget *parent, ChartsScene *scene);
    ~ChartsAppearanceWidget() override;

public slots:
    void giveFocus() override;
    void onChangedDoc(const Events &events);
    void onFontFamilyChanged();
    void onTitleChanged(const QString &text);
    void onTitleSizeChanged(int size);
    void onFooterChanged(const QString &text);
    void onFooterSizeChanged(int size);
    void onTextColorChanged(const QColor &c);
    void onLineColorChanged(const QColor &c);
    void onBackgroundColorChanged(const QColor &c);
    void onGradientChanged(int value);
    void onShowAxesText();
    void onShowValueText();
    void onShowByText();
    void onShowLegendChanged(int show);
    void onDefaultClicked();

private:
    void reload(bool wholePlan);
    // A title or footer still waiting for its typing pause is written before another
    // control's edit, which would otherwise reload the field and lose the typing.
    void flushTyping();

    Ui::ChartsAppearanceWidget *m_ui;
    ColorButton *m_textColorButton;
    ColorButton *m_lineColorButton;
    ColorButton *m_backgroundColorButton;
};

#pragma once

#include "leftpane/LeftPaneWidget.h"
#include "model/Events.h"

#include <QString>

namespace Ui {
class CardsAppearanceWidget;
}
class ColorButton;
class QFont;

// The "Appearance" section of the Cards left pane: every field of the plan's Cards appearance
// (fonts and their scaling, card shape, aspect ratio and cell layout, title and footer, headers,
// colours, gradient, shadows, legend), each control one undoable edit of the plan. Above them,
// appearances stored by name in the preferences, for use in every plan: '+' stores the current
// one, '-' deletes the chosen one, and choosing a name applies it. The combo shows the name
// whose appearance equals the plan's, or its placeholder.
//
// Listens to a whole plan and a view with its own appearance (the fields are filled again), to
// a Cards appearance changed elsewhere (the fields show the plan again; its own edit they show
// already) and to the style.
class CardsAppearanceWidget : public LeftPaneWidget
{
    Q_OBJECT

public:
    static constexpr EventMask listensTo = EventFlag::AllChanged | EventFlag::ViewChanged
        | EventFlag::CardsAppearanceChanged | EventFlag::UiStyleChanged;

    explicit CardsAppearanceWidget(QWidget *parent = nullptr);
    ~CardsAppearanceWidget() override;

    // Sets every field control from the plan without writing anything back; typing in the
    // title or footer that still waits for its pause is dropped.
    void updateFromDocument();
    void selectMatchingStoredAppearance();

public slots:
    void giveFocus() override;
    void onChangedDoc(const Events &events);
    void onUpdateStoredAppearance();

private slots:
    void onTitleChanged(const QString &text);
    void onTitleSizeChanged(int size);
    void onFooterChanged(const QString &text);
    void onFooterSizeChanged(int size);
    void onCardsShapeChanged(int index);
    void onAspectRatioChanged(double ratio);
    void onCellLayoutChanged(int index);
    void onFontFamilyChanged(const QFont &font);
    void onCardFontScaledChanged(int index);
    void onFontSizeChanged(int size);
    void onHeaderShowNameChanged(int index);
    void onHeaderSizeChanged(int size);
    void onHeaderFontScaledChanged(int index);
    void onHeaderTypeChanged(int index);
    void onHeaderRowTextOrientationChanged(int index);
    void onHeaderTransparencyChanged(int transparency);
    void onHeaderFontSizeChanged(int size);
    void onSelectionColorChanged(const QColor &color);
    void onHeaderColorChanged(const QColor &color);
    void onHeaderTextColorChanged(const QColor &color);
    void onLineColorChanged(const QColor &color);
    void onBackgroundColorChanged(const QColor &color);
    void onGradientChanged(int gradient);
    void onShowDropShadowChanged(int index);
    void onShowLegendChanged(int index);
    void onStoredAppearanceSelected();
    void onAddStoredAppearance();
    void onDeleteStoredAppreance();

private:
    ColorButton *addColorButton(const QString &name, int row, const QString &toolTip);
    void connectControls();
    void showDependentSpinBoxes();
    void updateDeleteButton();
    void setIcons() override;

    Ui::CardsAppearanceWidget *m_ui;
    ColorButton *m_selectionColorButton;
    ColorButton *m_headerColorButton;
    ColorButton *m_headerTextColorButton;
    ColorButton *m_lineColorButton;
    ColorButton *m_backgroundColorButton;
    // The family the font combo showed after the last load. Where the plan's font is not
    // installed the combo shows a stand-in, which must never find its way into the plan.
    QString m_shownFontFamily;
};

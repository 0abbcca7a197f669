#include "leftpane/CardsAppearanceWidget.h"

#include "common/app/Accessors.h"
#include "common/app/TitleVariables.h"
#include "common/core/SignalBlocker.h"
#include "common/widgets/ColorButton.h"
#include "common/widgets/DelayedEditLineEdit.h"
#include "common/widgets/DialogHelpers.h"
#include "common/widgets/MouseWheelEventFilter.h"
#include "common/widgets/Settings.h"
#include "leftpane/StoredAppearanceDialog.h"
#include "model/Document.h"
#include "ui_CardsAppearanceWidget.h"

#include <algorithm>

namespace {

// The scaling combos list "Intelligent", "Scaled", "Fixed": the reverse of the stored codes.
const int fixedScalingIndex = 2;
const int floatingHeaderIndex = 1;

int scalingToIndex(int mode)
{
    return mode >= 0 && mode <= 2 ? 2 - mode : 0;
}

int indexToScaling(int index)
{
    return index >= 0 && index <= 2 ? 2 - index : 2;
}

} // namespace

CardsAppearanceWidget::CardsAppearanceWidget(QWidget *parent)
    : LeftPaneWidget(parent), m_ui(new Ui::CardsAppearanceWidget)
{
    m_ui->setupUi(this);
    m_selectionColorButton
        = addColorButton(QStringLiteral("m_selectionColorButton"), 15, tr("Set selection color."));
    m_headerColorButton
        = addColorButton(QStringLiteral("m_headerColorButton"), 16, tr("Change the header color."));
    m_headerTextColorButton = addColorButton(QStringLiteral("m_headerTextColorButton"), 17,
                                             tr("Change the header text color."));
    m_lineColorButton
        = addColorButton(QStringLiteral("m_lineColorButton"), 18, tr("Change the line color."));
    m_backgroundColorButton = addColorButton(QStringLiteral("m_backgroundColorButton"), 19,
                                             tr("Change the background color."));

    setSmallButtonStyle(m_ui->m_addStoredAppearanceButton);
    setSmallButtonStyle(m_ui->m_deleteStoredAppearanceButton);
    m_ui->m_cellLayoutComboBox->setIconSize(QSize(12, 12));
    // Labels, combos, spin boxes and edits; not the tool buttons and colour swatches.
    const QList<QWidget *> children
        = findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly);
    for (QWidget *child : children) {
        if (qobject_cast<QLabel *>(child) && !qobject_cast<ColorButton *>(child))
            child->setAttribute(Qt::WA_MacSmallSize);
        else if (qobject_cast<QComboBox *>(child) || qobject_cast<QAbstractSpinBox *>(child)
                 || qobject_cast<QLineEdit *>(child))
            child->setAttribute(Qt::WA_MacSmallSize);
    }
    auto *wheelFilter = new MouseWheelEventFilter(this);
    for (QWidget *control : {static_cast<QWidget *>(m_ui->m_aspectRatioSpinBox),
                             static_cast<QWidget *>(m_ui->m_cellLayoutComboBox),
                             static_cast<QWidget *>(m_ui->m_fontFamilyComboBox),
                             static_cast<QWidget *>(m_ui->m_cardFontScaledComboBox),
                             static_cast<QWidget *>(m_ui->m_headerFontScaledComboBox),
                             static_cast<QWidget *>(m_ui->m_headerNameComboBox),
                             static_cast<QWidget *>(m_ui->m_headerTypeComboBox),
                             static_cast<QWidget *>(m_ui->m_headerRowTextOrientationCombo),
                             static_cast<QWidget *>(m_ui->m_showLegendComboBox),
                             static_cast<QWidget *>(m_ui->m_storedAppearanceComboBox)}) {
        control->setFocusPolicy(Qt::StrongFocus);
        control->installEventFilter(wheelFilter);
    }
    m_ui->m_formLayout->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    // Each size box sits 3 pixels lower than the combo beside it.
    const struct
    {
        QWidget *spinBox;
        QHBoxLayout *row;
    } lowered[] = {{m_ui->m_cardFontSizeSpinBox, m_ui->m_cardFontLayout},
                   {m_ui->m_headerFontSizeSpinBox, m_ui->m_headerFontLayout},
                   {m_ui->m_headerTransparencySpinBox, m_ui->m_headerTypeLayout}};
    for (const auto &entry : lowered) {
        entry.row->removeWidget(entry.spinBox);
        wrapWithSpacers(entry.spinBox, entry.row, 3, 0, -1);
    }
    setIcons();
    onUpdateStoredAppearance();
    connectControls();
    const QString help = variablesHelpText(true, false);
    m_ui->m_titleEdit->setToolTip(m_ui->m_titleEdit->toolTip() + help);
    m_ui->m_footerEdit->setToolTip(m_ui->m_footerEdit->toolTip() + help);
    // The fields keep the form's values until the first whole-plan change.
}

CardsAppearanceWidget::~CardsAppearanceWidget()
{
    delete m_ui;
}

ColorButton *CardsAppearanceWidget::addColorButton(const QString &name, int row,
                                                   const QString &toolTip)
{
    auto *button = new ColorButton(this, QColor());
    button->setObjectName(name);
    button->setToolTip(toolTip);
    m_ui->m_formLayout->setWidget(row, QFormLayout::FieldRole, button);
    return button;
}

void CardsAppearanceWidget::connectControls()
{
    Ui::CardsAppearanceWidget &ui = *m_ui;
    const auto index = QOverload<int>::of(&QComboBox::currentIndexChanged);
    const auto value = QOverload<int>::of(&QSpinBox::valueChanged);
    using W = CardsAppearanceWidget;
    connect(ui.m_titleEdit, &DelayedEditLineEdit::delayedEditTextChanged, this, &W::onTitleChanged);
    connect(ui.m_titleSizeSpinBox, value, this, &W::onTitleSizeChanged);
    connect(ui.m_footerEdit, &DelayedEditLineEdit::delayedEditTextChanged, this,
            &W::onFooterChanged);
    connect(ui.m_footerSizeSpinBox, value, this, &W::onFooterSizeChanged);
    connect(ui.m_cardShapeComboBox, index, this, &W::onCardsShapeChanged);
    connect(ui.m_aspectRatioSpinBox, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this,
            &W::onAspectRatioChanged);
    connect(ui.m_cellLayoutComboBox, index, this, &W::onCellLayoutChanged);
    connect(ui.m_fontFamilyComboBox, &QFontComboBox::currentFontChanged, this,
            &W::onFontFamilyChanged);
    connect(ui.m_cardFontScaledComboBox, index, this, &W::onCardFontScaledChanged);
    connect(ui.m_cardFontSizeSpinBox, value, this, &W::onFontSizeChanged);
    connect(ui.m_headerNameComboBox, index, this, &W::onHeaderShowNameChanged);
    connect(ui.m_headerSizeSpinBox, value, this, &W::onHeaderSizeChanged);
    connect(ui.m_headerFontScaledComboBox, index, this, &W::onHeaderFontScaledChanged);
    connect(ui.m_headerTypeComboBox, index, this, &W::onHeaderTypeChanged);
    connect(ui.m_headerRowTextOrientationCombo, index, this, &W::onHeaderRowTextOrientationChanged);
    connect(ui.m_headerTransparencySpinBox, value, this, &W::onHeaderTransparencyChanged);
    connect(ui.m_headerFontSizeSpinBox, value, this, &W::onHeaderFontSizeChanged);
    connect(m_selectionColorButton, &ColorButton::colorChanged, this, &W::onSelectionColorChanged);
    connect(m_headerColorButton, &ColorButton::colorChanged, this, &W::onHeaderColorChanged);
    connect(m_headerTextColorButton, &ColorButton::colorChanged, this,
            &W::onHeaderTextColorChanged);
    connect(m_lineColorButton, &ColorButton::colorChanged, this, &W::onLineColorChanged);
    connect(m_backgroundColorButton, &ColorButton::colorChanged, this,
            &W::onBackgroundColorChanged);
    connect(ui.m_gradientSpinBox, value, this, &W::onGradientChanged);
    connect(ui.m_showDropShadowComboBox, index, this, &W::onShowDropShadowChanged);
    connect(ui.m_showLegendComboBox, index, this, &W::onShowLegendChanged);
    connect(ui.m_storedAppearanceComboBox, index, this, &W::onStoredAppearanceSelected);
    connect(ui.m_addStoredAppearanceButton, &QToolButton::clicked, this, &W::onAddStoredAppearance);
    connect(ui.m_deleteStoredAppearanceButton, &QToolButton::clicked, this,
            &W::onDeleteStoredAppreance);
}

void CardsAppearanceWidget::giveFocus()
{
    if (m_ui->m_storedAppearanceComboBox->isEnabled())
        m_ui->m_storedAppearanceComboBox->setFocus(Qt::OtherFocusReason);
    else
        m_ui->m_addStoredAppearanceButton->setFocus(Qt::OtherFocusReason);
}

// The field slots: each is one undoable edit of the plan with the control's value as it is.

void CardsAppearanceWidget::onTitleChanged(const QString &text)
{
    doc()->setCardsTitle(text, true, this);
}

void CardsAppearanceWidget::onTitleSizeChanged(int size)
{
    doc()->setCardsTitleSize(size, true, this);
}

void CardsAppearanceWidget::onFooterChanged(const QString &text)
{
    doc()->setCardsFooter(text, true, this);
}

void CardsAppearanceWidget::onFooterSizeChanged(int size)
{
    doc()->setCardsFooterSize(size, true, this);
}

void CardsAppearanceWidget::onCardsShapeChanged(int index)
{
    doc()->setCardsShape(index, true, this);
}

void CardsAppearanceWidget::onAspectRatioChanged(double ratio)
{
    doc()->setCardAspectRatio(ratio, true, this);
}

void CardsAppearanceWidget::onCellLayoutChanged(int index)
{
    doc()->setCardsCellLayout(index, true, this);
}

void CardsAppearanceWidget::onFontFamilyChanged(const QFont &font)
{
    // Only the user's choice of another family: the combo may re-announce the stand-in it shows
    // for a font that is not installed.
    if (font.family() == m_shownFontFamily)
        return;
    m_shownFontFamily = font.family();
    QFont cardFont = doc()->cardFont();
    cardFont.setFamily(font.family());
    doc()->setCardFont(cardFont, true, this);
}

void CardsAppearanceWidget::onCardFontScaledChanged(int index)
{
    doc()->setCardFontScaling(indexToScaling(index), true, this);
    showDependentSpinBoxes();
}

void CardsAppearanceWidget::onFontSizeChanged(int size)
{
    doc()->setCardFontSize(size, true, this);
}

void CardsAppearanceWidget::onHeaderShowNameChanged(int index)
{
    doc()->setCardsHeadersShowName(index != 0, true, this);
}

void CardsAppearanceWidget::onHeaderSizeChanged(int size)
{
    doc()->setCardsHeaderSize(size, true, this);
}

void CardsAppearanceWidget::onHeaderFontScaledChanged(int index)
{
    doc()->setHeaderFontScaling(indexToScaling(index), true, this);
    showDependentSpinBoxes();
}

void CardsAppearanceWidget::onHeaderTypeChanged(int index)
{
    doc()->setCardsHeaderType(index, true, this);
    showDependentSpinBoxes();
}

void CardsAppearanceWidget::onHeaderRowTextOrientationChanged(int index)
{
    doc()->setCardsRowHeaderTextOrientation(index, true, this);
}

void CardsAppearanceWidget::onHeaderTransparencyChanged(int transparency)
{
    doc()->setCardsHeaderTransparency(transparency, true, this);
}

void CardsAppearanceWidget::onHeaderFontSizeChanged(int size)
{
    doc()->setHeaderFontSize(size, true, this);
}

void CardsAppearanceWidget::onSelectionColorChanged(const QColor &color)
{
    doc()->setCardsSelectionColor(color, true, this);
}

void CardsAppearanceWidget::onHeaderColorChanged(const QColor &color)
{
    doc()->setHeaderColor(color, true, this);
}

void CardsAppearanceWidget::onHeaderTextColorChanged(const QColor &color)
{
    doc()->setHeaderTextColor(color, true, this);
}

void CardsAppearanceWidget::onLineColorChanged(const QColor &color)
{
    doc()->setCardsLineColor(color, true, this);
}

void CardsAppearanceWidget::onBackgroundColorChanged(const QColor &color)
{
    doc()->setCardBackgroundColor(color, true, this);
}

void CardsAppearanceWidget::onGradientChanged(int gradient)
{
    doc()->setCardsGradient(gradient, true, this);
}

void CardsAppearanceWidget::onShowDropShadowChanged(int index)
{
    doc()->setShowDropShadow(index, true, this);
}

void CardsAppearanceWidget::onShowLegendChanged(int index)
{
    doc()->setCardsShowLegend(index, true, this);
}

// Stored appearances

void CardsAppearanceWidget::onUpdateStoredAppearance()
{
    QComboBox *combo = m_ui->m_storedAppearanceComboBox;
    {
        SignalBlocker blocker;
        blocker.add(combo);
        combo->clear();
        combo->addItem(tr("<click '+' to store the current appearance>"));
        combo->addItems(settings()->cardsAppearanceNames());
    }
    selectMatchingStoredAppearance();
    combo->setEnabled(combo->count() >= 2);
    updateDeleteButton();
}

void CardsAppearanceWidget::selectMatchingStoredAppearance()
{
    QComboBox *combo = m_ui->m_storedAppearanceComboBox;
    {
        SignalBlocker blocker;
        blocker.add(combo);
        const QString name = settings()->findCardsAppearanceName(doc()->cardsAppearance());
        if (name.isEmpty()) {
            combo->setCurrentIndex(0);
        } else {
            // Names differing only in letter case are different appearances.
            const int index
                = std::max(0, combo->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive));
            if (index != combo->currentIndex())
                combo->setCurrentIndex(index);
        }
    }
    updateDeleteButton();
}

void CardsAppearanceWidget::onStoredAppearanceSelected()
{
    QComboBox *combo = m_ui->m_storedAppearanceComboBox;
    if (combo->currentIndex() > 0) {
        doc()->setCardsAppearance(settings()->cardsAppearance(combo->currentText()), true, this);
        // The plan's change of the appearance only re-matches the combo; the fields are the
        // section's to reload.
        updateFromDocument();
    }
    updateDeleteButton();
}

void CardsAppearanceWidget::onAddStoredAppearance()
{
    StoredAppearanceDialog dialog(this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    Settings *store = settings();
    const CardsAppearance current = doc()->cardsAppearance();
    // One appearance is never kept under two names.
    for (QString old = store->findCardsAppearanceName(current); !old.isEmpty();
         old = store->findCardsAppearanceName(current))
        store->removeCardsAppearance(old);
    store->setCardsAppearance(dialog.name(), current);
    store->saveCardsAppearances();
    onUpdateStoredAppearance();
}

void CardsAppearanceWidget::onDeleteStoredAppreance()
{
    QComboBox *combo = m_ui->m_storedAppearanceComboBox;
    if (combo->currentIndex() <= 0)
        return;
    Settings *store = settings();
    store->removeCardsAppearance(combo->currentText());
    store->saveCardsAppearances();
    onUpdateStoredAppearance();
}

void CardsAppearanceWidget::updateDeleteButton()
{
    m_ui->m_deleteStoredAppearanceButton->setEnabled(
        m_ui->m_storedAppearanceComboBox->currentIndex() >= 1);
}

// Loading from the plan

void CardsAppearanceWidget::updateFromDocument()
{
    // Typing from before the reload (undo or redo within the pause, a view with its own
    // appearance) would otherwise come back as a change of its own, and discard the redo.
    m_ui->m_titleEdit->discard();
    m_ui->m_footerEdit->discard();

    const Document *plan = doc();
    Ui::CardsAppearanceWidget &ui = *m_ui;
    SignalBlocker blocker;
    const auto set = [&blocker](auto *control, auto setter) {
        blocker.add(control);
        setter(control);
    };
    set(ui.m_aspectRatioSpinBox, [&](QDoubleSpinBox *c) { c->setValue(plan->cardAspectRatio()); });
    set(ui.m_cellLayoutComboBox,
        [&](QComboBox *c) { c->setCurrentIndex(plan->cardsCellLayout()); });
    set(ui.m_fontFamilyComboBox, [&](QFontComboBox *c) { c->setCurrentFont(plan->cardFont()); });
    m_shownFontFamily = ui.m_fontFamilyComboBox->currentFont().family();
    set(ui.m_cardFontScaledComboBox,
        [&](QComboBox *c) { c->setCurrentIndex(scalingToIndex(plan->cardFontScaling())); });
    set(ui.m_cardFontSizeSpinBox, [&](QSpinBox *c) { c->setValue(plan->cardFontSize()); });
    set(ui.m_headerNameComboBox,
        [&](QComboBox *c) { c->setCurrentIndex(plan->cardsHeadersShowName() ? 1 : 0); });
    set(ui.m_headerFontScaledComboBox,
        [&](QComboBox *c) { c->setCurrentIndex(scalingToIndex(plan->headerFontScaling())); });
    set(ui.m_headerTypeComboBox,
        [&](QComboBox *c) { c->setCurrentIndex(plan->cardsHeaderType()); });
    set(ui.m_headerTransparencySpinBox,
        [&](QSpinBox *c) { c->setValue(plan->cardsHeaderTransparency()); });
    set(ui.m_headerRowTextOrientationCombo,
        [&](QComboBox *c) { c->setCurrentIndex(plan->cardsRowHeaderTextOrientation()); });
    set(ui.m_headerFontSizeSpinBox, [&](QSpinBox *c) { c->setValue(plan->headerFontSize()); });
    set(m_selectionColorButton, [&](ColorButton *c) { c->setColor(plan->cardsSelectionColor()); });
    set(m_headerColorButton, [&](ColorButton *c) { c->setColor(plan->headerColor()); });
    set(m_headerTextColorButton, [&](ColorButton *c) { c->setColor(plan->headerTextColor()); });
    set(m_lineColorButton, [&](ColorButton *c) { c->setColor(plan->cardsLineColor()); });
    set(m_backgroundColorButton, [&](ColorButton *c) { c->setColor(plan->cardBackgroundColor()); });
    set(ui.m_headerSizeSpinBox, [&](QSpinBox *c) { c->setValue(plan->cardsHeaderSize()); });
    set(ui.m_gradientSpinBox, [&](QSpinBox *c) { c->setValue(plan->cardsGradient()); });
    set(ui.m_titleEdit, [&](QLineEdit *c) { c->setText(plan->cardsTitle()); });
    set(ui.m_titleSizeSpinBox, [&](QSpinBox *c) { c->setValue(plan->cardsTitleSize()); });
    set(ui.m_footerEdit, [&](QLineEdit *c) { c->setText(plan->cardsFooter()); });
    set(ui.m_footerSizeSpinBox, [&](QSpinBox *c) { c->setValue(plan->cardsFooterSize()); });
    set(ui.m_showDropShadowComboBox,
        [&](QComboBox *c) { c->setCurrentIndex(plan->showDropShadow()); });
    set(ui.m_showLegendComboBox,
        [&](QComboBox *c) { c->setCurrentIndex(plan->cardsShowLegend()); });
    set(ui.m_cardShapeComboBox, [&](QComboBox *c) { c->setCurrentIndex(plan->cardsShape()); });
    showDependentSpinBoxes();
}

void CardsAppearanceWidget::showDependentSpinBoxes()
{
    m_ui->m_cardFontSizeSpinBox->setVisible(m_ui->m_cardFontScaledComboBox->currentIndex()
                                            == fixedScalingIndex);
    m_ui->m_headerFontSizeSpinBox->setVisible(m_ui->m_headerFontScaledComboBox->currentIndex()
                                              == fixedScalingIndex);
    m_ui->m_headerTransparencySpinBox->setVisible(m_ui->m_headerTypeComboBox->currentIndex()
                                                  == floatingHeaderIndex);
}

void CardsAppearanceWidget::onChangedDoc(const Events &events)
{
    if (!events.any(listensTo))
        return;
    followStyle(events);
    for (const Event &event : events.events) {
        switch (event.type) {
        case EventType::AllChanged:
            updateFromDocument();
            selectMatchingStoredAppearance();
            break;
        case EventType::ViewChanged:
            // Only a view that brings its own appearance changes the fields.
            if (doc()->currentView().storeAppearance)
                updateFromDocument();
            break;
        case EventType::CardsAppearanceChanged:
            // The fields show the section's own edit already, and a title may still be typed;
            // undo and redo come as whole-plan changes.
            if (events.source != this)
                updateFromDocument();
            selectMatchingStoredAppearance();
            break;
        default:
            break;
        }
    }
}

void CardsAppearanceWidget::setIcons()
{
    m_ui->m_addStoredAppearanceButton->setIcon(icon(QStringLiteral("add_12.png")));
    m_ui->m_deleteStoredAppearanceButton->setIcon(icon(QStringLiteral("minus_12.png")));
}

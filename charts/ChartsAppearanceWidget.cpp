#include "charts/ChartsAppearanceWidget.h"

#include "common/app/Accessors.h"
#include "common/app/TitleVariables.h"
#include "common/core/SignalBlocker.h"
#include "common/widgets/ColorButton.h"
#include "common/widgets/DelayedEditLineEdit.h"
#include "common/widgets/MouseWheelEventFilter.h"
#include "model/ChartsAppearance.h"
#include "model/Document.h"
#include "ui_ChartsAppearanceWidget.h"

#include <QFontComboBox>

namespace {

// The rows of the form that hold the three colour buttons.
enum ColorRow { TextColorRow = 5, LineColorRow = 6, BackgroundColorRow = 7 };

ColorButton *addColorButton(QFormLayout *form, int row, const char *name, const QString &tip)
{
    auto *button = new ColorButton(nullptr, QColor());
    button->setObjectName(QLatin1String(name));
    button->setToolTip(tip);
    button->setAttribute(Qt::WA_MacSmallSize);
    form->setWidget(row, QFormLayout::FieldRole, button);
    return button;
}

void setTextIfChanged(QLineEdit *edit, const QString &text)
{
    // An unchanged field keeps its cursor where the user left it.
    if (edit->text() != text)
        edit->setText(text);
}

} // namespace

ChartsAppearanceWidget::ChartsAppearanceWidget(QWidget *parent, ChartsScene *scene)
    : LeftPaneWidget(parent), m_ui(new Ui::ChartsAppearanceWidget)
{
    Q_UNUSED(scene)
    m_ui->setupUi(this);
    QFormLayout *form = m_ui->m_formLayout;
    m_textColorButton = addColorButton(form, TextColorRow, "m_textColorButton",
                                       tr("Click to change the text color."));
    m_lineColorButton = addColorButton(form, LineColorRow, "m_lineColorButton",
                                       tr("Click to change the line color."));
    m_backgroundColorButton = addColorButton(form, BackgroundColorRow, "m_backgroundColorButton",
                                             tr("Click to change the background color."));
    setTabOrder(m_ui->m_footerSizeSpinBox, m_textColorButton);
    setTabOrder(m_textColorButton, m_lineColorButton);
    setTabOrder(m_lineColorButton, m_backgroundColorButton);
    setTabOrder(m_backgroundColorButton, m_ui->m_gradientSpinBox);

    const QString variables = variablesHelpText(false, true);
    m_ui->m_titleEdit->setToolTip(m_ui->m_titleEdit->toolTip() + variables);
    m_ui->m_footerEdit->setToolTip(m_ui->m_footerEdit->toolTip() + variables);

    for (QWidget *control : findChildren<QWidget *>()) {
        if (control != m_ui->m_defaultButton)
            control->setAttribute(Qt::WA_MacSmallSize);
    }
    auto *wheelFilter = new MouseWheelEventFilter(this);
    for (QComboBox *combo :
         {static_cast<QComboBox *>(m_ui->m_fontFamilyComboBox), m_ui->m_showLegendComboBox}) {
        combo->setFocusPolicy(Qt::StrongFocus);
        combo->installEventFilter(wheelFilter);
    }
    // Typed sizes are written once, when confirmed, not at every digit.
    for (QSpinBox *spin :
         {m_ui->m_titleSizeSpinBox, m_ui->m_footerSizeSpinBox, m_ui->m_gradientSpinBox})
        spin->setKeyboardTracking(false);

    connect(m_ui->m_fontFamilyComboBox, &QFontComboBox::currentFontChanged, this,
            &ChartsAppearanceWidget::onFontFamilyChanged);
    connect(m_ui->m_titleEdit, &DelayedEditLineEdit::delayedEditTextChanged, this,
            &ChartsAppearanceWidget::onTitleChanged);
    connect(m_ui->m_titleSizeSpinBox, QOverload<int>::of(&QSpinBox::valueChanged), this,
            &ChartsAppearanceWidget::onTitleSizeChanged);
    connect(m_ui->m_footerEdit, &DelayedEditLineEdit::delayedEditTextChanged, this,
            &ChartsAppearanceWidget::onFooterChanged);
    connect(m_ui->m_footerSizeSpinBox, QOverload<int>::of(&QSpinBox::valueChanged), this,
            &ChartsAppearanceWidget::onFooterSizeChanged);
    connect(m_textColorButton, &ColorButton::colorChanged, this,
            &ChartsAppearanceWidget::onTextColorChanged);
    connect(m_lineColorButton, &ColorButton::colorChanged, this,
            &ChartsAppearanceWidget::onLineColorChanged);
    connect(m_backgroundColorButton, &ColorButton::colorChanged, this,
            &ChartsAppearanceWidget::onBackgroundColorChanged);
    connect(m_ui->m_gradientSpinBox, QOverload<int>::of(&QSpinBox::valueChanged), this,
            &ChartsAppearanceWidget::onGradientChanged);
    connect(m_ui->m_axesTextComboBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &ChartsAppearanceWidget::onShowAxesText);
    connect(m_ui->m_valueTextComboBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &ChartsAppearanceWidget::onShowValueText);
    connect(m_ui->m_byTextComboBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &ChartsAppearanceWidget::onShowByText);
    connect(m_ui->m_showLegendComboBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &ChartsAppearanceWidget::onShowLegendChanged);
    connect(m_ui->m_defaultButton, &QPushButton::clicked, this,
            &ChartsAppearanceWidget::onDefaultClicked);
    // The controls are filled by the first whole-plan change.
}

ChartsAppearanceWidget::~ChartsAppearanceWidget()
{
    delete m_ui;
}

void ChartsAppearanceWidget::giveFocus()
{
    m_ui->m_fontFamilyComboBox->setFocus(Qt::OtherFocusReason);
}

void ChartsAppearanceWidget::flushTyping()
{
    m_ui->m_titleEdit->flush();
    m_ui->m_footerEdit->flush();
}

void ChartsAppearanceWidget::onFontFamilyChanged()
{
    flushTyping();
    QFont font = doc()->chartFont();
    font.setFamily(m_ui->m_fontFamilyComboBox->currentFont().family());
    doc()->setChartFont(font, true);
}

void ChartsAppearanceWidget::onTitleChanged(const QString &text)
{
    doc()->setChartsTitle(text, true);
}

void ChartsAppearanceWidget::onTitleSizeChanged(int size)
{
    flushTyping();
    doc()->setChartsTitleSize(size, true);
}

void ChartsAppearanceWidget::onFooterChanged(const QString &text)
{
    doc()->setChartsFooter(text, true);
}

void ChartsAppearanceWidget::onFooterSizeChanged(int size)
{
    flushTyping();
    doc()->setChartsFooterSize(size, true);
}

void ChartsAppearanceWidget::onTextColorChanged(const QColor &c)
{
    flushTyping();
    doc()->setChartsTextColor(c, true);
}

void ChartsAppearanceWidget::onLineColorChanged(const QColor &c)
{
    flushTyping();
    doc()->setChartsLineColor(c, true);
}

void ChartsAppearanceWidget::onBackgroundColorChanged(const QColor &c)
{
    flushTyping();
    doc()->setChartBackgroundColor(c, true);
}

void ChartsAppearanceWidget::onGradientChanged(int value)
{
    flushTyping();
    doc()->setChartsGradient(value, true);
}

void ChartsAppearanceWidget::onShowAxesText()
{
    flushTyping();
    doc()->setChartsAxesText(m_ui->m_axesTextComboBox->currentIndex() == 0, true);
}

void ChartsAppearanceWidget::onShowValueText()
{
    flushTyping();
    doc()->setChartsShowValueText(m_ui->m_valueTextComboBox->currentIndex() == 0, true);
}

void ChartsAppearanceWidget::onShowByText()
{
    flushTyping();
    doc()->setChartsByText(m_ui->m_byTextComboBox->currentIndex() == 0, true);
}

void ChartsAppearanceWidget::onShowLegendChanged(int show)
{
    flushTyping();
    doc()->setChartsShowLegend(show, true);
}

void ChartsAppearanceWidget::onDefaultClicked()
{
    // Typing that has not been written yet goes with the rest.
    m_ui->m_titleEdit->discard();
    m_ui->m_footerEdit->discard();
    doc()->setChartsAppearance(ChartsAppearance(), true);
}

void ChartsAppearanceWidget::onChangedDoc(const Events &events)
{
    if (!events.any(listensTo))
        return;
    for (const Event &event : events.events) {
        if (event.type == EventType::AllChanged || event.type == EventType::ChartsAppearanceChanged)
            reload(event.type == EventType::AllChanged);
    }
}

void ChartsAppearanceWidget::reload(bool wholePlan)
{
    const Document &plan = *doc();
    if (wholePlan) {
        // Typing from before the plan was replaced belongs to the old plan.
        m_ui->m_titleEdit->discard();
        m_ui->m_footerEdit->discard();
    }
    SignalBlocker blocker;
    for (QObject *control :
         {static_cast<QObject *>(m_ui->m_fontFamilyComboBox),
          static_cast<QObject *>(m_ui->m_titleEdit),
          static_cast<QObject *>(m_ui->m_titleSizeSpinBox),
          static_cast<QObject *>(m_ui->m_footerEdit),
          static_cast<QObject *>(m_ui->m_footerSizeSpinBox),
          static_cast<QObject *>(m_textColorButton), static_cast<QObject *>(m_lineColorButton),
          static_cast<QObject *>(m_backgroundColorButton),
          static_cast<QObject *>(m_ui->m_gradientSpinBox),
          static_cast<QObject *>(m_ui->m_axesTextComboBox),
          static_cast<QObject *>(m_ui->m_valueTextComboBox),
          static_cast<QObject *>(m_ui->m_byTextComboBox),
          static_cast<QObject *>(m_ui->m_showLegendComboBox)})
        blocker.add(control);
    m_ui->m_fontFamilyComboBox->setCurrentFont(plan.chartFont());
    m_textColorButton->setColor(plan.chartsTextColor());
    m_lineColorButton->setColor(plan.chartsLineColor());
    m_backgroundColorButton->setColor(plan.chartBackgroundColor());
    m_ui->m_gradientSpinBox->setValue(plan.chartsGradient());
    setTextIfChanged(m_ui->m_titleEdit, plan.chartsTitle());
    m_ui->m_titleSizeSpinBox->setValue(plan.chartsTitleSize());
    setTextIfChanged(m_ui->m_footerEdit, plan.chartsFooter());
    m_ui->m_footerSizeSpinBox->setValue(plan.chartsFooterSize());
    m_ui->m_showLegendComboBox->setCurrentIndex(plan.chartsShowLegend());
    m_ui->m_axesTextComboBox->setCurrentIndex(plan.chartsAxesText() ? 0 : 1);
    m_ui->m_valueTextComboBox->setCurrentIndex(plan.chartsShowValueText() ? 0 : 1);
    m_ui->m_byTextComboBox->setCurrentIndex(plan.chartsByText() ? 0 : 1);
}

#include "table/TableAppearanceWidget.h"

#include "common/app/Accessors.h"
#include "common/core/SignalBlocker.h"
#include "common/widgets/DialogHelpers.h"
#include "common/widgets/MouseWheelEventFilter.h"
#include "model/Document.h"
#include "properties/PropertyDialog.h"
#include "table/TableView.h"
#include "ui_TableAppearanceWidget.h"

namespace {

// The first entry of the colour list that stands for a property.
constexpr int FirstPropertyEntry = 2;

} // namespace

TableAppearanceWidget::TableAppearanceWidget(QWidget *parent)
    : LeftPaneWidget(parent), m_ui(new Ui::TableAppearanceWidget)
{
    m_ui->setupUi(this);
    for (QWidget *control :
         {static_cast<QWidget *>(m_ui->m_fontFamilyLabel),
          static_cast<QWidget *>(m_ui->m_fontSizeLabel), static_cast<QWidget *>(m_ui->m_colorLabel),
          static_cast<QWidget *>(m_ui->m_fontFamilyComboBox),
          static_cast<QWidget *>(m_ui->m_fontSizeSpinBox),
          static_cast<QWidget *>(m_ui->m_colorComboBox)})
        control->setAttribute(Qt::WA_MacSmallSize);
    m_ui->m_fontFamilyComboBox->installEventFilter(new MouseWheelEventFilter(this));
    m_ui->m_fontFamilyComboBox->setFocusPolicy(Qt::StrongFocus);
    m_ui->m_formLayout->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    setSmallButtonStyle(m_ui->m_colorPropertyEditButton);
    updateEditButton();
    connect(m_ui->m_fontFamilyComboBox, &QFontComboBox::currentFontChanged, this,
            &TableAppearanceWidget::onFontFamilyChanged);
    connect(m_ui->m_fontSizeSpinBox, QOverload<int>::of(&QSpinBox::valueChanged), this,
            &TableAppearanceWidget::onFontSizeChanged);
    connect(m_ui->m_colorComboBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &TableAppearanceWidget::onColorComboChanged);
    connect(m_ui->m_colorPropertyEditButton, &QToolButton::clicked, this,
            &TableAppearanceWidget::onColorPropertyEdit);
    connect(m_ui->m_defaultButton, &QPushButton::clicked, this,
            &TableAppearanceWidget::onDefaultClicked);
}

TableAppearanceWidget::~TableAppearanceWidget()
{
    delete m_ui;
}

void TableAppearanceWidget::updateEditButton()
{
    m_ui->m_colorPropertyEditButton->setEnabled(m_ui->m_colorComboBox->currentIndex()
                                                >= FirstPropertyEntry);
}

void TableAppearanceWidget::updateFromDocument()
{
    const Document *plan = doc();
    {
        SignalBlocker blocker;
        blocker.add(m_ui->m_fontFamilyComboBox);
        blocker.add(m_ui->m_fontSizeSpinBox);
        blocker.add(m_ui->m_colorComboBox);
        m_ui->m_fontFamilyComboBox->setCurrentFont(plan->tableFont());
        m_ui->m_fontSizeSpinBox->setValue(plan->tableFontSize());
        QComboBox *colors = m_ui->m_colorComboBox;
        colors->clear();
        colors->addItem(tr("<off>"));
        colors->addItem(tr("<all properties>"));
        for (int p = 1; p < plan->propertyCount(); ++p)
            colors->addItem(plan->propertyName(p));
        // A setting from a damaged plan that names no entry shows as off, as the table treats
        // it; it is left as stored until the user chooses.
        colors->setCurrentIndex(TableView::tableColorSetting());
    }
    updateEditButton();
}

void TableAppearanceWidget::onChangedDoc(const Events &events)
{
    if (!events.any(listensTo))
        return;
    followStyle(events);
    const Document *plan = doc();
    QComboBox *colors = m_ui->m_colorComboBox;
    for (const Event &event : events.events) {
        const int entry = event.propertyIndex + 1;
        switch (event.type) {
        case EventType::AllChanged:
        case EventType::TableAppearanceChanged:
        // A re-order renumbers the properties and the colour setting with them.
        case EventType::PropertiesReordered:
            updateFromDocument();
            break;
        case EventType::PropertyAdded: {
            SignalBlocker blocker;
            blocker.add(colors);
            colors->addItem(plan->propertyName(event.propertyIndex));
            break;
        }
        case EventType::PropertyChanged:
            if (entry >= FirstPropertyEntry && entry < colors->count())
                colors->setItemText(entry, plan->propertyName(event.propertyIndex));
            break;
        case EventType::PropertyDeleted:
            if (entry >= FirstPropertyEntry && entry < colors->count()) {
                SignalBlocker blocker;
                blocker.add(colors);
                if (colors->currentIndex() == entry)
                    colors->setCurrentIndex(0);
                colors->removeItem(entry);
            }
            break;
        default:
            break;
        }
    }
    updateEditButton();
}

void TableAppearanceWidget::setIcons()
{
    m_ui->m_colorPropertyEditButton->setIcon(icon(QStringLiteral("settings_16.png")));
}

void TableAppearanceWidget::onFontFamilyChanged()
{
    QFont font = doc()->tableFont();
    font.setFamily(m_ui->m_fontFamilyComboBox->currentFont().family());
    doc()->setTableFont(font, true);
}

void TableAppearanceWidget::onFontSizeChanged()
{
    doc()->setTableFontSize(m_ui->m_fontSizeSpinBox->value(), true);
}

void TableAppearanceWidget::onColorComboChanged()
{
    const int entry = m_ui->m_colorComboBox->currentIndex();
    if (entry >= 0)
        doc()->setTableColor(entry, true);
    updateEditButton();
}

void TableAppearanceWidget::onColorPropertyEdit()
{
    PropertyDialog dialog(this, m_ui->m_colorComboBox->currentIndex() - 1,
                          PropertyDialog::ColorsPage);
    dialog.exec();
}

void TableAppearanceWidget::onDefaultClicked()
{
    doc()->setTableAppearance(TableAppearance(), true);
}

void TableAppearanceWidget::giveFocus()
{
    m_ui->m_fontFamilyComboBox->setFocus();
}

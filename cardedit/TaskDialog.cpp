#include "cardedit/TaskDialog.h"

#include "cardedit/CardsEditScrollWidget.h"
#include "cardedit/ExpandingScrollArea.h"
#include "cardedit/HyperLinkWidget.h"
#include "common/app/Accessors.h"
#include "common/core/RelativeDates.h"
#include "common/widgets/BalloonTip.h"
#include "common/widgets/DelayedEditComboBox.h"
#include "common/widgets/DelayedEditLineEdit.h"
#include "common/widgets/DialogHelpers.h"
#include "common/widgets/Settings.h"
#include "model/Document.h"
#include "properties/PropertyDialog.h"
#include "ui_TaskDialog.h"

#include <algorithm>

#include <QCheckBox>
#include <QFormLayout>
#include <QGraphicsScene>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QToolButton>

namespace {

// Never narrower than this by its size hint, so that long values and the quick-add line fit.
constexpr int MinimumWidth = 650;

} // namespace

TaskDialog::TaskDialog(QWidget *parent, QGraphicsScene *cardsScene,
                       const QList<PropertyIndexAndValue> &presets, const QList<TaskIndex> &tasks,
                       const QList<HyperLink> &links, int imageIndex)
    : QDialog(parent), m_ui(new Ui::TaskDialog), m_cardsScene(cardsScene), m_tasks(tasks)
{
    m_ui->setupUi(this);
    prepareDialog(this);
    const Document *plan = doc();

    m_scrollArea = new ExpandingScrollArea(this);
    m_scrollArea->setFocusPolicy(Qt::NoFocus);
    m_ui->m_verticalLayout->insertWidget(0, m_scrollArea);
    m_editor = new CardsEditScrollWidget(m_scrollArea);
    m_editor->reset();
    m_scrollArea->setWidget(m_editor);
    m_scrollArea->setWidgetResizable(true);

    if (!isAddMode()) {
        setWindowTitle(tasks.size() == 1 ? tr("Edit 1 Card")
                                         : tr("Edit %1 Cards").arg(tasks.size()));
        m_editor->setSelection(tasks);
    } else {
        setWindowTitle(tr("Add Card"));
        buildQuickAdd();
        for (const HyperLink &link : links)
            m_editor->linksWidget()->addLink(link);
        if (imageIndex != -1)
            m_editor->setImage(imageIndex);

        for (int property = 1; property < plan->propertyCount(); ++property) {
            PropertyPreview record;
            record.propertyIndex = property;
            record.name = plan->propertyName(property);
            record.defaultValue = plan->propertyDefaultValue(property);
            for (const PropertyIndexAndValue &preset : presets) {
                if (preset.first == property)
                    record.defaultValue = preset.second;
            }
            m_records.append(record);
        }
        setAbbreviations(m_records);
        updateFieldLabels();
        // The grey example is never parsed: the line reports only what the user types.
        assignQuickAddTerms(m_records, QString(), *plan, {});
        for (const PropertyPreview &record : qAsConst(m_records))
            showPreviewValue(record.propertyIndex, record.value);
        m_quickAddEdit->setGreyText(quickAddExample());

        setFocus();
        if (m_showQuickAddCheckBox->isChecked())
            m_quickAddEdit->setFocus();
        else
            m_editor->focusFirst();

        connect(m_quickAddEdit, &DelayedEditLineEdit::delayedEditTextChanged, this,
                &TaskDialog::onUpdatePreview);
        connect(m_quickAddHelpButton, &QToolButton::clicked, this, &TaskDialog::onShowHelp);
        connect(m_showQuickAddCheckBox, &QCheckBox::toggled, this, &TaskDialog::onShowHideQuickAdd);
    }

    connect(m_ui->m_addPropertyButton, &QPushButton::clicked, this, &TaskDialog::onAddProperty);
    connect(m_ui->m_addLinkButton, &QPushButton::clicked, this, &TaskDialog::onAddLink);
    connect(m_ui->m_buttonBox, &QDialogButtonBox::accepted, this, &TaskDialog::accept);
    connect(m_ui->m_buttonBox, &QDialogButtonBox::rejected, this, &TaskDialog::reject);
    // After the editor's own connection, so that its rows are up to date when this runs.
    connect(doc(), &Document::changed, this, &TaskDialog::onChangedDoc);

    if (const QScreen *screen = QGuiApplication::primaryScreen())
        setMaximumHeight(screen->geometry().height() - 50);
    BalloonTip::markShown(QStringLiteral("tip_add_card"));
    updateTabOrder();
    adjustSize();
    restoreSavedGeometry(this, settings()->read(Settings::Key::TaskWindowGeometry).toByteArray());
}

TaskDialog::~TaskDialog()
{
    delete m_ui;
}

void TaskDialog::buildQuickAdd()
{
    m_quickAddLabel = new QLabel(tr("Quick add:"), m_editor);
    m_quickAddEdit = new DelayedEditLineEdit(m_editor);
    m_quickAddEdit->setToolTip(tr("Quickly set multiple properties. Press return when "
                                  "finished. Click the help button for tips."));
    m_quickAddHelpButton = new QToolButton(m_editor);
    m_quickAddHelpButton->setIcon(icon(QStringLiteral("help_32.png")));
    setSmallButtonStyle(m_quickAddHelpButton);
    m_quickAddHelpButton->setFocusPolicy(Qt::NoFocus);
    m_quickAddHelpButton->setToolTip(tr("Click for tips on how to use the 'Quick add' field."));
    auto *layout = new QHBoxLayout;
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_quickAddEdit);
    layout->addWidget(m_quickAddHelpButton);
    m_editor->formLayout()->insertRow(0, m_quickAddLabel, layout);

    m_showQuickAddCheckBox = new QCheckBox(tr("Show 'Quick add' field"), m_editor);
    m_showQuickAddCheckBox->setToolTip(tr("Check to show a 'quick add' field."));
    m_editor->formLayout()->addRow(m_showQuickAddCheckBox);
    m_editor->setTabOrderAfter(m_showQuickAddCheckBox);

    m_showQuickAddCheckBox->setChecked(!settings()->hideQuickAdd());
    const bool shown = m_showQuickAddCheckBox->isChecked();
    m_quickAddLabel->setVisible(shown);
    m_quickAddEdit->setVisible(shown);
    m_quickAddHelpButton->setVisible(shown);
}

void TaskDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Once shown, QDialog focuses the quick-add line as if tabbed to, which selects its grey
    // example; selected, it would read as text of the user's.
    if (m_quickAddEdit) {
        QTimer::singleShot(0, this, [this] {
            if (!m_quickAddEdit->isModified()) {
                m_quickAddEdit->deselect();
                m_quickAddEdit->setCursorPosition(0);
            }
        });
    }
}

QSize TaskDialog::sizeHint() const
{
    QSize hint = QDialog::sizeHint();
    hint.setWidth(std::max(hint.width(), MinimumWidth));
    return hint;
}

const QList<QSet<QString>> &TaskDialog::knownLowerValues()
{
    // The values the fields list, less the empty text, with each default value: derived from
    // the editor's lists rather than walking the cards again.
    if (!m_knownValuesValid) {
        const Document *plan = doc();
        const QList<QStringList> &lists = m_editor->valueLists();
        m_knownLowerValues.clear();
        for (int property = 0; property < lists.size(); ++property) {
            const QStringList &values = lists.at(property);
            QSet<QString> lower;
            lower.reserve(values.size() + 1);
            for (const QString &value : values)
                lower.insert(value.toLower());
            lower.insert(plan->propertyDefaultValue(property).toLower());
            lower.remove(QString());
            m_knownLowerValues.append(lower);
        }
        m_knownValuesValid = true;
    }
    return m_knownLowerValues;
}

void TaskDialog::updateFieldLabels()
{
    const Document *plan = doc();
    const bool quickAddShown = m_showQuickAddCheckBox && m_showQuickAddCheckBox->isChecked();
    for (int row = 0; row < m_editor->rowCount(); ++row) {
        const int property = row + 1;
        QString abbreviation;
        for (const PropertyPreview &record : qAsConst(m_records)) {
            if (record.propertyIndex == property)
                abbreviation = record.abbreviation;
        }
        const QString name = plan->propertyName(property);
        m_editor->propertyLabel(row)->setText(quickAddShown && !abbreviation.isEmpty()
                                                  ? tr("%1 (%2):").arg(name, abbreviation)
                                                  : tr("%1:").arg(name));
    }
}

QString TaskDialog::quickAddExample()
{
    const Document *plan = doc();
    QStringList parts;
    for (const PropertyPreview &record : qAsConst(m_records)) {
        if (record.propertyIndex > 3)
            break;
        const QString lowerName = record.name.toLower();
        const QString key = record.propertyIndex == 1 || record.abbreviation.isEmpty()
            ? lowerName
            : record.abbreviation;
        const QStringList existing
            = plan->values(record.propertyIndex, ValueListOptions().withoutEmpty().withDefault());
        const QString value
            = existing.isEmpty() ? QStringLiteral("<%1>").arg(lowerName) : existing.first();
        parts.append(QStringLiteral("%1=%2").arg(key, value));
    }
    return parts.join(QStringLiteral(", "));
}

void TaskDialog::showPreviewValue(int property, const QString &value)
{
    DelayedEditComboBox *combo = m_editor->valueCombo(property - 1);
    if (!combo || combo->currentText() == value)
        return;
    // An entry equal to the value, case ignored; a text may also be finished from the first
    // entry it begins ('hi' picks 'High'). Numbers and dates are taken as they are: '5' must
    // not become '50', nor '1' become '10'.
    int entry = value.isEmpty() ? -1 : combo->findText(value, Qt::MatchFixedString);
    if (entry < 0 && !value.isEmpty() && doc()->actualPropertyType(property) == ActualType::Text)
        entry = combo->findText(value, Qt::MatchStartsWith);
    if (entry >= 0)
        combo->setCurrentIndex(entry);
    else
        CardsEditScrollWidget::showText(combo, value);
}

void TaskDialog::onUpdatePreview(const QString &text)
{
    const Document *plan = doc();
    const bool hasTerms = !quickAddTerms(text).isEmpty();
    if (!hasTerms && !m_lastRunHadTerms)
        return;
    m_lastRunHadTerms = assignQuickAddTerms(m_records, text, *plan, knownLowerValues());
    for (const PropertyPreview &record : qAsConst(m_records))
        showPreviewValue(record.propertyIndex, record.value);
}

void TaskDialog::onShowHelp()
{
    const QString help
        = tr("Type in the properties for the card you wish to add, separated by commas or\n"
             "semi-colons, in the form:\n"
             "<property>=<value>, <property>=<value>, .. <property>=<value>\n\n"
             "For example:\n%1\n\n"
             "You can use the abbreviations shown in () parentheses in the field labels for "
             "properties.\n"
             "Property names are not case-sensitive. If you omit the property name, Tavrolo\n"
             "will make a guess at what property you mean.\n%2\n\n"
             "Default values will be used for omitted properties.\n\n"
             "Press Return to add the card and Escape to cancel.")
              .arg(quickAddExample(), dateEntryHelpText(true, doc()->valueFormats()));
    BalloonTip::showBalloon(m_quickAddEdit, tr("'Quick add' help"), help, 30000, true);
}

void TaskDialog::onShowHideQuickAdd()
{
    const bool shown = m_showQuickAddCheckBox->isChecked();
    m_quickAddLabel->setVisible(shown);
    m_quickAddEdit->setVisible(shown);
    m_quickAddHelpButton->setVisible(shown);
    updateFieldLabels();
}

void TaskDialog::onAddProperty()
{
    PropertyDialog dialog(this, -1, PropertyDialog::PredefinedValuesPage);
    if (dialog.exec() == QDialog::Accepted)
        updateTabOrder();
}

void TaskDialog::onAddLink()
{
    m_editor->linksWidget()->onAdd();
}

void TaskDialog::updateTabOrder()
{
    QList<QWidget *> chain;
    if (m_quickAddEdit)
        chain.append(m_quickAddEdit);
    chain.append(m_editor->focusWidgets());
    if (m_showQuickAddCheckBox)
        chain.append(m_showQuickAddCheckBox);
    chain << m_ui->m_addPropertyButton << m_ui->m_addLinkButton;
    for (QAbstractButton *button : m_ui->m_buttonBox->buttons())
        chain.append(button);
    for (int i = 1; i < chain.size(); ++i)
        setTabOrder(chain.at(i - 1), chain.at(i));
}

void TaskDialog::onChangedDoc(const Events &events)
{
    // Derived again when next asked for, whatever changed.
    m_knownValuesValid = false;
    if (!events.any(listensTo))
        return;
    for (const Event &event : events.events) {
        if (event.type != EventType::PropertyDeleted)
            continue;
        // Records follow their property, not their position: those after a deleted
        // property move up one, and the deleted one's record goes. A property added while
        // the dialog is open gets a row but no record.
        const int deleted = event.propertyIndex;
        for (int i = m_records.size() - 1; i >= 0; --i) {
            PropertyPreview &record = m_records[i];
            if (record.propertyIndex == deleted)
                m_records.removeAt(i);
            else if (record.propertyIndex > deleted)
                --record.propertyIndex;
        }
    }
    if (isAddMode())
        updateFieldLabels();
}

void TaskDialog::accept()
{
    if (isAddMode()) {
        m_quickAddEdit->flush();
        if (m_cardsScene)
            m_cardsScene->clearSelection();
        m_createdTaskIndex = m_editor->addCard();
        settings()->setHideQuickAdd(!m_showQuickAddCheckBox->isChecked());
    } else {
        m_editor->applyChanges(m_tasks);
    }
    settings()->write(Settings::Key::TaskWindowGeometry, saveGeometry());
    QDialog::accept();
}

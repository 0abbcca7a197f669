#include "cardedit/CardsEditScrollWidget.h"

#include "cardedit/DatePickEvent.h"
#include "cardedit/HyperLinkWidget.h"
#include "cardedit/ImagesDialog.h"
#include "common/app/Accessors.h"
#include "common/core/NumberDateText.h"
#include "common/core/RelativeDates.h"
#include "common/core/SignalBlocker.h"
#include "common/widgets/BalloonTip.h"
#include "common/widgets/DatePopup.h"
#include "common/widgets/DelayedEditComboBox.h"
#include "common/widgets/DialogHelpers.h"
#include "common/widgets/MouseWheelEventFilter.h"
#include "common/widgets/Prompts.h"
#include "common/widgets/Settings.h"
#include "common/widgets/UpdateBlocker.h"
#include "model/Document.h"
#include "properties/PropertyDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QToolButton>

namespace {

const QString variesText = QStringLiteral("<varies>");
// Value fields are as wide as this many characters by their size hint, however long their
// entries: measuring ten thousand entries to size a field would cost more than the rest of
// the dialog.
constexpr int ValueFieldCharacters = 16;

void setFieldSizePolicy(QWidget *widget, QSizePolicy::Policy vertical)
{
    QSizePolicy policy(QSizePolicy::Expanding, vertical);
    policy.setHorizontalStretch(1);
    if (vertical == QSizePolicy::Preferred)
        policy.setVerticalStretch(1);
    widget->setSizePolicy(policy);
}

} // namespace

CardsEditScrollWidget::CardsEditScrollWidget(QWidget *parent)
    : QWidget(parent),
      m_formLayout(new QFormLayout(this)),
      m_notesEdit(new QPlainTextEdit(this)),
      m_linksWidget(new HyperLinkWidget(this)),
      m_imageCombo(new QComboBox(this)),
      m_imageButton(new QToolButton(this))
{
    m_formLayout->setSpacing(5);
    m_formLayout->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);

    setFieldSizePolicy(m_notesEdit, QSizePolicy::Preferred);
    m_notesEdit->setTabChangesFocus(true);
    m_notesEdit->setToolTip(tr("Type free-form notes for this card."));
    m_formLayout->addRow(tr("Notes:"), m_notesEdit);

    setFieldSizePolicy(m_linksWidget, QSizePolicy::Preferred);
    m_linksWidget->setToolTip(tr("Drag and drop files and hyperlinks here. Click on links to "
                                 "activate. Right click for a menu."));
    m_formLayout->addRow(tr("Links:"), m_linksWidget);

    auto *imageLayout = new QHBoxLayout;
    imageLayout->setContentsMargins(0, 0, 0, 0);
    m_imageCombo->setEditable(false);
    m_imageCombo->setEnabled(false);
    m_imageCombo->setIconSize(QSize(16, 16));
    m_imageCombo->setFocusPolicy(Qt::StrongFocus);
    m_imageCombo->installEventFilter(new MouseWheelEventFilter(m_imageCombo));
    setFieldSizePolicy(m_imageCombo, QSizePolicy::Fixed);
    m_imageButton->setToolTip(tr("Edit available images in this plan."));
    m_imageButton->setIcon(icon(QStringLiteral("settings_16.png")));
    setSmallButtonStyle(m_imageButton);
    imageLayout->addWidget(m_imageCombo, 1);
    imageLayout->addWidget(m_imageButton, 0);
    m_formLayout->addRow(tr("Image:"), imageLayout);

    connect(doc(), &Document::changed, this, &CardsEditScrollWidget::onChangedDoc);
    connect(m_notesEdit, &QPlainTextEdit::textChanged, this,
            &CardsEditScrollWidget::onNotesChanged);
    connect(m_linksWidget, &HyperLinkWidget::linksChanged, this,
            &CardsEditScrollWidget::onHyperLinksChanged);
    connect(m_imageCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &CardsEditScrollWidget::onImageComboChanged);
    connect(m_imageButton, &QToolButton::clicked, this,
            &CardsEditScrollWidget::onEditImageButtonClicked);
}

CardsEditScrollWidget::~CardsEditScrollWidget() = default;

DelayedEditComboBox *CardsEditScrollWidget::valueCombo(int row) const
{
    return m_valueCombos.value(row);
}

QLabel *CardsEditScrollWidget::propertyLabel(int row) const
{
    return m_labels.value(row);
}

QList<QWidget *> CardsEditScrollWidget::focusWidgets() const
{
    QList<QWidget *> widgets;
    for (int row = 0; row < m_valueCombos.size(); ++row)
        widgets << m_valueCombos.at(row) << m_calendarButtons.at(row) << m_editButtons.at(row);
    widgets << m_notesEdit << m_linksWidget << m_imageCombo << m_imageButton;
    return widgets;
}

void CardsEditScrollWidget::focusFirst()
{
    if (!m_valueCombos.isEmpty())
        m_valueCombos.first()->setFocus(Qt::OtherFocusReason);
    else
        m_notesEdit->setFocus(Qt::OtherFocusReason);
}

void CardsEditScrollWidget::setTabOrderAfter(QWidget *widget)
{
    if (!widget)
        return;
    m_hasTrailingRow = true;
    setTabOrder(m_imageButton, widget);
}

void CardsEditScrollWidget::showText(QComboBox *combo, const QString &text)
{
    const int index = combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0) {
        combo->setCurrentIndex(index);
    } else {
        combo->setCurrentIndex(-1);
        combo->setEditText(text);
    }
}

const QList<QStringList> &CardsEditScrollWidget::valueLists()
{
    if (!m_valueListsValid) {
        m_valueLists = doc()->valuesOfEveryProperty();
        m_valueListsValid = true;
    }
    return m_valueLists;
}

void CardsEditScrollWidget::fillValueCombo(DelayedEditComboBox *combo, const QStringList &values)
{
    combo->clear();
    combo->insertItems(0, values);
}

void CardsEditScrollWidget::addPropertyRow(int property, bool resize)
{
    Document *plan = doc();
    const int position = m_formLayout->rowCount() - (m_hasTrailingRow ? 4 : 3);
    const bool isDate = plan->actualPropertyType(property) == ActualType::Date;

    auto *label = new QLabel(this);
    // A property name is shown as written, never as markup.
    label->setTextFormat(Qt::PlainText);
    label->setText(tr("%1:").arg(plan->propertyName(property)));
    m_labels.append(label);

    auto *rowLayout = new QHBoxLayout;
    rowLayout->setContentsMargins(0, 0, 0, 0);
    rowLayout->setSpacing(4);

    auto *combo = new DelayedEditComboBox(this);
    QString toolTip = tr("Edit the property value of the selected card(s) (select or type).");
    if (isDate)
        toolTip += dateEntryHelpText(false, plan->valueFormats());
    combo->setToolTip(toolTip);
    combo->setEditable(true);
    combo->setEnabled(false);
    combo->setFocusPolicy(Qt::StrongFocus);
    combo->installEventFilter(new MouseWheelEventFilter(combo));
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo->setMinimumContentsLength(ValueFieldCharacters);
    setFieldSizePolicy(combo, QSizePolicy::Fixed);
    rowLayout->addWidget(combo, 1);
    m_valueCombos.append(combo);

    auto *calendarButton = new QToolButton(this);
    calendarButton->setToolTip(tr("Date picker."));
    calendarButton->setIcon(icon(QStringLiteral("calendar_16.png")));
    setSmallButtonStyle(calendarButton);
    rowLayout->addWidget(calendarButton, 0);
    m_calendarButtons.append(calendarButton);
    connect(calendarButton, &QToolButton::clicked, this,
            &CardsEditScrollWidget::onCalendarButtonClicked);
    calendarButton->setEnabled(false);
    calendarButton->setVisible(isDate);

    auto *editButton = new QToolButton(this);
    editButton->setToolTip(tr("Edit/Delete this property (for all cards)."));
    editButton->setIcon(icon(QStringLiteral("settings_16.png")));
    setSmallButtonStyle(editButton);
    rowLayout->addWidget(editButton, 0);
    m_editButtons.append(editButton);
    connect(editButton, &QToolButton::clicked, this, &CardsEditScrollWidget::onEditButtonClicked);

    m_formLayout->insertRow(position, label, rowLayout);
    m_rowLayouts.append(rowLayout);
    if (resize) {
        m_formLayout->invalidate();
        adjustSize();
    }
}

void CardsEditScrollWidget::removePropertyRow(int property)
{
    const int row = property - 1;
    if (row < 0 || row >= m_labels.size())
        return;
    QLabel *label = m_labels.takeAt(row);
    QHBoxLayout *rowLayout = m_rowLayouts.takeAt(row);
    DelayedEditComboBox *combo = m_valueCombos.takeAt(row);
    QToolButton *calendarButton = m_calendarButtons.takeAt(row);
    QToolButton *editButton = m_editButtons.takeAt(row);
    m_plainCombos.remove(combo);

    int formRow = -1;
    QFormLayout::ItemRole role;
    m_formLayout->getWidgetPosition(label, &formRow, &role);
    if (formRow >= 0) {
        const QFormLayout::TakeRowResult taken = m_formLayout->takeRow(formRow);
        delete taken.labelItem;
    }
    // The row goes at once, but its widgets only once control is back in the event loop: the
    // property may have been deleted from inside the click of this row's own edit button.
    for (QWidget *widget :
         {static_cast<QWidget *>(label), static_cast<QWidget *>(combo),
          static_cast<QWidget *>(calendarButton), static_cast<QWidget *>(editButton)}) {
        rowLayout->removeWidget(widget);
        widget->hide();
        widget->deleteLater();
    }
    delete rowLayout;
}

void CardsEditScrollWidget::rebuildPropertyRows()
{
    UpdateBlocker blocker(this);
    for (int property = m_labels.size(); property >= 1; --property)
        removePropertyRow(property);
    for (int property = 1; property < doc()->propertyCount(); ++property)
        addPropertyRow(property, false);
    updateImageCombo();
    m_formLayout->invalidate();
}

void CardsEditScrollWidget::reset()
{
    rebuildPropertyRows();
    const QList<QStringList> &lists = valueLists();
    for (int row = 0; row < m_valueCombos.size(); ++row) {
        DelayedEditComboBox *combo = m_valueCombos.at(row);
        SignalBlocker blocker;
        blocker.add(combo);
        const QStringList &values = lists.value(row + 1);
        fillValueCombo(combo, values);
        m_plainCombos.insert(combo);
        const int empty = values.indexOf(QString());
        if (empty >= 0)
            combo->setCurrentIndex(empty);
        else
            showText(combo, QString());
        combo->setEnabled(true);
    }
    for (QToolButton *button : qAsConst(m_calendarButtons))
        button->setEnabled(true);
    SignalBlocker blocker;
    blocker.add(m_notesEdit);
    m_notesEdit->clear();
    m_notesEdit->setEnabled(true);
    m_imageCombo->setEnabled(doc()->imageCount() >= 1);
    adjustSize();
}

void CardsEditScrollWidget::setSelection(const QList<TaskIndex> &tasks)
{
    Document *plan = doc();
    const QList<QStringList> &lists = valueLists();
    for (int row = 0; row < m_valueCombos.size(); ++row) {
        const int property = row + 1;
        DelayedEditComboBox *combo = m_valueCombos.at(row);
        SignalBlocker blocker;
        blocker.add(combo);
        if (tasks.isEmpty()) {
            combo->clear();
            m_plainCombos.remove(combo);
            combo->setEnabled(false);
            m_calendarButtons.at(row)->setEnabled(false);
            continue;
        }
        const QStringList &values = lists.value(property);
        // A field filled by reset already lists exactly these values.
        if (!m_plainCombos.contains(combo) || combo->count() != values.size()) {
            fillValueCombo(combo, values);
            m_plainCombos.insert(combo);
        }
        combo->setEnabled(true);
        const QString first = plan->value(tasks.first(), property);
        bool varies = false;
        for (const TaskIndex task : tasks) {
            if (plan->value(task, property) != first) {
                varies = true;
                break;
            }
        }
        if (varies) {
            combo->insertItem(0, variesText);
            m_plainCombos.remove(combo);
            combo->setCurrentIndex(0);
        } else {
            const int index = values.indexOf(first);
            if (index >= 0)
                combo->setCurrentIndex(index);
            else
                showText(combo, first);
        }
        m_calendarButtons.at(row)->setEnabled(combo->isEnabled());
    }

    SignalBlocker blocker;
    blocker.add(m_notesEdit);
    blocker.add(m_linksWidget);
    blocker.add(m_imageCombo);
    m_notesEdit->clear();
    m_notesEdit->setPlaceholderText(QString());
    m_notesEdit->setEnabled(false);
    m_linksWidget->clear();
    m_linksWidget->setEnabled(false);
    m_linksWidget->setVaries(false);
    m_notesVaried = false;
    m_linksVaried = false;
    if (tasks.isEmpty()) {
        m_imageCombo->setItemText(0, tr("<no image>"));
        m_imageCombo->setCurrentIndex(0);
        m_imageCombo->setEnabled(false);
    } else {
        const QString notes = plan->taskNotes(tasks.first());
        const QList<HyperLink> links = plan->taskLinks(tasks.first());
        const int image = plan->taskImage(tasks.first());
        bool imageDiffers = false;
        for (const TaskIndex task : tasks) {
            m_notesVaried = m_notesVaried || plan->taskNotes(task) != notes;
            m_linksVaried = m_linksVaried || plan->taskLinks(task) != links;
            imageDiffers = imageDiffers || plan->taskImage(task) != image;
        }
        // Differing notes leave the field empty, "<varies>" only its placeholder: text that
        // stood in the field would become part of whatever the user types next to it. The
        // placeholder goes first: the field decides whether to draw it when its text is set.
        m_notesEdit->setPlaceholderText(m_notesVaried ? variesText : QString());
        m_notesEdit->setPlainText(m_notesVaried ? QString() : notes);
        m_notesEdit->setEnabled(true);
        if (m_linksVaried)
            m_linksWidget->setVaries(true);
        else
            m_linksWidget->setLinks(links);
        m_linksWidget->setEnabled(true);
        if (imageDiffers) {
            if (!firstImageEntryVaries())
                m_imageCombo->insertItem(0, variesText);
            m_imageCombo->setCurrentIndex(0);
            m_imageCombo->setEnabled(true);
        } else {
            if (firstImageEntryVaries())
                m_imageCombo->removeItem(0);
            setImage(image);
            m_imageCombo->setEnabled(m_imageCombo->count() >= 2);
        }
    }
    if (!m_valueCombos.isEmpty())
        m_valueCombos.first()->setFocus(Qt::OtherFocusReason);
}

void CardsEditScrollWidget::applyChanges(const QList<TaskIndex> &tasks)
{
    Document *plan = doc();
    QList<Document::ValueChange> changes;
    for (int row = 0; row < m_valueCombos.size(); ++row) {
        const int property = row + 1;
        DelayedEditComboBox *combo = m_valueCombos.at(row);
        const QString text = combo->currentText();
        if (text == variesText)
            continue;
        bool differs = false;
        for (const TaskIndex task : tasks) {
            if (plan->value(task, property) != text) {
                differs = true;
                break;
            }
        }
        // The field was set for all the cards: each gets it, also one that had it already.
        if (differs) {
            for (const TaskIndex task : tasks)
                changes.append(Document::ValueChange(ValueKey(task, property), text));
        }
        SignalBlocker blocker;
        blocker.add(combo);
        const int varies = combo->findText(variesText, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (varies >= 0)
            combo->removeItem(varies);
        if (combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0)
            combo->addItem(text);
        showText(combo, text);
    }

    const QString notes = m_notesEdit->toPlainText();
    // While the cards' notes differ, an empty field shows "<varies>" again: each card keeps its
    // own unless the user wrote something there.
    const bool writeNotes = m_notesEdited && !(m_notesVaried && notes.isEmpty());
    const QList<HyperLink> links = m_linksWidget->links();
    const QVariant image = m_imageCombo->currentData();
    for (const TaskIndex task : tasks) {
        if (writeNotes)
            plan->setTaskNotes(task, notes, true);
        if (m_linksEdited) {
            // While the cards' lists differ the widget holds only the links added to it; each
            // card keeps its own list and gets those links appended.
            if (!m_linksVaried)
                plan->setTaskLinks(task, links, true);
            else if (!links.isEmpty())
                plan->addTaskLinks(task, links, true);
        }
        if (m_imageEdited && image.isValid())
            plan->setTaskImage(task, image.toInt(), true);
    }
    if (!changes.isEmpty())
        plan->setValues(changes, true, this);

    // Counted once every change is stored, notes included, as the filter may look at them.
    int hidden = 0;
    for (const TaskIndex task : tasks) {
        if (!plan->taskPassesFilter(task))
            ++hidden;
    }
    if (hidden > 0)
        warnHiddenByFilter(*plan, hidden, tr("edited"));
}

TaskIndex CardsEditScrollWidget::addCard()
{
    QList<PropertyIndexAndValue> values;
    for (int row = 0; row < m_valueCombos.size(); ++row)
        values.append(PropertyIndexAndValue(row + 1, m_valueCombos.at(row)->currentText()));
    const QVariant image = m_imageCombo->currentData();
    return doc()->addTaskWithValues(values, m_notesEdit->toPlainText(), m_linksWidget->links(),
                                    image.isValid() ? image.toInt() : -1, true);
}

void CardsEditScrollWidget::setImage(int imageIndex)
{
    // A loaded picture is no choice of the user's.
    SignalBlocker blocker;
    blocker.add(m_imageCombo);
    const int entry = m_imageCombo->findData(imageIndex, Qt::UserRole, Qt::MatchExactly);
    m_imageCombo->setCurrentIndex(entry >= 0 ? entry : 0);
}

bool CardsEditScrollWidget::firstImageEntryVaries() const
{
    return m_imageCombo->count() > 0 && !m_imageCombo->itemData(0).isValid();
}

void CardsEditScrollWidget::updateImageCombo()
{
    // The entry chosen now stays chosen: the library may have moved its picture to another
    // index or dropped it.
    const bool varied = firstImageEntryVaries() && m_imageCombo->currentIndex() == 0;
    // An entry kept as its plan file stored it has no pixmap; it is found by its bytes, as the
    // library finds its entries.
    Image chosen;
    bool chosenListed = false;
    const QVariant chosenData = m_imageCombo->currentData();
    if (chosenData.isValid()) {
        const int index = chosenData.toInt();
        chosenListed = index >= 0 && index < m_listedImages.size();
        if (chosenListed)
            chosen = m_listedImages.at(index);
    }

    SignalBlocker blocker;
    blocker.add(m_imageCombo);
    m_imageCombo->clear();
    m_listedImages = doc()->images();
    for (int index = 0; index < m_listedImages.size(); ++index) {
        const Image &image = m_listedImages.at(index);
        int position = 0;
        while (position < m_imageCombo->count() && m_imageCombo->itemText(position) < image.name())
            ++position;
        m_imageCombo->insertItem(position, QIcon(image.pixmap()), image.name(), index);
    }
    const bool hasImages = m_imageCombo->count() >= 1;
    m_imageCombo->setEnabled(hasImages);
    m_imageCombo->setToolTip(hasImages ? tr("Choose an image to appear in the card.")
                                       : tr("No images have been added to this plan yet."));
    m_imageCombo->insertItem(0, tr("<no image>"), -1);
    m_imageCombo->setCurrentIndex(0);
    if (varied) {
        m_imageCombo->insertItem(0, variesText);
        m_imageCombo->setCurrentIndex(0);
    } else if (chosenListed) {
        setImage(Image::indexOf(chosen, m_listedImages));
    }
}

void CardsEditScrollWidget::onNotesChanged()
{
    m_notesEdited = true;
}

void CardsEditScrollWidget::onHyperLinksChanged()
{
    m_linksEdited = true;
}

void CardsEditScrollWidget::onImageComboChanged()
{
    BalloonTip::markShown(QStringLiteral("tip_select_image"));
    if (!firstImageEntryVaries())
        m_imageEdited = true;
    else if (m_imageCombo->currentIndex() != 0) {
        SignalBlocker blocker;
        blocker.add(m_imageCombo);
        m_imageCombo->removeItem(0);
        m_imageEdited = true;
    }
}

void CardsEditScrollWidget::onEditImageButtonClicked()
{
    ImagesDialog dialog(this);
    dialog.exec();
    if (doc()->imageCount() >= 1 && m_imageCombo->isEnabled())
        BalloonTip::showOnce(
            m_imageCombo, QStringLiteral("tip_select_image"), tr("Select an image"),
            tr("Choose an image for the selected card(s) here."), QString(), 10000, true, false);
}

void CardsEditScrollWidget::onEditButtonClicked()
{
    const int row = m_editButtons.indexOf(qobject_cast<QToolButton *>(sender()));
    if (row < 0)
        return;
    PropertyDialog dialog(this, row + 1, PropertyDialog::PredefinedValuesPage);
    dialog.exec();
    // The property, its row and the button whose click this is may be gone now: nothing of
    // the row is touched from here on.
    const Document *plan = doc();
    if (plan->propertyCount() >= 3 && plan->taskCount() >= 11)
        BalloonTip::showOnce(m_imageButton, QStringLiteral("tip_add_images"), tr("Add images"),
                             tr("Click this button to add images to your cards."), QString(), 10000,
                             true, false);
}

void CardsEditScrollWidget::onCalendarButtonClicked()
{
    auto *button = qobject_cast<QToolButton *>(sender());
    const int row = m_calendarButtons.indexOf(button);
    if (row < 0)
        return;
    bool ok = false;
    QDate date = stringToDate(m_valueCombos.at(row)->currentText(), doc()->valueFormats(), &ok);
    if (!ok)
        date = QDate();
    auto *popup = new DatePopup(button, row + 1, date);
    popup->move(mapToGlobal(QPoint(button->x(), button->y() + button->height())));
    connect(popup, &DatePopup::datePicked, this, &CardsEditScrollWidget::onDatePicked);
    popup->show();
}

void CardsEditScrollWidget::onDatePicked(int propertyIndex, QDate date)
{
    QCoreApplication::postEvent(this, new DatePickEvent(propertyIndex, date));
}

void CardsEditScrollWidget::customEvent(QEvent *event)
{
    auto *pick = dynamic_cast<DatePickEvent *>(event);
    if (!pick)
        return;
    DelayedEditComboBox *combo = valueCombo(pick->propertyIndex - 1);
    if (!combo)
        return;
    const QString text = dateToString(pick->date, settings()->dateFormat(), true);
    if (combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0) {
        combo->addItem(text);
        m_plainCombos.remove(combo);
    }
    showText(combo, text);
}

void CardsEditScrollWidget::onChangedDoc(const Events &events)
{
    // Gathered again when next asked for, whatever changed.
    m_valueListsValid = false;
    m_plainCombos.clear();
    if (!events.any(listensTo))
        return;
    Document *plan = doc();
    for (const Event &event : events.events) {
        const int property = event.propertyIndex;
        switch (event.type) {
        case EventType::PropertyAdded: {
            if (property != m_valueCombos.size() + 1)
                break;
            addPropertyRow(property, true);
            DelayedEditComboBox *combo = m_valueCombos.last();
            SignalBlocker blocker;
            blocker.add(combo);
            fillValueCombo(combo, plan->values(property, ValueListOptions().withDefault()));
            showText(combo, plan->propertyDefaultValue(property));
            combo->setEnabled(true);
            m_calendarButtons.last()->setEnabled(true);
            break;
        }
        case EventType::PropertyChanged:
            if (QLabel *label = propertyLabel(property - 1)) {
                m_calendarButtons.at(property - 1)
                    ->setVisible(plan->propertyType(property) == PropertyType::Date);
                label->setText(tr("%1:").arg(plan->propertyName(property)));
            }
            break;
        case EventType::PropertyDeleted:
            removePropertyRow(property);
            break;
        case EventType::ImagesChanged:
            updateImageCombo();
            break;
        default:
            break;
        }
    }
}

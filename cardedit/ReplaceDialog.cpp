#include "cardedit/ReplaceDialog.h"

#include "common/app/Accessors.h"
#include "common/core/BusyCursor.h"
#include "common/core/SignalBlocker.h"
#include "common/widgets/DialogHelpers.h"
#include "common/widgets/Settings.h"
#include "model/Document.h"
#include "ui_ReplaceDialog.h"

#include <QPushButton>

namespace {

constexpr int CheckBoxMinimumHeight = 23;
constexpr int MinimumWidth = 500;

} // namespace

ReplaceDialog::ReplaceDialog(QWidget *parent, const CardSelection &selection)
    : QDialog(parent,
              Qt::Tool | Qt::WindowTitleHint | Qt::CustomizeWindowHint | Qt::WindowCloseButtonHint),
      m_ui(new Ui::ReplaceDialog),
      m_selection(selection),
      m_parentClass(parent ? parent->metaObject() : nullptr)
{
    BusyCursor busy;
    setAttribute(Qt::WA_DeleteOnClose);
    m_ui->setupUi(this);
    prepareDialog(this);

    const QList<QCheckBox *> checkBoxes {m_ui->m_caseSensitiveCheckBox, m_ui->m_propertiesCheckBox,
                                         m_ui->m_linksCheckBox, m_ui->m_linkNamesCheckBox,
                                         m_ui->m_notesCheckBox};
    const QList<QWidget *> small {m_ui->m_findLabel,          m_ui->m_replaceLabel,
                                  m_ui->m_findEdit,           m_ui->m_replaceEdit,
                                  m_ui->m_propertiesComboBox, m_ui->m_previewTextLabel};
    for (QWidget *widget : small)
        widget->setAttribute(Qt::WA_MacSmallSize);
    for (QCheckBox *box : checkBoxes) {
        box->setAttribute(Qt::WA_MacSmallSize);
        box->setMinimumHeight(CheckBoxMinimumHeight);
    }
    const Settings *preferences = settings();
    m_ui->m_caseSensitiveCheckBox->setChecked(
        preferences->read(Settings::Key::ReplaceCaseSensitive).toBool());
    m_ui->m_propertiesCheckBox->setChecked(
        preferences->read(Settings::Key::ReplaceProperties).toBool());
    m_ui->m_linksCheckBox->setChecked(preferences->read(Settings::Key::ReplaceLinkUrls).toBool());
    m_ui->m_linkNamesCheckBox->setChecked(
        preferences->read(Settings::Key::ReplaceLinkNames).toBool());
    m_ui->m_notesCheckBox->setChecked(preferences->read(Settings::Key::ReplaceNotes).toBool());

    m_replaceButton = m_ui->m_buttonBox->addButton(tr("&Replace"), QDialogButtonBox::ActionRole);
    m_replaceButton->setToolTip(tr("Replace all matches."));
    QPushButton *closeButton
        = m_ui->m_buttonBox->addButton(tr("&Close"), QDialogButtonBox::ActionRole);
    closeButton->setToolTip(tr("Close this window."));
    setTabOrder(m_ui->m_selectButton, m_replaceButton);
    setTabOrder(m_replaceButton, closeButton);

    onRefreshProperties();
    onPropertiesToggled();
    onUpdatePreview();

    connect(m_ui->m_propertiesCheckBox, &QCheckBox::toggled, this,
            &ReplaceDialog::onPropertiesToggled);
    connect(m_ui->m_findEdit, &DelayedEditLineEdit::delayedEditTextChanged, this,
            &ReplaceDialog::onUpdatePreview);
    connect(m_ui->m_replaceEdit, &DelayedEditLineEdit::delayedEditTextChanged, this,
            &ReplaceDialog::onUpdatePreview);
    for (QCheckBox *box : checkBoxes)
        connect(box, &QCheckBox::toggled, this, &ReplaceDialog::onUpdatePreview);
    connect(m_ui->m_propertiesComboBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &ReplaceDialog::onUpdatePreview);
    connect(m_ui->m_selectButton, &QPushButton::clicked, this, &ReplaceDialog::onSelect);
    connect(m_replaceButton, &QPushButton::clicked, this, &ReplaceDialog::onReplace);
    connect(closeButton, &QPushButton::clicked, this, &ReplaceDialog::reject);
    connect(doc(), &Document::changed, this, &ReplaceDialog::onChangedDoc);

    m_ui->m_findEdit->setFocus();
    setMinimumWidth(MinimumWidth);
    adjustSize();
    restoreSavedGeometry(this,
                         preferences->read(Settings::Key::ReplaceWindowGeometry).toByteArray());
}

ReplaceDialog::~ReplaceDialog()
{
    Settings *preferences = settings();
    preferences->write(Settings::Key::ReplaceCaseSensitive,
                       m_ui->m_caseSensitiveCheckBox->isChecked());
    preferences->write(Settings::Key::ReplaceProperties, m_ui->m_propertiesCheckBox->isChecked());
    preferences->write(Settings::Key::ReplaceLinkUrls, m_ui->m_linksCheckBox->isChecked());
    preferences->write(Settings::Key::ReplaceLinkNames, m_ui->m_linkNamesCheckBox->isChecked());
    preferences->write(Settings::Key::ReplaceNotes, m_ui->m_notesCheckBox->isChecked());
    preferences->write(Settings::Key::ReplaceWindowGeometry, saveGeometry());
    delete m_ui;
    // A window destroyed with its parent dies inside the parent's QWidget destructor, when
    // the parent's own part is gone already; a receiver there would run on a half-destroyed
    // object. Virtual calls then answer for the base class, which gives it away.
    if (parent() && parent()->metaObject() != m_parentClass)
        return;
    emit closing();
}

QList<TaskIndex> ReplaceDialog::runReplace(bool preview)
{
    const bool apply = !preview;
    return doc()->replaceText(
        m_ui->m_findEdit->text(), m_ui->m_replaceEdit->text(),
        m_ui->m_caseSensitiveCheckBox->isChecked() ? Qt::CaseSensitive : Qt::CaseInsensitive,
        m_ui->m_propertiesCheckBox->isChecked(), m_ui->m_propertiesComboBox->currentIndex(),
        m_ui->m_linksCheckBox->isChecked(), m_ui->m_linkNamesCheckBox->isChecked(),
        m_ui->m_notesCheckBox->isChecked(), apply, apply);
}

bool ReplaceDialog::canSelectInShownPane() const
{
    return m_selection.canSelect && m_selection.canSelect();
}

void ReplaceDialog::onUpdatePreview()
{
    BusyCursor busy;
    // Replacing a text with itself changes nothing, so nothing is searched either.
    const int count
        = m_ui->m_findEdit->text() == m_ui->m_replaceEdit->text() ? 0 : runReplace(true).size();
    m_ui->m_previewTextLabel->setText(
        tr("%1 %2 match").arg(count).arg(count == 1 ? tr("card") : tr("cards")));
    m_ui->m_selectButton->setEnabled(count > 0 && canSelectInShownPane());
    m_replaceButton->setEnabled(count > 0);
}

void ReplaceDialog::onReplace()
{
    if (m_ui->m_findEdit->text() == m_ui->m_replaceEdit->text())
        return;
    BusyCursor busy;
    // The count follows from the plan's notification.
    runReplace(false);
}

void ReplaceDialog::onSelect()
{
    BusyCursor busy;
    const QList<TaskIndex> matches = runReplace(true);
    if (m_selection.select)
        m_selection.select(matches);
}

void ReplaceDialog::onPropertiesToggled()
{
    m_ui->m_propertiesComboBox->setEnabled(m_ui->m_propertiesCheckBox->isChecked());
}

void ReplaceDialog::onRefreshProperties()
{
    QComboBox *list = m_ui->m_propertiesComboBox;
    const QString chosen = list->currentIndex() > 0 ? list->currentText() : QString();
    SignalBlocker blocker;
    blocker.add(list);
    list->clear();
    const Document *plan = doc();
    list->addItem(tr("<All>"));
    int keep = 0;
    for (int property : plan->propertyIndexes(false)) {
        list->addItem(plan->propertyName(property));
        if (keep == 0 && !chosen.isEmpty() && plan->propertyName(property) == chosen)
            keep = property;
    }
    list->setCurrentIndex(keep);
}

void ReplaceDialog::onChangedDoc(const Events &events)
{
    if (!events.any(listensTo))
        return;
    bool previewDue = false;
    for (const Event &event : events.events) {
        switch (event.type) {
        case EventType::AllChanged:
        case EventType::PropertiesReordered:
            // The list's position is the property passed to the search, so it must follow the
            // plan's order; a count from before would leave "&Replace" enabled on stale matches.
            onRefreshProperties();
            previewDue = true;
            break;
        case EventType::TaskAdded:
        case EventType::TasksDeleted:
        case EventType::ValueChanged:
        case EventType::TaskNotesChanged:
        case EventType::TaskLinksChanged:
            previewDue = true;
            break;
        case EventType::PropertyAdded:
            addProperty(event.propertyIndex);
            previewDue = true;
            break;
        case EventType::PropertyChanged:
            updateProperty(event.propertyIndex);
            previewDue = true;
            break;
        case EventType::PropertyDeleted:
            removeProperty(event.propertyIndex);
            previewDue = true;
            break;
        default:
            break;
        }
    }
    if (previewDue)
        onUpdatePreview();
}

void ReplaceDialog::addProperty(int pi)
{
    QComboBox *list = m_ui->m_propertiesComboBox;
    // Properties are appended; one that lands anywhere else would shift the list against
    // the plan, so it is listed afresh.
    if (pi != list->count()) {
        onRefreshProperties();
        return;
    }
    SignalBlocker blocker;
    blocker.add(list);
    list->addItem(doc()->propertyName(pi));
}

void ReplaceDialog::updateProperty(int pi)
{
    QComboBox *list = m_ui->m_propertiesComboBox;
    if (pi > 0 && pi < list->count())
        list->setItemText(pi, doc()->propertyName(pi));
}

void ReplaceDialog::removeProperty(int pi)
{
    QComboBox *list = m_ui->m_propertiesComboBox;
    if (pi < 1 || pi >= list->count())
        return;
    SignalBlocker blocker;
    blocker.add(list);
    if (list->currentIndex() == pi)
        list->setCurrentIndex(0);
    list->removeItem(pi);
}

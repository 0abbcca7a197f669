#include "dialogs/PreferencesDialog.h"

#include "app/Application.h"
#include "common/app/Accessors.h"
#include "common/core/SignalBlocker.h"
#include "common/widgets/DialogHelpers.h"
#include "common/widgets/MessageBoxes.h"
#include "common/widgets/Settings.h"
#include "ui_PreferencesDialog.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLocale>

namespace {

const int portableStoreIndex = 1;
const int iconGridRows = 9;

// A stored value the combo has no item for keeps the meaning the program gives it elsewhere,
// so that OK does not quietly turn it into the first item.
void selectItem(QComboBox *combo, int value, int fallback)
{
    combo->setCurrentIndex(value >= 0 && value < combo->count() ? value : fallback);
}

} // namespace

PreferencesDialog::PreferencesDialog(QWidget *parent) : PreferencesDialog(parent, {}, {}) { }

PreferencesDialog::PreferencesDialog(QWidget *parent, const QList<QAction *> &availableActions,
                                     const QList<QAction *> &shownActions)
    : QDialog(parent), m_ui(new Ui::PreferencesDialog)
{
    m_ui->setupUi(this);
    prepareDialog(this);
    m_ui->m_backupBrowseButton->setText(tr("Choose"));
    const QFormLayout::TakeRowResult hiddenRow
        = m_ui->m_formLayout->takeRow(m_ui->m_showToolbarInFullScreenModeCheckBox);
    delete hiddenRow.labelItem;
    delete hiddenRow.fieldItem;
    m_ui->m_showToolbarInFullScreenModeCheckBox->hide();

    // Everything is loaded before anything is connected, so opening the dialog never moves
    // the preferences or previews a transparency.
    QComboBox *location = m_ui->m_prefsLocationComboBox;
    location->addItem(tr("System settings (~/.config)"));
    location->addItem(tr("a portable .ini file"));
    location->setToolTip(tr("Storing these preferences in a .ini file can be useful if you want "
                            "Tavrolo to be portable (e.g. installed on a USB memory stick). \nThe "
                            ".ini file location is: %1\nSee the Tavrolo FAQ for more details.")
                             .arg(app()->iniFilePath()));
    if (settings()->isIniFormat())
        location->setCurrentIndex(portableStoreIndex);

    const QLocale system = QLocale::system();
    m_ui->m_numberFormatComboBox->addItem(tr("From operating system (e.g. 1")
                                          + system.groupSeparator() + QStringLiteral("234")
                                          + system.decimalPoint() + QStringLiteral("5)"));
    m_ui->m_numberFormatComboBox->addItem(tr("US/UK (e.g. 1,234.5)"));
    selectItem(m_ui->m_numberFormatComboBox, settings()->numberFormat(), 0);
    // Both items would read numbers alike.
    m_ui->m_numberFormatComboBox->setEnabled(system.groupSeparator() != QLatin1Char(',')
                                             || system.decimalPoint() != QLatin1Char('.'));

    loadGeneralPage();
    onBackupCheckBoxChanged();

    connect(m_ui->m_transparencySpinBox, QOverload<int>::of(&QSpinBox::valueChanged), this,
            &PreferencesDialog::onTransparencyChanged);
    connect(m_ui->m_backupCheckBox, &QCheckBox::toggled, this,
            &PreferencesDialog::onBackupCheckBoxChanged);
    connect(m_ui->m_backupBrowseButton, &QPushButton::clicked, this,
            &PreferencesDialog::onBackupBrowseFolder);
    connect(location, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &PreferencesDialog::onPrefsLocationChanged);

    buildIconGrid(availableActions, shownActions);
    buildPromptsPage();
    m_ui->m_styleLabel->hide();
    m_ui->m_styleComboBox->hide();

    m_ui->m_generalTab->adjustSize();
    adjustSize();
    restoreSavedGeometry(this, settings()->read(Settings::Key::PrefsWindowGeometry).toByteArray());
}

// The geometry goes to whichever store is current by now, also after Cancel.
PreferencesDialog::~PreferencesDialog()
{
    settings()->write(Settings::Key::PrefsWindowGeometry, saveGeometry());
    delete m_ui;
}

void PreferencesDialog::loadGeneralPage()
{
    const Settings *store = settings();
    selectItem(m_ui->m_dateFormatComboBox, store->dateFormat(), 0);
    m_ui->m_transparencySpinBox->setValue(store->windowTransparency());
    selectItem(m_ui->m_mouseWheelComboBox, store->mouseWheelBehaviour(), 0);
    m_ui->m_zoomSensitivitySlider->setValue(store->zoomSensitivity());
    m_ui->m_animationDurationSpinBox->setValue(store->animationDuration());
    m_ui->m_showTextInToolbarCheckBox->setChecked(store->showToolbarText());
    m_ui->m_showToolbarInFullScreenModeCheckBox->setChecked(store->showToolbarFullscreen());
    m_ui->m_detectChangedFileCheckBox->setChecked(store->checkPlanUpdates());
    m_ui->m_backupCheckBox->setChecked(store->backupTimedOn());
    // The range is the one the store reads the interval within, whatever the form says.
    m_ui->m_backupFrequencySpinBox->setRange(Settings::minimumBackupInterval,
                                             Settings::maximumBackupInterval);
    m_ui->m_backupFrequencySpinBox->setValue(store->backupInterval());
    m_ui->m_backupFolderEdit->setText(store->backupFolder());
    m_ui->m_backupEverySaveCheckBox->setChecked(store->backupEverySaveOn());
    // Any interval beyond the items means never.
    selectItem(m_ui->m_autoCheckUpdatesComboBox, store->autoUpdateInterval(), 3);
    selectItem(m_ui->m_styleComboBox, store->uiStyle(), 0);
    m_ui->m_suggestPropertiesNewPlanCheckBox->setChecked(store->suggestPropertiesNewPlan());
    // The toolbar shows any other size as medium.
    selectItem(m_ui->m_iconSizeComboBox, store->toolbarIconSize(), 1);
}

// Columns of nine boxes, filled top to bottom; separators and spacers get no box and leave no
// gap.
void PreferencesDialog::buildIconGrid(const QList<QAction *> &availableActions,
                                      const QList<QAction *> &shownActions)
{
    auto *row = new QHBoxLayout;
    auto *grid = new QGridLayout;
    grid->setSpacing(7);
    row->addStretch();
    row->addLayout(grid);
    row->addStretch();
    m_ui->m_verticalLayout->addLayout(row);
    m_ui->m_verticalLayout->addStretch();

    QWidget *previous = m_ui->m_showTextInToolbarCheckBox;
    int count = 0;
    for (QAction *action : availableActions) {
        if (isSpacerAction(action))
            continue;
        auto *box = new QCheckBox(action->iconText(), m_ui->m_toolbarTab);
        box->setIcon(action->icon());
        box->setIconSize(QSize(18, 18));
        box->setChecked(shownActions.contains(action));
        box->setToolTip(
            tr("Check to show the '%1' button in the toolbar.").arg(action->iconText()));
        grid->addWidget(box, count % iconGridRows, count / iconGridRows);
        setTabOrder(previous, box);
        previous = box;
        m_settingCheckBoxes.insert(box, Settings::toolbarShowKey(action));
        connect(box, &QCheckBox::toggled, this, &PreferencesDialog::onToolbarIconChanged);
        ++count;
    }
}

void PreferencesDialog::buildPromptsPage()
{
    m_warningsLayout = new QFormLayout(m_ui->m_warningsTab);
    const QString renameTip = tr("Check to show a warning window when a 'Cards' pane %1 is "
                                 "renamed.");
    addWarning("show_warning_del_property", tr("Warn on delete property"),
               tr("Check to show a warning window when a property is deleted."));
    addWarning("show_warning_del_col", tr("Warn on delete column"),
               tr("Check to show a warning window when a 'Cards' pane column is deleted."));
    addWarning("show_warning_del_row", tr("Warn on delete row"),
               tr("Check to show a warning window when a 'Cards' pane row is deleted."));
    addWarning("show_warning_rename_col", tr("Warn on rename column"), renameTip.arg(tr("column")));
    addWarning("show_warning_rename_row", tr("Warn on rename row"), renameTip.arg(tr("row")));
    addWarning("show_warning_update_stored_view_name",
               tr("Warn if renamed property in stored view name"),
               tr("Check to show a warning window when a property is renamed and a stored view "
                  "contains the old property name."));
    addWarning("show_warning_overwrite_stored_view_name", tr("Warn on overwrite named stored view"),
               tr("Check to show a warning window when a named stored view is overwritten."));
    addWarning("show_warning_overwrite_appearance_name", tr("Warn on overwrite named appearance"),
               tr("Check to show a warning window when a named appearance is overwritten."));
    addWarning("show_question_filter", tr("Warn if filtering will hide new/edited cards"),
               tr("Check to show a warning window when new/edited cards will be hidden by "
                  "filtering in the 'Cards' pane."));
    addWarning("show_info_latest_version",
               tr("Prompt if %1 version up-to-date").arg(QStringLiteral("Tavrolo")),
               tr("Check to show an information window if the current version of %1 is up to "
                  "date.")
                   .arg(QStringLiteral("Tavrolo")));
}

void PreferencesDialog::addWarning(const char *setting, const QString &text, const QString &tooltip)
{
    const QString key = QString::fromLatin1(setting);
    auto *box = new QCheckBox(text, m_ui->m_warningsTab);
    box->setChecked(settings()->value(key, true).toBool());
    box->setToolTip(tooltip);
    m_warningsLayout->addRow(QString(), box);
    m_settingCheckBoxes.insert(box, key);
}

void PreferencesDialog::accept()
{
    Settings *store = settings();
    // Whoever follows the preferences hears of each change once, after the dialog closed.
    const Settings::Batch batch(store);
    store->setNumberFormat(m_ui->m_numberFormatComboBox->currentIndex());
    store->setDateFormat(m_ui->m_dateFormatComboBox->currentIndex());
    store->setWindowTransparency(m_ui->m_transparencySpinBox->value());
    store->setMouseWheelBehaviour(m_ui->m_mouseWheelComboBox->currentIndex());
    store->setZoomSensitivity(m_ui->m_zoomSensitivitySlider->value());
    store->setAnimationDuration(m_ui->m_animationDurationSpinBox->value());
    store->setShowToolbarText(m_ui->m_showTextInToolbarCheckBox->isChecked());
    store->setShowToolbarFullscreen(m_ui->m_showToolbarInFullScreenModeCheckBox->isChecked());
    store->setCheckPlanUpdates(m_ui->m_detectChangedFileCheckBox->isChecked());
    store->setBackupTimedOn(m_ui->m_backupCheckBox->isChecked());
    store->setBackupInterval(m_ui->m_backupFrequencySpinBox->value());
    // A blank folder would put the timed backups into whatever the working folder is; without
    // the key they go to the default folder. A folder that does not exist yet is made when
    // the first backup is written.
    const QString folder = m_ui->m_backupFolderEdit->text().trimmed();
    if (folder.isEmpty())
        store->remove(Settings::keyName(Settings::Key::BackupFolder));
    else
        store->setBackupFolder(folder);
    store->setBackupEverySaveOn(m_ui->m_backupEverySaveCheckBox->isChecked());
    store->setAutoUpdateInterval(m_ui->m_autoCheckUpdatesComboBox->currentIndex());
    store->setUiStyle(m_ui->m_styleComboBox->currentIndex());
    store->setSuggestPropertiesNewPlan(m_ui->m_suggestPropertiesNewPlanCheckBox->isChecked());
    store->setToolbarIconSize(m_ui->m_iconSizeComboBox->currentIndex());
    for (auto it = m_settingCheckBoxes.cbegin(); it != m_settingCheckBoxes.cend(); ++it)
        store->setValue(it.value(), it.key()->isChecked());
    QDialog::accept();
}

void PreferencesDialog::onTransparencyChanged()
{
    setWindowOpacity((100 - m_ui->m_transparencySpinBox->value()) / 100.0);
}

void PreferencesDialog::onBackupCheckBoxChanged()
{
    const bool on = m_ui->m_backupCheckBox->isChecked();
    m_ui->m_backupFrequencySpinBox->setEnabled(on);
    m_ui->m_backupFolderEdit->setEnabled(on);
    m_ui->m_backupBrowseButton->setEnabled(on);
}

void PreferencesDialog::onBackupBrowseFolder()
{
    const QString folder = QFileDialog::getExistingDirectory(
        this, tr("Backup folder"), m_ui->m_backupFolderEdit->text(), QFileDialog::ShowDirsOnly);
    if (!folder.isEmpty())
        m_ui->m_backupFolderEdit->setText(QDir::toNativeSeparators(folder));
}

// A move that fails leaves the preferences where they were, and the combo says so.
void PreferencesDialog::onPrefsLocationChanged()
{
    QComboBox *location = m_ui->m_prefsLocationComboBox;
    const bool toPortable = location->currentIndex() == portableStoreIndex;
    const bool moved = toPortable ? app()->usePortableSettings() : app()->useSystemSettings();
    if (moved)
        return;
    const QString target = toPortable ? app()->iniFilePath() : Settings().fileName();
    criticalMessage(this,
                    tr("Cannot write to '%1'.\nMake sure the file and folder have write "
                       "permission.")
                        .arg(QDir::toNativeSeparators(target)));
    SignalBlocker blocker;
    blocker.add(location);
    location->setCurrentIndex(toPortable ? 0 : portableStoreIndex);
}

void PreferencesDialog::onToolbarIconChanged()
{
    m_toolbarChanged = true;
}

#include "common/widgets/Settings.h"

#include "common/core/FileHelpers.h"
#include "common/core/PreferencesFormat.h"
#include "common/core/Version.h"
#include "storage/StoredAppearance.h"

#include <algorithm>
#include <array>
#include <cmath>

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>

namespace {

// The transparency of dialogs is capped so that they can never fade out of sight.
const int maxWindowTransparency = 90;

struct KeyEntry
{
    Settings::Key key;
    const char *name;
    QVariant defaultValue; // invalid: no default, or one computed when read
};

// The one table of preference keys: name and default, indexed by Settings::Key.
const std::array<KeyEntry, static_cast<size_t>(Settings::Key::Count)> &keyTable()
{
    using K = Settings::Key;
    static const std::array<KeyEntry, static_cast<size_t>(K::Count)> table = {{
        {K::Geometry, "geometry", QVariant()},
        {K::WindowState, "window_state", QVariant()},
        {K::TaskWindowGeometry, "task_window_geometry", QVariant()},
        {K::PropertyWindowGeometry, "property_window_geometry", QVariant()},
        {K::Sessions, "sessions", 0},
        {K::LastUpdatedCheck, "last_updated_check", QString()},
        {K::LastPlan, "last_plan", QString()},
        {K::ShowGettingStarted, "show_getting_started", 1},
        {K::RecentDocs, "recent_docs", QStringList()},
        {K::WindowTransparency, "window_transparency", 5},
        {K::DateFormat, "date_format", 0},
        {K::NumberFormat, "number_format", 0},
        {K::Unused12, "", QVariant()},
        {K::MouseWheelBehaviour, "mouse_wheel_behaviour", 0},
        {K::ZoomSensitivity, "zoom_sensitivity", 6},
        {K::WarnOnFileHyperlink, "warn_on_file_hyperlink", false},
        {K::CheckPlanUpdates, "check_plan_updates", true},
        {K::BackupTimedOn, "backup_timed_on", true},
        {K::BackupInterval, "backup_interval", 10},
        {K::BackupFolder, "backup_folder", QVariant()},
        {K::BackupEverySaveOn, "backup_everysave_on", false},
        {K::HideQuickAdd, "hide_quick_add", true},
        {K::UiStyle, "ui_style", false},
        {K::AutoUpdateInterval, "auto_update_interval", 1},
        {K::ShowToolbarFullscreen, "show_toolbar_fullscreen", false},
        {K::ShowedEncodedExcelCsvWarning, "showed_encoded_excel_csv_warning", false},
        {K::ShowedPdfGradientWarning, "showed_pdf_gradient_warning", false},
        {K::AnimationDuration, "animation_duration", 0.8},
        {K::ShowToolbarText, "show_toolbar_text", true},
        {K::ShowTooltips, "show_tooltips", true},
        {K::ShowCardsLeftPane, "show_cards_left_pane", true},
        {K::ShowChartsLeftPane, "show_charts_left_pane", true},
        {K::ShowTableLeftPane, "show_table_left_pane", true},
        {K::SuggestPropertiesNewPlan, "suggest_properties_new_plan", false},
        {K::ShowOverlay, "show_overlay", false},
        {K::CardsAppearances, "cards_appearances", QVariant()},
        {K::StoreAppearanceInView, "store_appearance_in_view", true},
        {K::PdfPageSize, "pdf_page_size", QVariant()},
        {K::ShowedV2CardEditWarning, "showed_v2_card_edit_warning", false},
        {K::ShowWarningRenameCol, "show_warning_rename_col", true},
        {K::ShowWarningRenameRow, "show_warning_rename_row", true},
        {K::ShowWarningDelCol, "show_warning_del_col", true},
        {K::ShowWarningDelRow, "show_warning_del_row", true},
        {K::ShowWarningDelProperty, "show_warning_del_property", true},
        {K::ShowWarningUpdateStoredViewName, "show_warning_update_stored_view_name", true},
        {K::ShowWarningOverwriteStoredViewName, "show_warning_overwrite_stored_view_name", true},
        {K::ShowWarningOverwriteAppearanceName, "show_warning_overwrite_appearance_name", true},
        {K::ShowInfoLatestVersion, "show_info_latest_version", true},
        {K::ShowQuestionFilter, "show_question_filter", true},
        {K::ReplaceCaseSensitive, "replace_case_sensitive", false},
        {K::ReplaceProperties, "replace_properties", true},
        {K::ReplaceLinkUrls, "replace_link_urls", false},
        {K::ReplaceLinkNames, "replace_link_names", false},
        {K::ReplaceNotes, "replace_notes", false},
        {K::ReplaceWindowGeometry, "replace_window_geometry", QVariant()},
        {K::ToolbarIconSize, "toolbar_icon_size", 0},
        {K::LinkWindowGeometry, "link_window_geometry", QVariant()},
        {K::PrefsWindowGeometry, "prefs_window_geometry", QVariant()},
        {K::UnsavedPlanKeptAs, "unsaved_plan_kept_as", QString()},
        {K::UnsavedPlanLost, "unsaved_plan_lost", QString()},
    }};
    return table;
}

const KeyEntry &entry(Settings::Key key)
{
    const auto &table = keyTable();
    const KeyEntry &found = table.at(static_cast<size_t>(key));
    Q_ASSERT(found.key == key);
    return found;
}

bool isTableKey(Settings::Key key)
{
    return key >= Settings::Key(0) && key < Settings::Key::Count;
}

bool isValueFormat(Settings::Key key)
{
    return key == Settings::Key::DateFormat || key == Settings::Key::NumberFormat;
}

// Equal as the getters would read them: the stores give back text for what was written as a
// number or a flag once they have been read from disk.
bool sameValue(const QVariant &a, const QVariant &b)
{
    if (a.userType() == b.userType())
        return a == b;
    QVariant converted = a;
    return converted.convert(b.userType()) && converted == b;
}

// Where the platform store of the organisation and the program lives.
QString platformStoreFileName()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/Brenmoor/Tavrolo.conf");
}

} // namespace

// Opened by organisation and program name, QSettings would also open the organisation's file
// and the system's at every sync, which the program never writes nor cleans: the platform store
// is opened by its file name, as the portable file is.
Settings::Settings() : Settings(platformStoreFileName(), false) { }

Settings::Settings(const QString &fileName) : Settings(fileName, true) { }

Settings::Settings(const QString &fileName, bool iniFormat)
    : QSettings(preferencesStoreToOpen(fileName), preferencesFormat()),
      m_iniFormat(iniFormat),
      m_fileName(QFileInfo(fileName).absoluteFilePath())
{ }

Settings::~Settings() = default;

QString Settings::fileName() const
{
    return m_fileName;
}

QString Settings::setAsideFileName() const
{
    return setAsideFileNameOf(m_fileName);
}

Settings::Batch::Batch(Settings *settings) : m_settings(settings)
{
    if (m_settings)
        m_settings->beginBatch();
}

Settings::Batch::~Batch()
{
    if (m_settings)
        m_settings->endBatch();
}

QString Settings::keyName(Key key)
{
    return isTableKey(key) ? QString::fromLatin1(entry(key).name) : QString();
}

QVariant Settings::read(Key key) const
{
    if (!isTableKey(key))
        return QVariant();
    const QString name = keyName(key);
    if (contains(name))
        return value(name);
    return defaultValue(key);
}

void Settings::write(Key key, const QVariant &value)
{
    if (!isTableKey(key))
        return;
    const bool changes = !sameValue(valueInForce(key), value);
    setValue(keyName(key), value);
    switch (key) {
    case Key::DateFormat:
        m_dateFormat = value.toInt();
        break;
    case Key::NumberFormat:
        m_numberFormat = value.toInt();
        break;
    case Key::UiStyle:
        m_uiStyle = value.toInt();
        break;
    default:
        break;
    }
    if (changes)
        announce(key);
}

QVariant Settings::valueInForce(Key key) const
{
    switch (key) {
    case Key::DateFormat:
        return dateFormat();
    case Key::NumberFormat:
        return numberFormat();
    case Key::UiStyle:
        return uiStyle();
    case Key::BackupInterval:
        return backupInterval();
    case Key::BackupFolder:
        if (!contains(keyName(key)))
            return backupsFolder(false);
        return read(key);
    default:
        return read(key);
    }
}

QVector<QVariant> Settings::valuesInForce() const
{
    QVector<QVariant> values;
    values.reserve(static_cast<int>(Key::Count));
    for (int i = 0; i < static_cast<int>(Key::Count); ++i) {
        const Key key = static_cast<Key>(i);
        // Neither is a value: one is no key, the other a group.
        const bool value = key != Key::Unused12 && key != Key::CardsAppearances;
        values.append(value ? valueInForce(key) : QVariant());
    }
    return values;
}

void Settings::announceStore(const QVector<QVariant> &before)
{
    beginBatch();
    announce(Key::Store);
    const QVector<QVariant> now = valuesInForce();
    for (int i = 0; i < now.size() && i < before.size(); ++i) {
        if (!sameValue(before.at(i), now.at(i)))
            announce(static_cast<Key>(i));
    }
    endBatch();
}

void Settings::clear()
{
    const QVector<QVariant> before = valuesInForce();
    QSettings::clear();
    m_dateFormat.reset();
    m_numberFormat.reset();
    m_uiStyle.reset();
    announceStore(before);
}

// The formats are read together, so they are announced together as well: once after either
// of them, once for a batch that changes both.
void Settings::announce(Key key)
{
    if (m_batchDepth > 0) {
        if (!m_pending.contains(key))
            m_pending.append(key);
        if (isValueFormat(key) && !m_pending.contains(Key::ValueFormats))
            m_pending.append(Key::ValueFormats);
        return;
    }
    emit changed(key);
    if (isValueFormat(key))
        emit changed(Key::ValueFormats);
}

void Settings::beginBatch()
{
    ++m_batchDepth;
}

void Settings::endBatch()
{
    if (--m_batchDepth > 0)
        return;
    // A listener may write again; what it writes is announced on its own.
    const QList<Key> pending = m_pending;
    m_pending.clear();
    for (Key key : pending)
        emit changed(key);
}

QVariant Settings::defaultValue(Key key) const
{
    // Computed only when the key is absent: the backups folder is created on the way.
    switch (key) {
    case Key::BackupFolder:
        return backupsFolder(true);
    case Key::PdfPageSize:
        return defaultPdfPageSize(QLocale::system());
    default:
        return entry(key).defaultValue;
    }
}

int Settings::dateFormat() const
{
    if (!m_dateFormat)
        m_dateFormat = read(Key::DateFormat).toInt();
    return *m_dateFormat;
}

int Settings::numberFormat() const
{
    if (!m_numberFormat)
        m_numberFormat = read(Key::NumberFormat).toInt();
    return *m_numberFormat;
}

ValueFormats Settings::valueFormats() const
{
    ValueFormats formats;
    formats.dateFormat = dateFormat();
    formats.numberFormat = numberFormat();
    return formats;
}

int Settings::uiStyle() const
{
    if (!m_uiStyle)
        m_uiStyle = read(Key::UiStyle).toInt();
    return *m_uiStyle;
}

QDate Settings::lastUpdatedCheck() const
{
    return QDate::fromString(read(Key::LastUpdatedCheck).toString(), Qt::ISODate);
}

void Settings::setLastUpdatedCheck(const QDate &date)
{
    write(Key::LastUpdatedCheck, date.toString(Qt::ISODate));
}

QString Settings::backupFolder() const
{
    return QDir::toNativeSeparators(read(Key::BackupFolder).toString());
}

// Any number, however large, or none (a word reads as 0) is taken to the nearest bound.
int Settings::backupInterval() const
{
    const double minutes = read(Key::BackupInterval).toDouble();
    if (std::isnan(minutes))
        return minimumBackupInterval;
    return int(std::clamp(minutes, double(minimumBackupInterval), double(maximumBackupInterval)));
}

double Settings::windowOpacity() const
{
    const int transparency = std::clamp(windowTransparency(), 0, maxWindowTransparency);
    return 1.0 - transparency / 100.0;
}

double Settings::zoomStep() const
{
    return std::clamp(1.0 + 0.05 * zoomSensitivity(), 1.05, 2.0);
}

int Settings::autoUpdateIntervalDays(int index)
{
    switch (index) {
    case 0:
        return 1;
    case 1:
        return 7;
    case 2:
        return 30;
    default:
        return 0;
    }
}

QString Settings::installPageKey()
{
    return QStringLiteral("show_install_page_v%1%2%3")
        .arg(versionMajor)
        .arg(versionMinor)
        .arg(versionPatch);
}

bool Settings::takeShowInstallPage()
{
    const QString key = installPageKey();
    const bool show = value(key, true).toBool();
    if (show)
        setValue(key, false);
    return show;
}

namespace {

// The key of a button's name, lower case, each space and slash an underscore; the last version
// gave it the icon text as it stood, its mnemonic "&" included.
QString toolbarShowKeyOf(QString name)
{
    name = name.toLower();
    name.replace(QLatin1Char(' '), QLatin1Char('_')).replace(QLatin1Char('/'), QLatin1Char('_'));
    return QStringLiteral("toolbar_show_") + name;
}

// The text as the button shows it: each "&" marks the mnemonic letter, and "&&" stands for
// one "&".
QString withoutMnemonic(const QString &text)
{
    QString plain;
    plain.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('&') && ++i == text.size())
            break;
        plain += text.at(i);
    }
    return plain;
}

} // namespace

// The icon text without its mnemonic, so that an action keeps its key whether or not its text
// marks the mnemonic at the moment it is asked.
QString Settings::toolbarShowKey(const QAction *action)
{
    return toolbarShowKeyOf(action ? withoutMnemonic(action->iconText()) : QString());
}

// The last version keyed a button by its icon text as it stood when Preferences were saved:
// Undo's and Redo's marked their mnemonic, as their text does, once the undo state had been
// shown ("&Undo").
bool Settings::toolbarShows(const QAction *action, bool byDefault) const
{
    const QString key = toolbarShowKey(action);
    if (!action || contains(key))
        return value(key, byDefault).toBool();
    QStringList lastVersionKeys {toolbarShowKeyOf(action->iconText())};
    if (withoutMnemonic(action->text()) == withoutMnemonic(action->iconText()))
        lastVersionKeys.append(toolbarShowKeyOf(action->text()));
    for (const QString &lastVersionKey : qAsConst(lastVersionKeys)) {
        if (contains(lastVersionKey))
            return value(lastVersionKey).toBool();
    }
    return byDefault;
}

int Settings::defaultPdfPageSize(const QLocale &locale)
{
    const int a4 = 0;
    const int letter = 2;
    if (locale.country() == QLocale::UnitedKingdom)
        return a4;
    if (locale.country() == QLocale::UnitedStates)
        return letter;
    return locale.measurementSystem() == QLocale::ImperialUSSystem ? letter : a4;
}

// Stored card appearances

namespace {

struct KeyEscape
{
    QChar character;
    const char *code;
};

// Only these are escaped, so that every other name keeps the key it always had.
const KeyEscape keyEscapes[]
    = {{QLatin1Char('%'), "%25"}, {QLatin1Char('/'), "%2F"}, {QLatin1Char('\\'), "%5C"}};

QString escapeAppearanceName(const QString &name)
{
    QString key;
    key.reserve(name.size());
    for (const QChar c : name) {
        const auto escape = std::find_if(std::begin(keyEscapes), std::end(keyEscapes),
                                         [c](const KeyEscape &e) { return e.character == c; });
        if (escape == std::end(keyEscapes))
            key += c;
        else
            key += QLatin1String(escape->code);
    }
    return key;
}

// Decodes only the escapes above; any other percent sign stays as it was stored.
QString unescapeAppearanceKey(const QString &key)
{
    QString name;
    name.reserve(key.size());
    for (int i = 0; i < key.size(); ++i) {
        const QString code = key.mid(i, 3).toUpper();
        const auto escape
            = std::find_if(std::begin(keyEscapes), std::end(keyEscapes),
                           [&code](const KeyEscape &e) { return code == QLatin1String(e.code); });
        if (escape == std::end(keyEscapes)) {
            name += key.at(i);
        } else {
            name += escape->character;
            i += 2;
        }
    }
    return name;
}

} // namespace

void Settings::setCardsAppearance(const QString &name, const CardsAppearance &appearance)
{
    m_cardsAppearances.insert(name, appearance);
}

void Settings::removeCardsAppearance(const QString &name)
{
    m_cardsAppearances.remove(name);
}

bool Settings::hasCardsAppearance(const QString &name) const
{
    return m_cardsAppearances.contains(name);
}

QStringList Settings::cardsAppearanceNames() const
{
    return m_cardsAppearances.keys();
}

CardsAppearance Settings::cardsAppearance(const QString &name) const
{
    return m_cardsAppearances.value(name, CardsAppearance());
}

QString Settings::findCardsAppearanceName(const CardsAppearance &appearance) const
{
    for (auto it = m_cardsAppearances.constBegin(); it != m_cardsAppearances.constEnd(); ++it) {
        if (it.value() == appearance)
            return it.key();
    }
    return QString();
}

QString Settings::cardsAppearanceKey(const QString &name)
{
    return QStringLiteral("%1/%2").arg(keyName(Key::CardsAppearances), escapeAppearanceName(name));
}

void Settings::loadCardsAppearances()
{
    m_cardsAppearances.clear();
    const QString group = keyName(Key::CardsAppearances);
    const QStringList keys = storedCardsAppearanceKeys();
    for (const QString &key : keys) {
        m_cardsAppearances.insert(unescapeAppearanceKey(key),
                                  readCardsAppearanceAt(group + QLatin1Char('/') + key));
    }
    if (!m_cardsAppearances.isEmpty())
        return;
    CardsAppearance light;
    light.setDefaults();
    CardsAppearance dark;
    dark.setDarkDefaults();
    setCardsAppearance(QStringLiteral("Default (light)"), light);
    setCardsAppearance(QStringLiteral("Default (dark)"), dark);
}

void Settings::saveCardsAppearances()
{
    remove(keyName(Key::CardsAppearances));
    for (auto it = m_cardsAppearances.constBegin(); it != m_cardsAppearances.constEnd(); ++it)
        writeCardsAppearance(it.key(), it.value());
}

QStringList Settings::storedCardsAppearanceNames()
{
    QStringList names = storedCardsAppearanceKeys();
    for (QString &name : names)
        name = unescapeAppearanceKey(name);
    return names;
}

// Every key of the group, also those inside sub-groups: earlier versions stored a name
// holding "/" as a sub-group, and reading those back recovers the appearance.
QStringList Settings::storedCardsAppearanceKeys()
{
    beginGroup(keyName(Key::CardsAppearances));
    const QStringList keys = allKeys();
    endGroup();
    return keys;
}

CardsAppearance Settings::readCardsAppearance(const QString &name) const
{
    return readCardsAppearanceAt(cardsAppearanceKey(name));
}

CardsAppearance Settings::readCardsAppearanceAt(const QString &key) const
{
    return storedAppearanceFromText(value(key, QString()).toString());
}

void Settings::writeCardsAppearance(const QString &name, const CardsAppearance &appearance)
{
    setValue(cardsAppearanceKey(name), storedAppearanceText(appearance));
}

#pragma once

#include "common/core/UiStyle.h"
#include "common/core/ValueFormats.h"
#include "model/CardsAppearance.h"

#include <optional>

#include <QDate>
#include <QList>
#include <QMap>
#include <QPointer>
#include <QSettings>
#include <QString>
#include <QVariant>
#include <QVector>

class QAction;
class QLocale;

// Every user preference, in the platform store or in the portable INI file, and the one place
// each of them lives: whoever follows a preference listens to changed() and reads it here
// again, keeping no copy. Each typed getter reads the live store and falls back on the one
// default of the key table in Settings.cpp; only the date and number formats and the
// user-interface style are cached, because the value parsers consult the formats for every
// value they handle and the table asks for the style for every cell it colours.
class Settings : public QSettings
{
    Q_OBJECT

public:
    // Ids of the key table; the names and defaults live in Settings.cpp.
    enum class Key {
        Geometry,
        WindowState,
        TaskWindowGeometry,
        PropertyWindowGeometry,
        Sessions,
        LastUpdatedCheck,
        LastPlan,
        ShowGettingStarted,
        RecentDocs,
        WindowTransparency,
        DateFormat,
        NumberFormat,
        Unused12,
        MouseWheelBehaviour,
        ZoomSensitivity,
        WarnOnFileHyperlink,
        CheckPlanUpdates,
        BackupTimedOn,
        BackupInterval,
        BackupFolder,
        BackupEverySaveOn,
        HideQuickAdd,
        UiStyle,
        AutoUpdateInterval,
        ShowToolbarFullscreen,
        ShowedEncodedExcelCsvWarning,
        ShowedPdfGradientWarning,
        AnimationDuration,
        ShowToolbarText,
        ShowTooltips,
        ShowCardsLeftPane,
        ShowChartsLeftPane,
        ShowTableLeftPane,
        SuggestPropertiesNewPlan,
        ShowOverlay,
        CardsAppearances,
        StoreAppearanceInView,
        PdfPageSize,
        ShowedV2CardEditWarning,
        ShowWarningRenameCol,
        ShowWarningRenameRow,
        ShowWarningDelCol,
        ShowWarningDelRow,
        ShowWarningDelProperty,
        ShowWarningUpdateStoredViewName,
        ShowWarningOverwriteStoredViewName,
        ShowWarningOverwriteAppearanceName,
        ShowInfoLatestVersion,
        ShowQuestionFilter,
        ReplaceCaseSensitive,
        ReplaceProperties,
        ReplaceLinkUrls,
        ReplaceLinkNames,
        ReplaceNotes,
        ReplaceWindowGeometry,
        ToolbarIconSize,
        LinkWindowGeometry,
        PrefsWindowGeometry,
        // Where a quit from outside kept the plan shown that its file would not take, until the
        // next start has said so.
        UnsavedPlanKeptAs,
        // The plan file whose plan such a quit could keep nowhere, until the next start has said
        // so.
        UnsavedPlanLost,
        Count,
        // Announced by changed() but no key of the table:
        // the date or the number format or both, once for each batch that changes them;
        ValueFormats,
        // every key at once: the store was emptied, or the preferences moved to this store.
        Store
    };
    Q_ENUM(Key)

    // Holds back the announcements of what is written while it lives: each key that changed
    // is announced once, when the outermost batch ends, so a dialog that writes every
    // preference at once sets off each reaction once, after all of them are stored.
    class Batch
    {
    public:
        explicit Batch(Settings *settings);
        ~Batch();
        Batch(const Batch &) = delete;
        Batch &operator=(const Batch &) = delete;

    private:
        QPointer<Settings> m_settings;
    };

    // The platform store.
    Settings();
    // The portable INI file.
    explicit Settings(const QString &fileName);
    ~Settings() override;

    bool isIniFormat() const { return m_iniFormat; }
    // The store's file, also when it is no regular file and QSettings was given another name
    // to keep it as it is. It hides QSettings::fileName, which would give that name.
    QString fileName() const;
    // The file beside the store that keeps what was taken out of it unread: the lines in shapes
    // the program never writes, or the whole store when it was too large to be read.
    QString setAsideFileName() const;

    // Empty for the announcements that are no key of the table.
    static QString keyName(Key key);
    // The stored value of the key, or its default when the key is absent.
    QVariant read(Key key) const;
    // Stores the value; when it differs from the one in force, changed() announces the key.
    void write(Key key, const QVariant &value);

    // Empties the store, the cached values with it, and announces Store and then every key
    // that now reads otherwise. It hides QSettings::clear, which would leave the caches and
    // the listeners behind.
    void clear();
    // The value of every key of the table as it is in force now.
    QVector<QVariant> valuesInForce() const;
    // Announces Store, then every key whose value in force differs from the one in the list
    // valuesInForce() gave; the application calls it on the store it moved the preferences to.
    void announceStore(const QVector<QVariant> &before);

    int windowTransparency() const { return read(Key::WindowTransparency).toInt(); }
    void setWindowTransparency(int percent) { write(Key::WindowTransparency, percent); }
    int dateFormat() const;
    void setDateFormat(int format) { write(Key::DateFormat, format); }
    int numberFormat() const;
    void setNumberFormat(int format) { write(Key::NumberFormat, format); }
    // The two formats the plan reads its values with; announced together as ValueFormats.
    ValueFormats valueFormats() const;
    QDate lastUpdatedCheck() const;
    void setLastUpdatedCheck(const QDate &date);
    int mouseWheelBehaviour() const { return read(Key::MouseWheelBehaviour).toInt(); }
    void setMouseWheelBehaviour(int mode) { write(Key::MouseWheelBehaviour, mode); }
    int zoomSensitivity() const { return read(Key::ZoomSensitivity).toInt(); }
    void setZoomSensitivity(int sensitivity) { write(Key::ZoomSensitivity, sensitivity); }
    double animationDuration() const { return read(Key::AnimationDuration).toReal(); }
    void setAnimationDuration(double seconds) { write(Key::AnimationDuration, seconds); }
    bool showToolbarFullscreen() const { return read(Key::ShowToolbarFullscreen).toBool(); }
    void setShowToolbarFullscreen(bool on) { write(Key::ShowToolbarFullscreen, on); }
    bool showToolbarText() const { return read(Key::ShowToolbarText).toBool(); }
    void setShowToolbarText(bool on) { write(Key::ShowToolbarText, on); }
    bool checkPlanUpdates() const { return read(Key::CheckPlanUpdates).toBool(); }
    void setCheckPlanUpdates(bool on) { write(Key::CheckPlanUpdates, on); }
    bool showTooltips() const { return read(Key::ShowTooltips).toBool(); }
    void setShowTooltips(bool on) { write(Key::ShowTooltips, on); }
    bool showOverlay() const { return read(Key::ShowOverlay).toBool(); }
    void setShowOverlay(bool on) { write(Key::ShowOverlay, on); }
    bool backupTimedOn() const { return read(Key::BackupTimedOn).toBool(); }
    void setBackupTimedOn(bool on) { write(Key::BackupTimedOn, on); }
    // Minutes between timed backups, within the range the Preferences dialog offers whatever
    // the store holds: nought would back up without pause, and too many minutes overflow the
    // timer's milliseconds.
    static constexpr int minimumBackupInterval = 5;
    static constexpr int maximumBackupInterval = 240;
    int backupInterval() const;
    void setBackupInterval(int minutes) { write(Key::BackupInterval, minutes); }
    QString backupFolder() const;
    void setBackupFolder(const QString &folder) { write(Key::BackupFolder, folder); }
    bool backupEverySaveOn() const { return read(Key::BackupEverySaveOn).toBool(); }
    void setBackupEverySaveOn(bool on) { write(Key::BackupEverySaveOn, on); }
    bool hideQuickAdd() const { return read(Key::HideQuickAdd).toBool(); }
    void setHideQuickAdd(bool on) { write(Key::HideQuickAdd, on); }
    int autoUpdateInterval() const { return read(Key::AutoUpdateInterval).toInt(); }
    void setAutoUpdateInterval(int index) { write(Key::AutoUpdateInterval, index); }
    // A UiStyle code; cached.
    int uiStyle() const;
    void setUiStyle(int style) { write(Key::UiStyle, style); }
    bool showCardsLeftPane() const { return read(Key::ShowCardsLeftPane).toBool(); }
    void setShowCardsLeftPane(bool on) { write(Key::ShowCardsLeftPane, on); }
    bool showChartsLeftPane() const { return read(Key::ShowChartsLeftPane).toBool(); }
    void setShowChartsLeftPane(bool on) { write(Key::ShowChartsLeftPane, on); }
    bool showTableLeftPane() const { return read(Key::ShowTableLeftPane).toBool(); }
    void setShowTableLeftPane(bool on) { write(Key::ShowTableLeftPane, on); }
    bool suggestPropertiesNewPlan() const { return read(Key::SuggestPropertiesNewPlan).toBool(); }
    void setSuggestPropertiesNewPlan(bool on) { write(Key::SuggestPropertiesNewPlan, on); }
    bool storeAppearanceInView() const { return read(Key::StoreAppearanceInView).toBool(); }
    void setStoreAppearanceInView(bool on) { write(Key::StoreAppearanceInView, on); }
    int toolbarIconSize() const { return read(Key::ToolbarIconSize).toInt(); }
    void setToolbarIconSize(int size) { write(Key::ToolbarIconSize, size); }
    int pdfPageSize() const { return read(Key::PdfPageSize).toInt(); }
    void setPdfPageSize(int pageSizeId) { write(Key::PdfPageSize, pageSizeId); }

    // Opacity of the dialogs; never so low that a hand-edited store hides them.
    double windowOpacity() const;
    double zoomStep() const;
    static int autoUpdateIntervalDays(int index);
    // True once per program version: the first call of a version stores false.
    bool takeShowInstallPage();
    // The key takeShowInstallPage reads: "show_install_page_v241" for version 2.4.1.
    static QString installPageKey();
    // The key of an action's toolbar button, from its icon text without the mnemonic "&".
    static QString toolbarShowKey(const QAction *action);
    // Whether the toolbar shows the action: its key, else a key the last version wrote for it
    // (its icon text or its text with the mnemonic "&"), else the default.
    bool toolbarShows(const QAction *action, bool byDefault) const;
    static int defaultPdfPageSize(const QLocale &locale);

    // Named Cards appearances kept apart from any plan, ordered by name (case-sensitive). They
    // change in memory only; loadCardsAppearances and saveCardsAppearances move them between
    // memory and the store, one line of XML text per name in the group "cards_appearances".
    void setCardsAppearance(const QString &name, const CardsAppearance &appearance);
    void removeCardsAppearance(const QString &name);
    bool hasCardsAppearance(const QString &name) const;
    QStringList cardsAppearanceNames() const;
    // The default appearance for an unknown name.
    CardsAppearance cardsAppearance(const QString &name) const;
    // The first name, in name order, whose appearance equals the given one; empty for none.
    QString findCardsAppearanceName(const CardsAppearance &appearance) const;
    // The key of one stored appearance. "/" and "\" would open a sub-group that the next
    // load does not list, so they are percent-encoded, and "%" with them; other names are
    // their own key.
    static QString cardsAppearanceKey(const QString &name);
    // Replaces the appearances in memory by those of the store; when the store holds none,
    // by the two built-in ones, "Default (light)" and "Default (dark)".
    void loadCardsAppearances();
    // Replaces every appearance of the store by those in memory.
    void saveCardsAppearances();
    // The names the store holds.
    QStringList storedCardsAppearanceNames();
    // The stored appearance of the name; the default one when it is missing or unreadable.
    CardsAppearance readCardsAppearance(const QString &name) const;
    void writeCardsAppearance(const QString &name, const CardsAppearance &appearance);

signals:
    // A key whose value in force changed, or one of the announcements after Count. Listeners
    // read the new value from this object (or, after Store, from the one settings() gives).
    void changed(Settings::Key key);

private:
    Settings(const QString &fileName, bool iniFormat);

    CardsAppearance readCardsAppearanceAt(const QString &key) const;
    QStringList storedCardsAppearanceKeys();

    QVariant defaultValue(Key key) const;
    // What the getter of the key gives, without making the default backups folder on the way.
    QVariant valueInForce(Key key) const;
    void announce(Key key);
    void beginBatch();
    void endBatch();

    bool m_iniFormat;
    QString m_fileName;
    mutable std::optional<int> m_numberFormat;
    mutable std::optional<int> m_dateFormat;
    mutable std::optional<int> m_uiStyle;
    int m_batchDepth = 0;
    // The keys changed in the open batch, in the order of their first change.
    QList<Key> m_pending;
    QMap<QString, CardsAppearance> m_cardsAppearances;
};

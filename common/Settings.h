#pragma once

#include "common/ValueFormats.h"
#include "model/CardsAppearance.h"

#include <functional>
#include <optional>

#include <QDate>
#include <QMap>
#include <QSettings>
#include <QString>
#include <QVariant>

class QAction;
class QLocale;

// Every user preference, in the platform store or in the portable INI file. Each typed
// getter reads the live store and falls back on the one default of the key table in
// Settings.cpp; only the date and number formats are cached, because the value parsers
// consult them for every value they handle.
class Settings : public QSettings
{
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
        Count
    };

    // The platform store.
    Settings();
    // The portable INI file.
    explicit Settings(const QString &fileName);
    ~Settings() override;

    bool isIniFormat() const { return m_iniFormat; }

    static QString keyName(Key key);
    // The stored value of the key, or its default when the key is absent.
    QVariant read(Key key) const;
    void write(Key key, const QVariant &value);

    int windowTransparency() const { return read(Key::WindowTransparency).toInt(); }
    void setWindowTransparency(int percent) { write(Key::WindowTransparency, percent); }
    int dateFormat() const;
    void setDateFormat(int format);
    int numberFormat() const;
    void setNumberFormat(int format);
    // The two formats the plan reads its values with.
    ValueFormats valueFormats() const;
    // Told the formats in force after each of the two setters above; the application passes
    // them on to the plan.
    void setValueFormatsObserver(std::function<void(const ValueFormats &)> observer);
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
    int backupInterval() const { return read(Key::BackupInterval).toInt(); }
    void setBackupInterval(int minutes) { write(Key::BackupInterval, minutes); }
    QString backupFolder() const;
    void setBackupFolder(const QString &folder) { write(Key::BackupFolder, folder); }
    bool backupEverySaveOn() const { return read(Key::BackupEverySaveOn).toBool(); }
    void setBackupEverySaveOn(bool on) { write(Key::BackupEverySaveOn, on); }
    bool hideQuickAdd() const { return read(Key::HideQuickAdd).toBool(); }
    void setHideQuickAdd(bool on) { write(Key::HideQuickAdd, on); }
    int autoUpdateInterval() const { return read(Key::AutoUpdateInterval).toInt(); }
    void setAutoUpdateInterval(int index) { write(Key::AutoUpdateInterval, index); }
    int uiStyle() const { return read(Key::UiStyle).toInt(); }
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
    static QString toolbarShowKey(const QAction *action);
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

private:
    CardsAppearance readCardsAppearanceAt(const QString &key) const;
    QStringList storedCardsAppearanceKeys();

    QVariant defaultValue(Key key) const;

    bool m_iniFormat;
    mutable std::optional<int> m_numberFormat;
    mutable std::optional<int> m_dateFormat;
    std::function<void(const ValueFormats &)> m_valueFormatsObserver;
    QMap<QString, CardsAppearance> m_cardsAppearances;
};

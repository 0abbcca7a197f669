#pragma once

#include <QDialog>
#include <QList>
#include <QMap>
#include <QString>

class QAction;
class QCheckBox;
class QFormLayout;

namespace Ui {
class PreferencesDialog;
}

// The Preferences command's window: every preference on three pages, written back on OK. The
// choice of store acts at once instead: it moves every preference between the platform store
// and the portable file, whichever button closes the dialog. The dialog never keeps the
// settings object, because that move replaces it while the dialog is open.
class PreferencesDialog : public QDialog
{
    Q_OBJECT

public:
    // Offers no toolbar actions.
    explicit PreferencesDialog(QWidget *parent);
    // Offers the given toolbar actions (the main window's), ticking those among shownActions.
    PreferencesDialog(QWidget *parent, const QList<QAction *> &availableActions,
                      const QList<QAction *> &shownActions);
    ~PreferencesDialog() override;

    // True once any toolbar box was toggled, even back again.
    bool toolbarChanged() const { return m_toolbarChanged; }

public slots:
    void accept() override;

private slots:
    void onTransparencyChanged();
    void onBackupCheckBoxChanged();
    void onBackupBrowseFolder();
    void onPrefsLocationChanged();
    void onToolbarIconChanged();
    void addWarning(const char *setting, const QString &text, const QString &tooltip);

private:
    void loadGeneralPage();
    void buildIconGrid(const QList<QAction *> &availableActions,
                       const QList<QAction *> &shownActions);
    void buildPromptsPage();

    Ui::PreferencesDialog *m_ui;
    QFormLayout *m_warningsLayout = nullptr;
    // The boolean key each toolbar and prompt box writes on OK.
    QMap<QCheckBox *, QString> m_settingCheckBoxes;
    bool m_toolbarChanged = false;
};

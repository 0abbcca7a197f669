#pragma once

#include "common/widgets/Settings.h"
#include "model/Document.h"

#include <functional>

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QString>
#include <QUrl>

class MainWindow;
class QSettings;

// The one application object: owns the open plan and the preferences store, knows the
// application folder with its portable settings file, and resolves themed icons. It passes on
// every announcement of the preferences store in use, so listeners outlive a move of the
// preferences; the plan's value formats follow the store from here.
class Application : public QApplication
{
    Q_OBJECT

public:
    Application(int &argc, char **argv);
    ~Application() override;

    Document *document() { return &m_document; }
    Settings *settings() const { return m_settings; }
    QDir appDir() const { return m_appDir; }
    QString iniFilePath() const;

    // Both moves keep the current store when the new one cannot be written.
    bool useSystemSettings();
    bool usePortableSettings();
    static void copySettings(QSettings *from, QSettings *to);

    // The main window registers itself once built and unregisters when destroyed; null
    // before and after.
    void registerMainWindow(MainWindow *window);
    void unregisterMainWindow(MainWindow *window);
    MainWindow *mainWindow() const { return m_mainWindow; }
    // What the main window does with a file the operating system asks to open, set while it
    // exists; the application object hands each request to it.
    using FileOpenHandler = std::function<void(const QUrl &url)>;
    void setFileOpenHandler(FileOpenHandler handler);
    // The path of the open plan's file as the main window holds it; empty for a plan without
    // a file and while no main window exists.
    void setPlanFileName(const QString &path);
    QString planFileName() const { return m_planFileName; }

    // The user-interface style of the preferences, a UiStyle code.
    int uiStyle() const;
    // Writes the style into the preferences; the main window follows with the panes.
    void setUiStyle(int style);
    QString iconPath(const QString &name) const;
    QIcon icon(const QString &name) const;

    // The application folder is the executable's own folder; tests and callers that keep
    // the program elsewhere point it at another folder, also before construction.
    static void setAppDirOverride(const QString &path);

    // The file of the last open request that came before the main window existed; the main
    // window opens it as its first plan and empties it.
    static QString pendingOpenPath;

signals:
    // What the current preferences store announced (Settings::changed): a key whose value in
    // force changed, ValueFormats, or Store once after the preferences moved to another store.
    void changed(Settings::Key key);

protected:
    bool event(QEvent *event) override;
    void customEvent(QEvent *event) override;

private:
    // Makes the settings object current: the plan reads its values with its formats from now
    // on, the shared widgets read it, and its announcements are passed on.
    void adoptSettings(Settings *settings);
    void onSettingChanged(Settings::Key key);

    Document m_document;
    Settings *m_settings;
    MainWindow *m_mainWindow = nullptr;
    FileOpenHandler m_fileOpenHandler;
    QString m_planFileName;
    QDir m_appDir;
};

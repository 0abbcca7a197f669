#include "app/Application.h"

#include "app/FileOpenEvent.h"
#include "common/core/BusyCursor.h"
#include "common/widgets/Settings.h"
#include "common/widgets/WidgetContext.h"

#include <QFile>
#include <QFileInfo>
#include <QFileOpenEvent>
#include <QPixmap>

namespace {

QString s_appDirOverride;

QDir defaultAppDir()
{
    if (!s_appDirOverride.isEmpty())
        return QDir(s_appDirOverride);
    return QDir(QCoreApplication::applicationDirPath());
}

const char iniFileName[] = "tavrolo.ini";
const char cardsAppearancesGroup[] = "cards_appearances";

} // namespace

Application::Application(int &argc, char **argv)
    : QApplication(argc, argv), m_document(), m_settings(nullptr), m_appDir()
{
    setAttribute(Qt::AA_DontShowIconsInMenus);
    m_appDir = defaultAppDir();
    WidgetContext::setPlan(&m_document);
    if (QFileInfo::exists(iniFilePath()))
        adoptSettings(new Settings(iniFilePath()));
    else
        adoptSettings(new Settings);
}

Application::~Application()
{
    WidgetContext::setSettings(nullptr);
    WidgetContext::setPlan(nullptr);
    delete m_settings;
    m_settings = nullptr;
}

void Application::adoptSettings(Settings *settings)
{
    m_settings = settings;
    m_document.setValueFormats(m_settings->valueFormats());
    WidgetContext::setSettings(m_settings);
    connect(m_settings, &Settings::changed, this, &Application::onSettingChanged);
}

void Application::onSettingChanged(Settings::Key key)
{
    if (key == Settings::Key::ValueFormats || key == Settings::Key::Store)
        m_document.setValueFormats(m_settings->valueFormats());
    emit changed(key);
}

void Application::registerMainWindow(MainWindow *window)
{
    m_mainWindow = window;
}

void Application::unregisterMainWindow(MainWindow *window)
{
    if (m_mainWindow != window)
        return;
    m_mainWindow = nullptr;
    m_fileOpenHandler = nullptr;
    m_planFileName.clear();
}

void Application::setFileOpenHandler(FileOpenHandler handler)
{
    m_fileOpenHandler = std::move(handler);
}

void Application::setPlanFileName(const QString &path)
{
    m_planFileName = path;
}

void Application::setAppDirOverride(const QString &path)
{
    s_appDirOverride = path;
    if (auto *application = qobject_cast<Application *>(QCoreApplication::instance()))
        application->m_appDir = defaultAppDir();
}

QString Application::iniFilePath() const
{
    return QDir::toNativeSeparators(m_appDir.absoluteFilePath(QString::fromLatin1(iniFileName)));
}

bool Application::useSystemSettings()
{
    BusyCursor busy;
    auto *next = new Settings;
    copySettings(m_settings, next);
    next->sync();
    // Only a platform store that really holds the preferences may replace the portable file.
    if (!next->isWritable() || next->status() != QSettings::NoError) {
        delete next;
        return false;
    }
    const QVector<QVariant> before = m_settings->valuesInForce();
    delete m_settings;
    adoptSettings(next);
    m_settings->loadCardsAppearances();
    QFile::remove(iniFilePath());
    m_settings->announceStore(before);
    return true;
}

bool Application::usePortableSettings()
{
    BusyCursor busy;
    auto *next = new Settings(iniFilePath());
    if (!next->isWritable()) {
        delete next;
        return false;
    }
    copySettings(m_settings, next);
    next->sync();
    if (next->status() != QSettings::NoError) {
        delete next;
        return false;
    }
    const QVector<QVariant> before = m_settings->valuesInForce();
    delete m_settings;
    adoptSettings(next);
    m_settings->loadCardsAppearances();
    m_settings->announceStore(before);
    return true;
}

void Application::copySettings(QSettings *from, QSettings *to)
{
    // Stored appearances deleted in one store must not come back from the other.
    to->remove(QString::fromLatin1(cardsAppearancesGroup));
    const QStringList keys = from->allKeys();
    for (const QString &key : keys)
        to->setValue(key, from->value(key));
}

int Application::uiStyle() const
{
    return m_settings->uiStyle();
}

void Application::setUiStyle(int style)
{
    m_settings->setUiStyle(style);
}

QString Application::iconPath(const QString &name) const
{
    return (uiStyle() == UiStyle::Dark ? QStringLiteral(":/pngs/dark/") : QStringLiteral(":/pngs/"))
        + name;
}

QIcon Application::icon(const QString &name) const
{
    const QString path = iconPath(name);
    QIcon result;
    result.addPixmap(QPixmap(path), QIcon::Normal, QIcon::Off);
    if (uiStyle() == UiStyle::Dark) {
        const QPixmap disabled(
            QString(path).replace(QStringLiteral(".png"), QStringLiteral("_disabled.png")));
        if (!disabled.isNull())
            result.addPixmap(disabled, QIcon::Disabled, QIcon::Off);
    }
    return result;
}

QString Application::pendingOpenPath;

// A request that comes while the window is being built would be lost, so it is kept for the
// window's first plan; once the window exists it is handed on at once.
bool Application::event(QEvent *event)
{
    auto *request
        = event->type() == QEvent::FileOpen ? dynamic_cast<QFileOpenEvent *>(event) : nullptr;
    if (!request)
        return QApplication::event(event);
    if (m_mainWindow) {
        FileOpenEvent open(request->url());
        QCoreApplication::sendEvent(this, &open);
        return true;
    }
    pendingOpenPath = request->file();
    return QApplication::event(event);
}

// The main window opens the requested file as it would a dropped one, and raises itself when
// minimised.
void Application::customEvent(QEvent *event)
{
    if (event->type() != FileOpenEvent::Type || !m_mainWindow)
        return;
    event->accept();
    if (m_fileOpenHandler)
        m_fileOpenHandler(static_cast<const FileOpenEvent *>(event)->url);
}

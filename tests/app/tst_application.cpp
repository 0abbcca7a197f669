#include "app/Application.h"
#include "common/app/Accessors.h"
#include "common/widgets/Settings.h"
#include "common/widgets/WidgetContext.h"
#include "harness/SettingsStores.h"
#include "harness/TestMain.h"

#include <memory>

#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>

// Each test starts on the platform store with the application folder in a fresh folder.
class TestApplication : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void failedMoveKeepsTheCurrentStore_data();
    void failedMoveKeepsTheCurrentStore();
    void deletedAppearancesDoNotComeBack_data();
    void deletedAppearancesDoNotComeBack();
    void planReadsWithTheFormatsOfThePreferences();
    void movingThePreferencesAnnouncesItOnce_data();
    void movingThePreferencesAnnouncesItOnce();
    void everyIconOfTheMainWindowLoads_data();
    void everyIconOfTheMainWindowLoads();

private:
    SettingsStores m_stores;
};

void TestApplication::init()
{
    QVERIFY(m_stores.start());
}

void TestApplication::cleanup()
{
    m_stores.finish();
}

void TestApplication::failedMoveKeepsTheCurrentStore_data()
{
    QTest::addColumn<bool>("toPortable");
    QTest::newRow("to the portable file") << true;
    QTest::newRow("to the platform store") << false;
}

void TestApplication::failedMoveKeepsTheCurrentStore()
{
    QFETCH(bool, toPortable);
    if (!toPortable)
        QVERIFY(app()->usePortableSettings());
    settings()->setBackupInterval(44);
    settings()->sync();
    const QString blocker = m_stores.blockStore(toPortable);
    QVERIFY(!blocker.isEmpty());
    if (toPortable)
        Application::setAppDirOverride(blocker + QStringLiteral("/app"));
    Settings *before = settings();

    QVERIFY(!(toPortable ? app()->usePortableSettings() : app()->useSystemSettings()));
    QCOMPARE(settings(), before);
    QCOMPARE(settings()->isIniFormat(), !toPortable);
    QCOMPARE(settings()->backupInterval(), 44);
    if (!toPortable)
        QCOMPARE(Settings(app()->iniFilePath()).backupInterval(), 44);
}

void TestApplication::deletedAppearancesDoNotComeBack_data()
{
    failedMoveKeepsTheCurrentStore_data();
}

void TestApplication::deletedAppearancesDoNotComeBack()
{
    QFETCH(bool, toPortable);
    const QString stale = QStringLiteral("cards_appearances/Stale");
    const QString kept = QStringLiteral("cards_appearances/Kept");
    if (toPortable) {
        Settings portable(app()->iniFilePath());
        portable.setValue(stale, QStringLiteral("<appearance/>"));
        portable.setValue(QStringLiteral("ini_only"), 1);
    } else {
        QVERIFY(app()->usePortableSettings());
        Settings platform;
        platform.setValue(stale, QStringLiteral("<appearance/>"));
    }
    settings()->remove(stale);
    settings()->setValue(kept, QStringLiteral("<appearance/>"));

    QVERIFY(toPortable ? app()->usePortableSettings() : app()->useSystemSettings());
    QCOMPARE(settings()->isIniFormat(), toPortable);
    // Moving back to the platform store takes the portable file away.
    QCOMPARE(QFileInfo::exists(app()->iniFilePath()), toPortable);
    QVERIFY(!settings()->contains(stale));
    QVERIFY(settings()->contains(kept));
    // The new store's appearances are the ones offered from now on.
    QVERIFY(settings()->hasCardsAppearance(QStringLiteral("Kept")));
    QVERIFY(!settings()->hasCardsAppearance(QStringLiteral("Stale")));
    if (toPortable)
        QCOMPARE(settings()->value(QStringLiteral("ini_only")).toInt(), 1);
}

// The plan holds its own copy of the formats; every change of the preferences, also in a store
// that took the place of another, must reach it.
void TestApplication::planReadsWithTheFormatsOfThePreferences()
{
    settings()->setDateFormat(2);
    settings()->setNumberFormat(1);
    QCOMPARE(doc()->valueFormats().dateFormat, 2);
    QCOMPARE(doc()->valueFormats().numberFormat, 1);
    QVERIFY(app()->usePortableSettings());
    settings()->setDateFormat(1);
    QCOMPARE(doc()->valueFormats().dateFormat, 1);
    QVERIFY(app()->useSystemSettings());
    QCOMPARE(doc()->valueFormats().dateFormat, 1);
    settings()->setDateFormat(0);
    settings()->setNumberFormat(0);
    QVERIFY(doc()->valueFormats() == ValueFormats());
}

void TestApplication::movingThePreferencesAnnouncesItOnce_data()
{
    QTest::addColumn<bool>("toPortable");
    QTest::addColumn<bool>("targetHoldsMore");
    QTest::newRow("to the portable file") << true << false;
    QTest::newRow("to the platform store") << false << false;
    QTest::newRow("to a portable file holding more") << true << true;
    QTest::newRow("to a platform store holding more") << false << true;
}

// A move copies every key, so normally nothing but the move itself is news; keys that only the
// target store held are read from it at once, and announced, so the panes follow them too.
void TestApplication::movingThePreferencesAnnouncesItOnce()
{
    using Key = Settings::Key;
    QFETCH(bool, toPortable);
    QFETCH(bool, targetHoldsMore);
    qRegisterMetaType<Settings::Key>();
    if (!toPortable)
        QVERIFY(app()->usePortableSettings());
    if (targetHoldsMore) {
        auto target = toPortable ? std::make_unique<Settings>(app()->iniFilePath())
                                 : std::make_unique<Settings>();
        target->setValue(QStringLiteral("date_format"), 2);
        target->setValue(QStringLiteral("ui_style"), 1);
    }
    QSignalSpy spy(app(), &Application::changed);

    QVERIFY(toPortable ? app()->usePortableSettings() : app()->useSystemSettings());
    QList<Key> expected = {Key::Store};
    if (targetHoldsMore)
        expected << Key::DateFormat << Key::ValueFormats << Key::UiStyle;
    QList<Key> announced;
    for (const QList<QVariant> &arguments : qAsConst(spy))
        announced.append(arguments.at(0).value<Key>());
    QCOMPARE(announced, expected);
    QCOMPARE(WidgetContext::settings(), settings());
    QCOMPARE(doc()->valueFormats().dateFormat, targetHoldsMore ? 2 : 0);
    QCOMPARE(app()->uiStyle(), targetHoldsMore ? 1 : 0);
    QCOMPARE(WidgetContext::uiStyle(), app()->uiStyle());
}

void TestApplication::everyIconOfTheMainWindowLoads_data()
{
    QTest::addColumn<int>("uiStyle");
    QTest::newRow("light style") << 0;
    QTest::newRow("dark style") << 1;
}

// The window asks for its icons by the names its form uses; the dark style takes them from
// its own set, each with a disabled variant.
void TestApplication::everyIconOfTheMainWindowLoads()
{
    QFETCH(int, uiStyle);
    QFile form(QStringLiteral(TAVROLO_SOURCE_DIR "/forms/MainWindow.ui"));
    QVERIFY(form.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(form.readAll());
    QStringList names;
    QRegularExpressionMatchIterator it
        = QRegularExpression(QStringLiteral(":/pngs/([^<>/\"]+\\.png)")).globalMatch(text);
    while (it.hasNext())
        names << it.next().captured(1);
    names.removeDuplicates();
    QVERIFY(names.size() >= 20);
    app()->setUiStyle(uiStyle);
    for (const QString &name : qAsConst(names)) {
        const QIcon icon = app()->icon(name);
        QVERIFY2(!icon.pixmap(32, 32).isNull(), qPrintable(name));
        if (uiStyle == 1)
            QVERIFY2(!icon.availableSizes(QIcon::Disabled).isEmpty(), qPrintable(name));
    }
    app()->setUiStyle(0);
}

TAVROLO_TEST_MAIN(TestApplication)
#include "tst_application.moc"

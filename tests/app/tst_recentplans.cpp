#include "app/PlanFileState.h"
#include "app/RecentPlans.h"
#include "common/app/Accessors.h"
#include "common/widgets/Settings.h"
#include "harness/TestMain.h"

#include <algorithm>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>

// The recent-files list on its own: each plan once, in the form last used, newest first, at
// most ten; the menu offers all but the open plan.
class TestRecentPlans : public QObject
{
    Q_OBJECT

private slots:
    void aPlanIsListedOnceNewestFirst_data();
    void aPlanIsListedOnceNewestFirst();

private:
    QString path(const QString &name) const
    {
        return QDir::toNativeSeparators(m_folder.filePath(name));
    }
    QTemporaryDir m_folder;
};

// Names in "added" are made as files, but for "missing"; "link" is a link to "a.tv".
void TestRecentPlans::aPlanIsListedOnceNewestFirst_data()
{
    QTest::addColumn<QStringList>("added");
    QTest::addColumn<QStringList>("listed");
    QTest::newRow("again") << QStringList {"a.tv", "b.tv", "a.tv"} << QStringList {"a.tv", "b.tv"};
    QTest::newRow("through a link")
        << QStringList {"a.tv", "b.tv", "link"} << QStringList {"link", "b.tv"};
    QTest::newRow("a plan not reachable now stays")
        << QStringList {"missing", "a.tv"} << QStringList {"a.tv", "missing"};
    QStringList eleven;
    for (int i = 0; i < 11; ++i)
        eleven << QStringLiteral("%1.tv").arg(i);
    QStringList tenNewest = eleven.mid(1);
    std::reverse(tenNewest.begin(), tenNewest.end());
    QTest::newRow("the ten newest") << eleven << tenNewest;
}

void TestRecentPlans::aPlanIsListedOnceNewestFirst()
{
    QFETCH(QStringList, added);
    QFETCH(QStringList, listed);
    settings()->write(Settings::Key::RecentDocs, QStringList());
    for (const QString &name : added) {
        if (name == QLatin1String("link"))
            QVERIFY(QFile::exists(path(name)) || QFile::link(path("a.tv"), path(name)));
        else if (name != QLatin1String("missing"))
            QVERIFY(QFile(path(name)).open(QIODevice::WriteOnly));
    }
    PlanFileState open;
    open.fileName = path(added.last());
    QMenu menu;
    RecentPlans recent(open, &menu, nullptr);
    recent.load();
    for (const QString &name : added)
        recent.add(path(name));
    QStringList expected;
    for (const QString &name : listed)
        expected << path(name);
    QCOMPARE(recent.entries(), expected);
    QCOMPARE(settings()->read(Settings::Key::RecentDocs).toStringList(), expected);
    // The menu: every plan but the open one, then a separator and Clear Menu.
    QStringList offered;
    for (QAction *action : menu.actions()) {
        if (!action->data().toString().isEmpty())
            offered << action->data().toString();
    }
    QCOMPARE(offered, expected.mid(1));
    QCOMPARE(menu.actions().size(), listed.size() + 1);
}

TAVROLO_TEST_MAIN(TestRecentPlans)
#include "tst_recentplans.moc"

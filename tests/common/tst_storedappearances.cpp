#include "common/widgets/Settings.h"
#include "harness/TestMain.h"
#include "model/CardsAppearance.h"

#include <memory>

#include <QTemporaryDir>

namespace {

const QString darkName = QStringLiteral("Default (dark)");

CardsAppearance darkAppearance()
{
    CardsAppearance appearance;
    appearance.setDarkDefaults();
    return appearance;
}

CardsAppearance unusualAppearance()
{
    CardsAppearance appearance;
    appearance.title = QStringLiteral("Plan <&> \"{x_property}\"\nsecond line, 100%");
    appearance.footer = QStringLiteral("Gr\u00fc\u00dfe");
    appearance.aspectRatio = 1.75;
    appearance.headerColor = QColor(1, 2, 3);
    appearance.shape = 2;
    return appearance;
}

} // namespace

class TestStoredAppearances : public QObject
{
    Q_OBJECT
private slots:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }
    void savedAppearancesComeBackAtTheNextStart_data();
    void savedAppearancesComeBackAtTheNextStart();
    void loadingFindsEveryStoredName_data();
    void loadingFindsEveryStoredName();

private:
    // A preferences file of its own for each test, standing for runs of the program.
    QString storePath() const { return m_dir->filePath(QStringLiteral("tavrolo.ini")); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestStoredAppearances::savedAppearancesComeBackAtTheNextStart_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("slash") << QStringLiteral("Red/Green");
    QTest::newRow("backslash") << QStringLiteral("C:\\cards");
    QTest::newRow("percent and code") << QStringLiteral("50%2F off");
    QTest::newRow("unicode, blanks and xml") << QStringLiteral(" Gr\u00fcn \u2605 <a & b> ");
}

void TestStoredAppearances::savedAppearancesComeBackAtTheNextStart()
{
    QFETCH(QString, name);
    {
        Settings prefs(storePath());
        prefs.loadCardsAppearances();
        prefs.setCardsAppearance(name, unusualAppearance());
        prefs.saveCardsAppearances();
    }
    Settings nextRun(storePath());
    nextRun.loadCardsAppearances();
    QCOMPARE(nextRun.cardsAppearanceNames().size(), 3);
    QVERIFY(nextRun.cardsAppearance(name) == unusualAppearance());
    QVERIFY(nextRun.cardsAppearance(darkName) == darkAppearance());
}

void TestStoredAppearances::loadingFindsEveryStoredName_data()
{
    QTest::addColumn<QStringList>("keys"); // as stored in the group "cards_appearances"
    QTest::addColumn<QStringList>("texts"); // "good" for a readable appearance
    QTest::addColumn<QStringList>("names");
    QTest::newRow("empty store offers both defaults")
        << QStringList() << QStringList() << QStringList {darkName, "Default (light)"};
    QTest::newRow("deleted defaults stay deleted")
        << QStringList {"Only"} << QStringList {"good"} << QStringList {"Only"};
    QTest::newRow("unreadable text gives the default")
        << QStringList {"Broken", "Good"} << QStringList {"<appearance><title value=", "good"}
        << QStringList {"Broken", "Good"};
    // As earlier versions stored a name holding a slash: a key inside a sub-group.
    QTest::newRow("name stored as sub-group is recovered")
        << QStringList {"Red/Green"} << QStringList {"good"} << QStringList {"Red/Green"};
}

void TestStoredAppearances::loadingFindsEveryStoredName()
{
    QFETCH(QStringList, keys);
    QFETCH(QStringList, texts);
    QFETCH(QStringList, names);
    {
        Settings prefs(storePath());
        prefs.writeCardsAppearance(QStringLiteral("x"), unusualAppearance());
        const QString good = prefs.value(Settings::cardsAppearanceKey("x")).toString();
        prefs.clear();
        for (int i = 0; i < keys.size(); ++i)
            prefs.setValue("cards_appearances/" + keys.at(i),
                           texts.at(i) == "good" ? good : texts.at(i));
    }
    Settings nextRun(storePath());
    nextRun.loadCardsAppearances();
    QCOMPARE(nextRun.cardsAppearanceNames(), names);
    for (int i = 0; i < names.size(); ++i) {
        const bool good = keys.isEmpty() ? names.at(i) == darkName : texts.at(i) == "good";
        const CardsAppearance expected = keys.isEmpty() ? darkAppearance() : unusualAppearance();
        QVERIFY(nextRun.cardsAppearance(names.at(i)) == (good ? expected : CardsAppearance()));
    }
    // Saved again, every name gets a key of its own and comes back once more.
    nextRun.saveCardsAppearances();
    nextRun.beginGroup(QStringLiteral("cards_appearances"));
    QVERIFY(nextRun.childGroups().isEmpty());
    nextRun.endGroup();
    nextRun.sync();
    Settings later(storePath());
    later.loadCardsAppearances();
    QCOMPARE(later.cardsAppearanceNames(), names);
}

TAVROLO_TEST_MAIN(TestStoredAppearances)
#include "tst_storedappearances.moc"

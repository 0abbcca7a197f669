#include "common/Accessors.h"
#include "common/Settings.h"
#include "harness/TestMain.h"
#include "model/CardsAppearance.h"

#include <QTemporaryDir>

namespace {

CardsAppearance darkAppearance()
{
    CardsAppearance appearance;
    appearance.setDarkDefaults();
    return appearance;
}

CardsAppearance titled(const QString &title)
{
    CardsAppearance appearance;
    appearance.title = title;
    return appearance;
}

void clearAppearances()
{
    const QStringList names = settings()->cardsAppearanceNames();
    for (const QString &name : names)
        settings()->removeCardsAppearance(name);
}

// A preferences file of its own for each test, standing for one run of the program.
struct Store
{
    QTemporaryDir dir;
    QString path() const { return dir.filePath(QStringLiteral("tavrolo.ini")); }
};

CardsAppearance unusualAppearance()
{
    CardsAppearance appearance;
    appearance.title = QStringLiteral("Plan <&> \"{x_property}\"\nsecond line, 100%");
    appearance.footer = QStringLiteral("Gr\u00fc\u00dfe");
    appearance.aspectRatio = 1.75;
    appearance.cardFont = QFont(QStringLiteral("Courier"));
    appearance.headersShowName = true;
    appearance.headerColor = QColor(1, 2, 3);
    appearance.backgroundColor = QColor(250, 240, 230);
    appearance.gradient = 0;
    appearance.shape = 2;
    appearance.cardFontSize = 55;
    return appearance;
}

} // namespace

class TestStoredAppearances : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void findReturnsFirstEqualName_data();
    void findReturnsFirstEqualName();
    void keysEscapeOnlyGroupSeparators_data();
    void keysEscapeOnlyGroupSeparators();
    void emptyStoreOffersBothDefaults();
    void savedAppearancesComeBackAtTheNextStart_data();
    void savedAppearancesComeBackAtTheNextStart();
    void storedTextIsOneLineOfXml();
    void deletedDefaultsStayDeleted();
    void unreadableTextGivesTheDefault();
    void nameStoredAsSubGroupIsRecovered();
};

void TestStoredAppearances::init()
{
    clearAppearances();
}

void TestStoredAppearances::findReturnsFirstEqualName_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("name");
    QTest::newRow("two equal ones") << QStringLiteral("shared") << QStringLiteral("alpha");
    QTest::newRow("one equal one") << QStringLiteral("own") << QStringLiteral("gamma");
    QTest::newRow("none equal") << QStringLiteral("nobody's") << QString();
}

void TestStoredAppearances::findReturnsFirstEqualName()
{
    QFETCH(QString, title);
    QFETCH(QString, name);
    settings()->setCardsAppearance(QStringLiteral("beta"), titled(QStringLiteral("shared")));
    settings()->setCardsAppearance(QStringLiteral("alpha"), titled(QStringLiteral("shared")));
    settings()->setCardsAppearance(QStringLiteral("gamma"), titled(QStringLiteral("own")));
    QCOMPARE(settings()->findCardsAppearanceName(titled(title)), name);
}

void TestStoredAppearances::keysEscapeOnlyGroupSeparators_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("key");
    QTest::newRow("plain") << QStringLiteral("Default (dark)")
                           << QStringLiteral("cards_appearances/Default (dark)");
    QTest::newRow("slash") << QStringLiteral("Red/Green")
                           << QStringLiteral("cards_appearances/Red%2FGreen");
    QTest::newRow("backslash") << QStringLiteral("a\\b")
                               << QStringLiteral("cards_appearances/a%5Cb");
    QTest::newRow("percent") << QStringLiteral("100%")
                             << QStringLiteral("cards_appearances/100%25");
    QTest::newRow("unicode") << QStringLiteral("Gr\u00fcn")
                             << QStringLiteral("cards_appearances/Gr\u00fcn");
}

void TestStoredAppearances::keysEscapeOnlyGroupSeparators()
{
    QFETCH(QString, name);
    QFETCH(QString, key);
    QCOMPARE(Settings::cardsAppearanceKey(name), key);
}

void TestStoredAppearances::emptyStoreOffersBothDefaults()
{
    Store store;
    Settings prefs(store.path());
    prefs.loadCardsAppearances();
    QCOMPARE(prefs.cardsAppearanceNames(),
             QStringList({QStringLiteral("Default (dark)"), QStringLiteral("Default (light)")}));
    QVERIFY(prefs.cardsAppearance(QStringLiteral("Default (dark)")) == darkAppearance());
    QVERIFY(prefs.cardsAppearance(QStringLiteral("Default (light)")) == CardsAppearance());
    // Offered, not yet stored.
    QVERIFY(prefs.storedCardsAppearanceNames().isEmpty());
}

void TestStoredAppearances::savedAppearancesComeBackAtTheNextStart_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("plain") << QStringLiteral("Mine");
    QTest::newRow("slash") << QStringLiteral("Red/Green");
    QTest::newRow("backslash") << QStringLiteral("C:\\cards");
    QTest::newRow("percent and code") << QStringLiteral("50%2F off");
    QTest::newRow("unicode and blanks") << QStringLiteral(" Gr\u00fcn \u2605 ");
    QTest::newRow("xml characters") << QStringLiteral("<a & b>");
}

void TestStoredAppearances::savedAppearancesComeBackAtTheNextStart()
{
    QFETCH(QString, name);
    Store store;
    {
        Settings prefs(store.path());
        prefs.loadCardsAppearances();
        prefs.setCardsAppearance(name, unusualAppearance());
        prefs.saveCardsAppearances();
    }
    Settings nextRun(store.path());
    nextRun.loadCardsAppearances();
    QCOMPARE(nextRun.cardsAppearanceNames().size(), 3);
    QVERIFY(nextRun.hasCardsAppearance(name));
    const CardsAppearance read = nextRun.cardsAppearance(name);
    QVERIFY(read == unusualAppearance());
    QCOMPARE(read.title, unusualAppearance().title);
    QCOMPARE(read.cardFontSize, 55);
    QVERIFY(nextRun.cardsAppearance(QStringLiteral("Default (dark)")) == darkAppearance());
}

void TestStoredAppearances::storedTextIsOneLineOfXml()
{
    Store store;
    Settings prefs(store.path());
    prefs.writeCardsAppearance(QStringLiteral("Mine"), unusualAppearance());
    const QString text
        = prefs.value(Settings::cardsAppearanceKey(QStringLiteral("Mine"))).toString();
    QVERIFY(!text.contains(QLatin1Char('\n')));
    QVERIFY(text.startsWith(QStringLiteral("<!DOCTYPE stored_appearance>")));
    QVERIFY(text.contains(QStringLiteral("<appearance>")));
    QVERIFY(text.contains(QStringLiteral("card_aspect_ratio")));
}

void TestStoredAppearances::deletedDefaultsStayDeleted()
{
    Store store;
    {
        Settings prefs(store.path());
        prefs.loadCardsAppearances();
        prefs.removeCardsAppearance(QStringLiteral("Default (dark)"));
        prefs.removeCardsAppearance(QStringLiteral("Default (light)"));
        prefs.setCardsAppearance(QStringLiteral("Only"), darkAppearance());
        prefs.saveCardsAppearances();
    }
    Settings nextRun(store.path());
    nextRun.loadCardsAppearances();
    QCOMPARE(nextRun.cardsAppearanceNames(), QStringList {QStringLiteral("Only")});
}

void TestStoredAppearances::unreadableTextGivesTheDefault()
{
    Store store;
    {
        Settings prefs(store.path());
        prefs.setValue(Settings::cardsAppearanceKey(QStringLiteral("Broken")),
                       QStringLiteral("<appearance><title value="));
        prefs.writeCardsAppearance(QStringLiteral("Good"), unusualAppearance());
    }
    Settings nextRun(store.path());
    nextRun.loadCardsAppearances();
    QCOMPARE(nextRun.cardsAppearanceNames(),
             QStringList({QStringLiteral("Broken"), QStringLiteral("Good")}));
    QVERIFY(nextRun.cardsAppearance(QStringLiteral("Broken")) == CardsAppearance());
    QVERIFY(nextRun.cardsAppearance(QStringLiteral("Good")) == unusualAppearance());
}

void TestStoredAppearances::nameStoredAsSubGroupIsRecovered()
{
    Store store;
    {
        // As earlier versions stored a name holding a slash: a key inside a sub-group.
        Settings prefs(store.path());
        prefs.writeCardsAppearance(QStringLiteral("Mine"), unusualAppearance());
        const QString text
            = prefs.value(Settings::cardsAppearanceKey(QStringLiteral("Mine"))).toString();
        prefs.clear();
        prefs.setValue(QStringLiteral("cards_appearances/Red/Green"), text);
    }
    {
        Settings nextRun(store.path());
        nextRun.loadCardsAppearances();
        QCOMPARE(nextRun.cardsAppearanceNames(), QStringList {QStringLiteral("Red/Green")});
        QVERIFY(nextRun.cardsAppearance(QStringLiteral("Red/Green")) == unusualAppearance());
        nextRun.saveCardsAppearances();
        nextRun.beginGroup(QStringLiteral("cards_appearances"));
        QVERIFY(nextRun.childGroups().isEmpty());
        nextRun.endGroup();
    }
    Settings later(store.path());
    later.loadCardsAppearances();
    QCOMPARE(later.cardsAppearanceNames(), QStringList {QStringLiteral("Red/Green")});
}

TAVROLO_TEST_MAIN(TestStoredAppearances)
#include "tst_storedappearances.moc"

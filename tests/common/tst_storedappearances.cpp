#include "common/Accessors.h"
#include "common/Settings.h"
#include "harness/TestMain.h"
#include "model/CardsAppearance.h"

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

} // namespace

class TestStoredAppearances : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void namesSortByCodeUnits();
    void storingUnderAnExistingNameReplaces();
    void unknownNameGivesDefaultWithoutAddingIt();
    void findReturnsFirstEqualName_data();
    void findReturnsFirstEqualName();
    void keysEscapeOnlyGroupSeparators_data();
    void keysEscapeOnlyGroupSeparators();
};

void TestStoredAppearances::init()
{
    clearAppearances();
}

void TestStoredAppearances::namesSortByCodeUnits()
{
    for (const char *name : {"b", "Zed", "a", "B"})
        settings()->setCardsAppearance(QString::fromLatin1(name), CardsAppearance());
    QCOMPARE(settings()->cardsAppearanceNames(),
             QStringList({QStringLiteral("B"), QStringLiteral("Zed"), QStringLiteral("a"),
                          QStringLiteral("b")}));
    QVERIFY(settings()->hasCardsAppearance(QStringLiteral("B")));
    QVERIFY(!settings()->hasCardsAppearance(QStringLiteral("z")));
}

void TestStoredAppearances::storingUnderAnExistingNameReplaces()
{
    settings()->setCardsAppearance(QStringLiteral("Mine"), titled(QStringLiteral("old")));
    settings()->setCardsAppearance(QStringLiteral("Mine"), titled(QStringLiteral("new")));
    QCOMPARE(settings()->cardsAppearanceNames(), QStringList {QStringLiteral("Mine")});
    QCOMPARE(settings()->cardsAppearance(QStringLiteral("Mine")).title, QStringLiteral("new"));
    settings()->removeCardsAppearance(QStringLiteral("Mine"));
    settings()->removeCardsAppearance(QStringLiteral("Unknown"));
    QVERIFY(settings()->cardsAppearanceNames().isEmpty());
}

void TestStoredAppearances::unknownNameGivesDefaultWithoutAddingIt()
{
    settings()->setCardsAppearance(QStringLiteral("Dark"), darkAppearance());
    QVERIFY(settings()->cardsAppearance(QStringLiteral("dark")) == CardsAppearance());
    QCOMPARE(settings()->cardsAppearanceNames(), QStringList {QStringLiteral("Dark")});
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

TAVROLO_TEST_MAIN(TestStoredAppearances)
#include "tst_storedappearances.moc"

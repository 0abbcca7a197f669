#include "common/app/Accessors.h"
#include "common/widgets/MessageBoxes.h"
#include "common/widgets/Prompts.h"
#include "common/widgets/Settings.h"
#include "harness/DocumentRecorder.h"
#include "harness/TestMain.h"
#include "model/Document.h"

#include <functional>

#include <QDialog>
#include <QMap>
#include <QTimer>

namespace {

const char deleteRowKey[] = "show_warning_del_row";
const QString dontShowAgain = QStringLiteral("Don't show this again");

void boxRow(const char *name, const QString &box, bool silenced, const QString &button, bool tick,
            bool shown, bool silencedAfter)
{
    QTest::newRow(name) << box << silenced << button << tick << shown << silencedAfter;
}

} // namespace

class TestMessageBoxes : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void boxIsShownUntilSilenced_data();
    void boxIsShownUntilSilenced();
    void hiddenByFilterWarning_data();
    void hiddenByFilterWarning();
    void boxesShowTextAsWritten_data();
    void boxesShowTextAsWritten();
    void withNoOneToAnswerNoBoxOpens_data();
    void withNoOneToAnswerNoBoxOpens();
};

// Fresh preferences and a filter on the property Cost (2).
void TestMessageBoxes::init()
{
    settings()->clear();
    doc()->clear(true);
    doc()->addProperty(QStringLiteral("Cost"), QString(), PropertyType::Automatic, QStringList(),
                       PropertyVisibility::Text, PropertyAppearance(), false);
    doc()->setFilter(true, true, true, {FilterTerm(2, MatchType::Contains, "5")}, false, false);
}

void TestMessageBoxes::boxIsShownUntilSilenced_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<bool>("silenced");
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("tick");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<bool>("silencedAfter");
    boxRow("silenced warning", "warning", true, "OK", false, false, true);
    boxRow("ticked, cancelled", "warning", false, "Cancel", true, true, true);
    boxRow("ticked, accepted", "information", false, "OK", true, true, true);
    boxRow("not ticked", "warning", false, "OK", false, true, false);
    boxRow("once, first time", "once", false, "OK", false, true, true);
    boxRow("once, again", "once", true, "OK", false, false, true);
}

void TestMessageBoxes::boxIsShownUntilSilenced()
{
    QFETCH(QString, box);
    QFETCH(bool, silenced);
    QFETCH(QString, button);
    QFETCH(bool, tick);
    QFETCH(bool, shown);
    QFETCH(bool, silencedAfter);
    const bool once = box == "once";
    // Unseen, a box answers with its default button, Cancel here.
    const int result = shown && button == "OK" ? QMessageBox::Ok : QMessageBox::Cancel;
    const QString key = once ? "showed_pdf_gradient_warning" : QString::fromLatin1(deleteRowKey);
    if (silenced)
        settings()->setValue(key, once);
    // A short wait where no box may come: the test fails instead of hanging if one does.
    ModalAnswer answer(button, tick ? QStringList {dontShowAgain} : QStringList(), {},
                       shown ? 5000 : 300);
    const auto buttons = QMessageBox::Ok | QMessageBox::Cancel;
    const QString text = QStringLiteral("Delete the row?");
    const auto withDontShow
        = box == "information" ? informationWithDontShowAgain : warningWithDontShowAgain;
    QCOMPARE(once ? warningMessageOnce(key, nullptr, text, buttons, QMessageBox::Cancel)
                  : withDontShow(nullptr, deleteRowKey, text, buttons, QMessageBox::Cancel),
             result);
    QCOMPARE(answer.answered(), shown);
    QCOMPARE(answer.shownText(), shown ? text : QString());
    QCOMPARE(settings()->value(key, !once).toBool(), once ? silencedAfter : !silencedAfter);
}

void TestMessageBoxes::hiddenByFilterWarning_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("tick");
    QTest::addColumn<bool>("filterRemoved");
    QTest::newRow("new card kept hidden") << "Hide card" << false << false;
    QTest::newRow("filter removed") << "Remove filter" << false << true;
    QTest::newRow("switched off") << "Hide card" << true << false;
}

void TestMessageBoxes::hiddenByFilterWarning()
{
    QFETCH(QString, button);
    QFETCH(bool, tick);
    QFETCH(bool, filterRemoved);
    DocumentRecorder recorder(*doc());
    {
        ModalAnswer answer(button, tick ? QStringList {dontShowAgain} : QStringList());
        warnHiddenByFilter(*doc(), 1, QStringLiteral("new"));
        QCOMPARE(answer.shownText(), QStringLiteral("1 new card is hidden by the current filter."));
    }
    QCOMPARE(doc()->filterTerms().isEmpty(), filterRemoved);
    QCOMPARE(recorder.undoTexts, filterRemoved ? QStringList {"Clear Filter"} : QStringList());
    QVERIFY(doc()->filterBasic());
    if (!tick)
        return;
    // Switched off, nothing may be shown; an answer waiting for a box would find none.
    ModalAnswer again(QStringLiteral("Remove filter"), {}, {}, 200);
    warnHiddenByFilter(*doc(), 1, QStringLiteral("new"));
    QVERIFY(!again.answered());
    QVERIFY(!doc()->filterTerms().isEmpty());
}

void TestMessageBoxes::boxesShowTextAsWritten_data()
{
    QTest::addColumn<QString>("box");
    for (const char *box : {"critical", "warning", "information", "once", "warning, don't show",
                            "information, don't show", "by icon"})
        QTest::newRow(box) << QString::fromLatin1(box);
}

// Messages quote plan text: markup in it is shown as typed, and a "%1" in it stays.
void TestMessageBoxes::boxesShowTextAsWritten()
{
    QFETCH(QString, box);
    const QString text
        = QStringLiteral("Delete the %1 card(s) with Status=<b>x</b><img src=\"x.png\">?")
              .arg(QStringLiteral("%1"));
    ModalAnswer answer(QStringLiteral("OK"));
    const QMap<QString, std::function<int()>> boxes {
        {"critical", [&] { return criticalMessage(nullptr, text); }},
        {"warning", [&] { return warningMessage(nullptr, text); }},
        {"information", [&] { return informationMessage(nullptr, text); }},
        {"once", [&] { return warningMessageOnce(QStringLiteral("showed_x"), nullptr, text); }},
        {"warning, don't show",
         [&] { return warningWithDontShowAgain(nullptr, deleteRowKey, text); }},
        {"information, don't show",
         [&] { return informationWithDontShowAgain(nullptr, deleteRowKey, text); }},
        {"by icon", [&] { return messageBox(nullptr, QMessageBox::Question, text); }}};
    QCOMPARE(boxes.value(box)(), int(QMessageBox::Ok));
    QVERIFY(answer.answered());
    QCOMPARE(answer.shownText(), text);
    QVERIFY(!answer.shownAsMarkup());
}

void TestMessageBoxes::withNoOneToAnswerNoBoxOpens_data()
{
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("defaultButton");
    QTest::addColumn<int>("answer");
    QTest::newRow("OK alone") << int(QMessageBox::Ok) << int(QMessageBox::Ok)
                              << int(QMessageBox::Ok);
    QTest::newRow("OK or Cancel") << int(QMessageBox::Ok | QMessageBox::Cancel)
                                  << int(QMessageBox::Ok) << int(QMessageBox::Cancel);
    QTest::newRow("Yes or No") << int(QMessageBox::Yes | QMessageBox::No) << int(QMessageBox::Yes)
                               << int(QMessageBox::No);
}

// While the program is ended from outside, every box answers at once, unopened, as Escape
// would; a box that remembers its answer remembers none, and one shown once is still due.
void TestMessageBoxes::withNoOneToAnswerNoBoxOpens()
{
    QFETCH(int, buttons);
    QFETCH(int, defaultButton);
    QFETCH(int, answer);
    // A box that opens is counted and closed: the test fails instead of hanging.
    int opened = 0;
    QTimer closer;
    connect(&closer, &QTimer::timeout, [&opened] {
        if (auto *box = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
            ++opened;
            box->reject();
        }
    });
    closer.start(10);
    const QString text = QStringLiteral("Go on?");
    setNoOneToAnswerBoxes(true);
    const int answered
        = messageBox(nullptr, QMessageBox::Warning, text, QMessageBox::StandardButtons(buttons),
                     QMessageBox::StandardButton(defaultButton));
    // The boxes with "Don't show this again", as their own callers build them.
    const int warned = warningWithDontShowAgain(nullptr, deleteRowKey, text,
                                                QMessageBox::StandardButtons(buttons),
                                                QMessageBox::StandardButton(defaultButton));
    const int informed = informationWithDontShowAgain(nullptr, deleteRowKey, text,
                                                      QMessageBox::StandardButtons(buttons),
                                                      QMessageBox::StandardButton(defaultButton));
    warningMessageOnce(QStringLiteral("showed_x"), nullptr, text);
    warnHiddenByFilter(*doc(), 1, QStringLiteral("new"));
    setNoOneToAnswerBoxes(false);
    QCOMPARE(opened, 0);
    QCOMPARE(answered, answer);
    QCOMPARE(warned, answer);
    QCOMPARE(informed, answer);
    QVERIFY(settings()->value(QString::fromLatin1(deleteRowKey), true).toBool());
    QVERIFY(!settings()->value(QStringLiteral("showed_x"), false).toBool());
    QVERIFY(!doc()->filterTerms().isEmpty());
}

TAVROLO_TEST_MAIN(TestMessageBoxes)
#include "tst_messageboxes.moc"

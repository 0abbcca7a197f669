#include "MainWindowFixture.h"
#include "app/Application.h"
#include "cardedit/ReplaceDialog.h"
#include "cards/CardsScene.h"
#include "common/widgets/BalloonTip.h"
#include "common/widgets/WidgetContext.h"
#include "harness/DocumentRecorder.h"
#include "harness/NamedChild.h"
#include "harness/TestMain.h"
#include "properties/PropertiesView.h"
#include "properties/PropertyDialog.h"

#include <memory>

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolBar>

namespace {

QAction *action(MainWindow &window, const char *name)
{
    return window.findChild<QAction *>(QLatin1String(name));
}

void addProperty(const QString &name, bool undoable)
{
    doc()->addProperty(name, QString(), PropertyType::Text, {}, PropertyVisibility::Text,
                       PropertyAppearance(), undoable);
}

bool tipShown(const char *key)
{
    return settings()->value(QLatin1String(key), false).toBool();
}

// What the window and the shared widgets show of the preferences they follow.
QMap<QString, QVariant> appliedPreferences(MainWindow &window)
{
    const auto *toolBar = window.findChild<QToolBar *>("m_mainToolBar");
    const auto *backup = window.findChild<QTimer *>("m_backupTimer");
    const auto *check = window.findChild<QTimer *>("m_externalCheckTimer");
    return {
        {"date format", doc()->valueFormats().dateFormat},
        {"number format", doc()->valueFormats().numberFormat},
        {"style", QVariantList {app()->uiStyle(), WidgetContext::uiStyle()}},
        {"toolbar text", toolBar->toolButtonStyle() == Qt::ToolButtonTextUnderIcon},
        {"icon size", toolBar->iconSize().width()},
        {"backup minutes", backup->isActive() ? backup->interval() / 60000 : 0},
        {"outside-change check", check->isActive()},
    };
}

QList<int> raisedEvents(const DocumentRecorder &recorder)
{
    QList<int> raised;
    for (const QList<int> &types : recorder.eventTypes())
        raised << types;
    return raised;
}

} // namespace

class TestEditCommands : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void undoAndRedoNameAndRestoreTheEdit();
    void anUndoneEditStaysUndoneOnDisk();
    void undoOfARenameGivesBackTheStoredViewNames_data();
    void undoOfARenameGivesBackTheStoredViewNames();
    void addCardIsRefusedWithoutAPropertyAndSelectsTheNewCard();
    void aNewCardHiddenByTheFilterIsNamedNew();
    void theStatusAndThePlanCommandsFollowEachChange_data();
    void theStatusAndThePlanCommandsFollowEachChange();
    void theStatusCountsTheFilterOfTheViewChosen();
    void theCardCountChoosesTheTipAfterTheCardDialog_data();
    void theCardCountChoosesTheTipAfterTheCardDialog();
    void deletingPropertiesAsksFirst_data();
    void deletingPropertiesAsksFirst();
    void preferencesApplyOnOk();
    void eachLivePreferenceTakesEffectWhenWritten_data();
    void eachLivePreferenceTakesEffectWhenWritten();
    void preferencesRaiseEachEventOnce();
    void findAndReplaceOpensOneWindow();

private:
    QString path(const QString &name) const
    {
        return QDir::toNativeSeparators(m_folder->filePath(name));
    }

    std::unique_ptr<QTemporaryDir> m_folder;
    QString m_plan; // "Plan.tv": the property Name and 3 cards
};

void TestEditCommands::init()
{
    m_folder.reset(new QTemporaryDir);
    m_plan = path("Plan.tv");
    QVERIFY(writeTestPlan(m_plan, 3));
    presetQuietStartup(m_plan);
}

void TestEditCommands::cleanup()
{
    m_folder.reset();
}

void TestEditCommands::undoAndRedoNameAndRestoreTheEdit()
{
    MainWindow window;
    QAction *undo = action(window, "m_editUndoAction");
    QAction *redo = action(window, "m_editRedoAction");
    QVERIFY(!undo->isEnabled());
    doc()->addTask(true);
    QVERIFY(undo->isEnabled());
    QCOMPARE(undo->text(), QStringLiteral("&Undo Add Card"));
    QCOMPARE(undo->iconText(), QStringLiteral("&Undo"));
    // An announced edit that changes nothing is not what Undo takes back.
    doc()->setCardsTitle(doc()->cardsTitle(), true);
    QCOMPARE(undo->text(), QStringLiteral("&Undo Add Card"));
    undo->trigger();
    QCOMPARE(doc()->taskCount(), 3);
    QVERIFY(!undo->isEnabled());
    QVERIFY(redo->isEnabled());
    QCOMPARE(redo->text(), QStringLiteral("&Redo Add Card"));
    redo->trigger();
    QCOMPARE(doc()->taskCount(), 4);
    QVERIFY(!redo->isEnabled());
    QCOMPARE(redo->text(), QStringLiteral("&Redo"));
    QCOMPARE(undo->text(), QStringLiteral("&Undo Add Card"));
    // The cards jump to a restored layout, and animate again afterwards.
    QVERIFY(window.findChild<CardsScene *>()->animate());
    // A plan opened anew starts without history.
    QVERIFY(window.openFile(m_plan, false));
    QVERIFY(!undo->isEnabled());
    QCOMPARE(undo->text(), QStringLiteral("&Undo"));
}

// Undo after the edit was saved must be saved in its turn.
void TestEditCommands::anUndoneEditStaysUndoneOnDisk()
{
    {
        MainWindow window;
        doc()->addTask(true);
        window.onIdleTimeOut();
        QCOMPARE(cardsInFile(m_plan), 4);
        QVERIFY(!window.isWindowModified());
        action(window, "m_editUndoAction")->trigger();
        QVERIFY(window.isWindowModified());
        QVERIFY(window.findChild<QTimer *>("m_idleTimer")->isActive());
        QVERIFY(window.close());
    }
    QCOMPARE(cardsInFile(m_plan), 3);
    MainWindow reopened;
    QCOMPARE(doc()->taskCount(), 3);
}

void TestEditCommands::undoOfARenameGivesBackTheStoredViewNames_data()
{
    QTest::addColumn<bool>("inTheTable");
    QTest::newRow("properties tab") << true;
    QTest::newRow("property dialog") << false;
}

// The stored views renamed after a property are part of the rename's one undo step.
void TestEditCommands::undoOfARenameGivesBackTheStoredViewNames()
{
    QFETCH(bool, inTheTable);
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    addProperty(QStringLiteral("Price"), false);
    const int price = doc()->propertyIndex(QStringLiteral("Price"));
    doc()->setXProperty(price, false);
    doc()->addStoredView(QStringLiteral("By Price"), false, false);
    doc()->setXProperty(0, false);
    doc()->addStoredView(QStringLiteral("Plain"), false, false);
    doc()->emitChanged(EventType::AllChanged);
    const auto viewNames = [] {
        QStringList names;
        for (const Slice &view : doc()->storedViews())
            names.append(view.name);
        return names;
    };
    auto *shownViews = window.findChild<QComboBox *>(QStringLiteral("m_sliceComboBox"));
    QVERIFY(shownViews);
    const auto listedViews = [shownViews] {
        QStringList names;
        for (int i = 1; i < shownViews->count(); ++i)
            names.append(shownViews->itemText(i));
        return names;
    };

    ModalAnswer offer(QStringLiteral("OK"));
    if (inTheTable) {
        window.findChild<QTabWidget *>("m_tabWidget")->setCurrentIndex(3);
        auto *view = window.findChild<PropertiesView *>();
        view->item(price - 1, 0)->setText(QStringLiteral("Cost"));
    } else {
        PropertyDialog dialog(&window, price, PropertyDialog::PredefinedValuesPage);
        child<QLineEdit>(&dialog, "m_nameEdit")->setText(QStringLiteral("Cost"));
        dialog.accept();
    }
    QVERIFY(offer.answered());
    QCOMPARE(offer.shownText(),
             QStringLiteral("Do you want to update 'Price' to 'Cost' in the names of 1 stored "
                            "view(s)?\nE.g.: 'By Price' -> 'By Cost'"));
    QCOMPARE(doc()->propertyName(price), QStringLiteral("Cost"));
    QCOMPARE(viewNames(), (QStringList {"By Cost", "Plain"}));
    QCOMPARE(listedViews(), (QStringList {"By Cost", "Plain"}));
    QAction *undo = action(window, "m_editUndoAction");
    QCOMPARE(undo->text(), QStringLiteral("&Undo Edit Property"));

    undo->trigger();
    QCOMPARE(doc()->propertyName(price), QStringLiteral("Price"));
    QCOMPARE(viewNames(), (QStringList {"By Price", "Plain"}));
    QCOMPARE(listedViews(), (QStringList {"By Price", "Plain"}));
    QVERIFY(!undo->isEnabled());

    action(window, "m_editRedoAction")->trigger();
    QCOMPARE(doc()->propertyName(price), QStringLiteral("Cost"));
    QCOMPARE(viewNames(), (QStringList {"By Cost", "Plain"}));
    QCOMPARE(listedViews(), (QStringList {"By Cost", "Plain"}));
    doc()->changeView(QStringLiteral("By Cost"), false);
    QCOMPARE(doc()->xProperty(), price);
}

void TestEditCommands::addCardIsRefusedWithoutAPropertyAndSelectsTheNewCard()
{
    MainWindow window;
    doc()->deleteProperties({1}, false);
    {
        ModalAnswer refusal(QStringLiteral("OK"));
        action(window, "m_editAddTaskAction")->trigger();
        QVERIFY(refusal.answered());
        QCOMPARE(refusal.shownClassName(), QStringLiteral("QMessageBox"));
        QCOMPARE(refusal.shownText(),
                 QStringLiteral("Add at least 1 property (e.g. \"Name\") before you add cards."));
    }
    QCOMPARE(doc()->taskCount(), 3);
    addProperty(QStringLiteral("Name"), true);
    ModalAnswer accept(QStringLiteral("OK"));
    action(window, "m_editAddTaskAction")->trigger();
    QVERIFY(accept.answered());
    QCOMPARE(accept.shownClassName(), QStringLiteral("TaskDialog"));
    QCOMPARE(doc()->taskCount(), 4);
    QCOMPARE(window.findChild<CardsScene *>()->selectedTaskIndexes(), QList<int> {3});
    QCOMPARE(action(window, "m_editUndoAction")->text(), QStringLiteral("&Undo Add Card"));
}

void TestEditCommands::aNewCardHiddenByTheFilterIsNamedNew()
{
    MainWindow window;
    doc()->setFilter(false, true, false, {FilterTerm(1, MatchType::Contains, "card")}, false,
                     false);
    ModalAnswer accept(QStringLiteral("OK"));
    ModalAnswer warning(QStringLiteral("Hide card"));
    window.addTask({}, {}, -1);
    QVERIFY(accept.answered());
    QVERIFY(warning.answered());
    QCOMPARE(warning.shownText(), QStringLiteral("1 new card is hidden by the current filter."));
}

void TestEditCommands::theStatusAndThePlanCommandsFollowEachChange_data()
{
    QTest::addColumn<int>("cards");
    QTest::addColumn<int>("hidden"); // by a filter on the cards' names
    QTest::addColumn<QString>("status");
    QTest::newRow("no card") << 0 << 0 << "0 cards";
    QTest::newRow("one card") << 1 << 0 << "1 card";
    QTest::newRow("three of ten filtered out")
        << 10 << 3 << "10 cards (7 shown, 3 hidden by filtering)";
}

// The window's card count and the commands that need two properties follow the plan, whether a
// plan is opened (a whole-plan change) or edited.
void TestEditCommands::theStatusAndThePlanCommandsFollowEachChange()
{
    QFETCH(int, cards);
    QFETCH(int, hidden);
    QFETCH(QString, status);
    QVERIFY(writeTestPlan(m_plan, cards));
    MainWindow window;
    auto *statusBar = window.findChild<QStatusBar *>();
    // Opened, before any filter.
    QCOMPARE(statusBar->currentMessage(),
             cards == 1 ? QStringLiteral("1 card") : QStringLiteral("%1 cards").arg(cards));
    QAction *order = action(window, "m_editOrderPropertiesAction");
    QVERIFY(!order->isEnabled());
    if (hidden > 0) {
        QList<FilterTerm> terms;
        for (int i = cards - hidden; i < cards; ++i)
            terms.append(FilterTerm(1, MatchType::IsNot, QStringLiteral("card %1").arg(i)));
        doc()->setFilter(false, true, false, terms, true, false);
    }
    QCOMPARE(statusBar->currentMessage(), status);
    addProperty(QStringLiteral("Status"), true);
    QVERIFY(order->isEnabled());
    action(window, "m_editUndoAction")->trigger();
    QVERIFY(!order->isEnabled());
    QCOMPARE(statusBar->currentMessage(), status);
}

// A stored view brings its own filter: choosing one counts the cards it hides, and undo
// brings the count of the view before back.
void TestEditCommands::theStatusCountsTheFilterOfTheViewChosen()
{
    QVERIFY(writeTestPlan(m_plan, 4));
    MainWindow window;
    auto *statusBar = window.findChild<QStatusBar *>();
    doc()->addStoredView(QStringLiteral("All cards"), false, false);
    doc()->setFilter(false, true, false,
                     {FilterTerm(1, MatchType::IsNot, QStringLiteral("card 3"))}, true, false);
    doc()->addStoredView(QStringLiteral("Three cards"), false, false);
    const QString filtered = QStringLiteral("4 cards (3 shown, 1 hidden by filtering)");
    QCOMPARE(statusBar->currentMessage(), filtered);

    doc()->changeView(QStringLiteral("All cards"), true);
    QCOMPARE(statusBar->currentMessage(), QStringLiteral("4 cards"));
    doc()->changeView(QStringLiteral("Three cards"), true);
    QCOMPARE(statusBar->currentMessage(), filtered);
    action(window, "m_editUndoAction")->trigger();
    QCOMPARE(statusBar->currentMessage(), QStringLiteral("4 cards"));
}

void TestEditCommands::theCardCountChoosesTheTipAfterTheCardDialog_data()
{
    QTest::addColumn<int>("cards");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("tip"); // the key set afterwards; "" for none
    QTest::newRow("3rd card") << 2 << "OK"
                              << "tip_add_property";
    QTest::newRow("2nd card") << 1 << "OK"
                              << "";
    QTest::newRow("6th card") << 5 << "OK"
                              << "tip_x_layout";
    QTest::newRow("12 cards, cancelled") << 12 << "Cancel"
                                         << "tip_no_save_button";
    QTest::newRow("13th card") << 12 << "OK"
                               << "tip_tabs";
}

void TestEditCommands::theCardCountChoosesTheTipAfterTheCardDialog()
{
    QFETCH(int, cards);
    QFETCH(QString, button);
    QFETCH(QString, tip);
    QVERIFY(writeTestPlan(m_plan, cards));
    // The start-up's own tip stays out of the way.
    settings()->setValue("tip_add_card", true);
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const char *keys[] = {"tip_add_property", "tip_x_layout", "tip_no_save_button", "tip_tabs"};
    ModalAnswer answer(button);
    window.addTask({}, {}, -1);
    QVERIFY(answer.answered());
    for (const char *key : keys)
        QCOMPARE(tipShown(key), tip == QLatin1String(key));
    if (tip.isEmpty())
        return;
    // A tip seen once is not shown again, nor replaced by another.
    BalloonTip::hideBalloon();
    ModalAnswer again(button);
    window.addTask({}, {}, -1);
    QVERIFY(again.answered());
    QVERIFY(!BalloonTip::currentBalloon());
}

void TestEditCommands::deletingPropertiesAsksFirst_data()
{
    QTest::addColumn<bool>("asked");
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("deleted");
    QTest::newRow("ok") << true << "OK" << true;
    QTest::newRow("cancel") << true << "Cancel" << false;
    QTest::newRow("switched off") << false << "" << true;
}

void TestEditCommands::deletingPropertiesAsksFirst()
{
    QFETCH(bool, asked);
    QFETCH(QString, button);
    QFETCH(bool, deleted);
    settings()->setValue("show_warning_del_property", asked);
    MainWindow window;
    addProperty(QStringLiteral("Status"), true);
    window.show();
    window.findChild<QTabWidget *>("m_tabWidget")->setCurrentIndex(3);
    auto *view = window.findChild<PropertiesView *>();
    QVERIFY(view->isVisible());
    view->selectRow(1);
    QCOMPARE(view->selectedPropertyIndexes(), QList<int> {2});
    QVERIFY(action(window, "m_editDeleteAction")->isEnabled());
    std::unique_ptr<ModalAnswer> answer;
    if (asked)
        answer.reset(new ModalAnswer(button));
    action(window, "m_editDeleteAction")->trigger();
    if (answer) {
        QVERIFY(answer->answered());
        QCOMPARE(answer->shownText(), QStringLiteral("Delete properties from all cards?"));
    }
    QCOMPARE(doc()->propertyIndex("Status") < 0, deleted);
    QCOMPARE(view->selectedPropertyIndexes().isEmpty(), deleted);
}

void TestEditCommands::preferencesApplyOnOk()
{
    MainWindow window;
    window.onCompleteStartup();
    auto *backupTimer = window.findChild<QTimer *>("m_backupTimer");
    auto *checkTimer = window.findChild<QTimer *>("m_externalCheckTimer");
    QCOMPARE(backupTimer->interval(), 10 * 60000);
    QVERIFY(checkTimer->isActive());
    ModalAnswer answer(QStringLiteral("OK"), {}, [](QWidget *dialog) {
        dialog->findChild<QSpinBox *>("m_backupFrequencySpinBox")->setValue(5);
        dialog->findChild<QComboBox *>("m_iconSizeComboBox")->setCurrentIndex(2);
        dialog->findChild<QAbstractButton *>("m_detectChangedFileCheckBox")->setChecked(false);
    });
    action(window, "m_editPreferencesAction")->trigger();
    QVERIFY(answer.answered());
    QVERIFY(backupTimer->isActive());
    QCOMPARE(backupTimer->interval(), 5 * 60000);
    QVERIFY(!checkTimer->isActive());
    QCOMPARE(window.findChild<QToolBar *>("m_mainToolBar")->iconSize(), QSize(32, 32));
}

void TestEditCommands::eachLivePreferenceTakesEffectWhenWritten_data()
{
    using Key = Settings::Key;
    QTest::addColumn<Key>("key");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("applied"); // what changes of appliedPreferences; empty: nothing
    QTest::addColumn<QVariant>("shown");
    QTest::addColumn<QList<int>>("events");
    const QList<int> relaid = {EventType::CardsLayoutChanged, EventType::ChartsSettingsChanged};
    QTest::newRow("date format") << Key::DateFormat << QVariant(2) << "date format" << QVariant(2)
                                 << relaid;
    QTest::newRow("number format")
        << Key::NumberFormat << QVariant(1) << "number format" << QVariant(1) << relaid;
    QTest::newRow("date format as it is")
        << Key::DateFormat << QVariant(0) << "" << QVariant() << QList<int> {};
    QTest::newRow("dark style") << Key::UiStyle << QVariant(1) << "style"
                                << QVariant(QVariantList {1, 1})
                                << QList<int> {EventType::UiStyleChanged};
    QTest::newRow("toolbar text off") << Key::ShowToolbarText << QVariant(false) << "toolbar text"
                                      << QVariant(false) << QList<int> {};
    QTest::newRow("large icons") << Key::ToolbarIconSize << QVariant(2) << "icon size"
                                 << QVariant(32) << QList<int> {};
    QTest::newRow("backup interval")
        << Key::BackupInterval << QVariant(5) << "backup minutes" << QVariant(5) << QList<int> {};
    // Out of the dialog's range, a hand-edited store: a timer without pause, or one whose
    // milliseconds overflow and that never starts.
    QTest::newRow("backup interval of nought")
        << Key::BackupInterval << QVariant(0) << "backup minutes" << QVariant(5) << QList<int> {};
    QTest::newRow("backup interval past the timer's range")
        << Key::BackupInterval << QVariant(35792) << "backup minutes" << QVariant(240)
        << QList<int> {};
    QTest::newRow("timed backups off") << Key::BackupTimedOn << QVariant(false) << "backup minutes"
                                       << QVariant(0) << QList<int> {};
    QTest::newRow("outside-change check off")
        << Key::CheckPlanUpdates << QVariant(false) << "outside-change check" << QVariant(false)
        << QList<int> {};
}

// Whoever writes a preference, the window follows it as the Preferences command does, and
// only what was written changes.
void TestEditCommands::eachLivePreferenceTakesEffectWhenWritten()
{
    QFETCH(Settings::Key, key);
    QFETCH(QVariant, value);
    QFETCH(QString, applied);
    QFETCH(QVariant, shown);
    QFETCH(QList<int>, events);
    MainWindow window;
    window.onCompleteStartup();
    QMap<QString, QVariant> expected = appliedPreferences(window);
    if (!applied.isEmpty()) {
        QVERIFY(expected.contains(applied));
        QVERIFY(expected.value(applied) != shown);
        expected[applied] = shown;
    }
    DocumentRecorder recorder(*doc());
    settings()->write(key, value);
    QCOMPARE(appliedPreferences(window), expected);
    QCOMPARE(raisedEvents(recorder), events);
}

// The dialog writes every preference at once; each change still takes effect once.
void TestEditCommands::preferencesRaiseEachEventOnce()
{
    MainWindow window;
    window.onCompleteStartup();
    DocumentRecorder recorder(*doc());
    ModalAnswer answer(QStringLiteral("OK"), {}, [](QWidget *dialog) {
        dialog->findChild<QComboBox *>("m_dateFormatComboBox")->setCurrentIndex(2);
        dialog->findChild<QComboBox *>("m_numberFormatComboBox")->setCurrentIndex(1);
        dialog->findChild<QComboBox *>("m_styleComboBox")->setCurrentIndex(1);
    });
    action(window, "m_editPreferencesAction")->trigger();
    QVERIFY(answer.answered());
    QCOMPARE(raisedEvents(recorder),
             (QList<int> {EventType::CardsLayoutChanged, EventType::ChartsSettingsChanged,
                          EventType::UiStyleChanged}));
    QCOMPARE(appliedPreferences(window).value("date format"), QVariant(2));
    QCOMPARE(appliedPreferences(window).value("number format"), QVariant(1));
    QCOMPARE(appliedPreferences(window).value("style"), QVariant(QVariantList {1, 1}));
}

void TestEditCommands::findAndReplaceOpensOneWindow()
{
    auto window = std::make_unique<MainWindow>();
    QAction *replace = action(*window, "m_editReplaceAction");
    replace->trigger();
    replace->trigger();
    QCOMPARE(window->findChildren<ReplaceDialog *>().size(), 1);
    QPointer<ReplaceDialog> first = window->findChild<ReplaceDialog *>();
    first->close();
    QTRY_VERIFY(!first);
    replace->trigger();
    QCOMPARE(window->findChildren<ReplaceDialog *>().size(), 1);
    // The window goes with its find-and-replace window open.
    window.reset();
}

TAVROLO_TEST_MAIN(TestEditCommands)
#include "tst_editcommands.moc"

#include "app/MainWindowFixture.h"
#include "cardedit/CardsEditScrollWidget.h"
#include "cardedit/HyperLinkWidget.h"
#include "cardedit/HyperLinkWidgetItem.h"
#include "cardedit/ReplaceDialog.h"
#include "cardedit/TaskDialog.h"
#include "cards/CardsScene.h"
#include "common/app/Accessors.h"
#include "common/widgets/DelayedEditLineEdit.h"
#include "common/widgets/Settings.h"
#include "harness/DocumentRecorder.h"
#include "harness/NamedChild.h"
#include "harness/TestMain.h"
#include "model/Document.h"
#include "storage/PlanSamples.h"
#include "table/TableView.h"

#include <algorithm>
#include <memory>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>

namespace {

enum { Title = 1, Status = 2 };

QPushButton *replaceButton(QWidget *dialog)
{
    for (QPushButton *button : dialog->findChildren<QPushButton *>()) {
        if (button->text() == QLatin1String("&Replace"))
            return button;
    }
    qFatal("no Replace button");
    return nullptr;
}

QString preview(QWidget *dialog)
{
    return child<QLabel>(dialog, "m_previewTextLabel")->text();
}

QComboBox *propertyList(QWidget *dialog)
{
    return child<QComboBox>(dialog, "m_propertiesComboBox");
}

QStringList listed(QWidget *dialog)
{
    QStringList names;
    for (int i = 0; i < propertyList(dialog)->count(); ++i)
        names.append(propertyList(dialog)->itemText(i));
    return names;
}

// Types both texts as the user does and lets the typing pause pass.
void typeTexts(QWidget *dialog, const QString &find, const QString &replacement)
{
    auto *findEdit = child<DelayedEditLineEdit>(dialog, "m_findEdit");
    auto *replaceEdit = child<DelayedEditLineEdit>(dialog, "m_replaceEdit");
    findEdit->setText(find);
    replaceEdit->setText(replacement);
    findEdit->flush();
    replaceEdit->flush();
}

// Title and Status; the last card has notes and an empty title.
void makePlan(Document &plan)
{
    plan.clear(false);
    for (const char *name : {"Title", "Status"})
        plan.addProperty(QLatin1String(name), QString(), PropertyType::Text, {},
                         PropertyVisibility::Text, PropertyAppearance(), false);
    const QList<QStringList> cards {
        {"fix x", "open"}, {"x marks", "x"}, {"none", "x done"}, {"", "closed"}};
    for (const QStringList &card : cards)
        plan.addTaskWithValues({{Title, card.at(0)}, {Status, card.at(1)}}, QString(), {}, -1,
                               false);
    plan.setTaskNotes(3, QStringLiteral("x in notes"), false);
}

// The addresses of the cards' links in card and list order: as the plan holds them, as the plan
// file holds them, or as the card editor shows them.
QStringList addresses(const Document &plan)
{
    QStringList list;
    for (TaskIndex card = 0; card < plan.taskCount(); ++card) {
        for (const HyperLink &link : plan.taskLinks(card))
            list.append(link.displayUrl());
    }
    return list;
}

QStringList addressesInPlanFile()
{
    Document read;
    if (!PlanSamples::readBackAsFiled(*doc(), read))
        return {};
    return addresses(read);
}

QStringList addressesInEditor()
{
    QStringList list;
    for (TaskIndex card = 0; card < doc()->taskCount(); ++card) {
        TaskDialog dialog(nullptr, nullptr, {}, {card});
        HyperLinkWidget *links = dialog.findChild<CardsEditScrollWidget *>()->linksWidget();
        for (int row = 0; row < links->topLevelItemCount(); ++row)
            list.append(static_cast<HyperLinkWidgetItem *>(links->topLevelItem(row))->urlText());
    }
    return list;
}

// A window whose own part records whether closing() reached it while it was still whole.
class Window : public QWidget
{
    Q_OBJECT
public:
    explicit Window(int *calls) : m_calls(calls) { }
    ~Window() override { m_whole = false; }
public slots:
    void onClosing()
    {
        if (m_whole)
            ++*m_calls;
        else
            *m_calls = -1000;
    }

private:
    int *m_calls;
    bool m_whole = true;
};

} // namespace

class TestReplaceDialog : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void startsWithNoMatches();
    void countsMatchingCards_data();
    void countsMatchingCards();
    void replaceIsOneUndoStep_data();
    void replaceIsOneUndoStep();
    void propertyListFollowsThePlan();
    void reorderKeepsTheChosenProperty();
    void wholePlanChangeRecountsTheMatches();
    void choicesComeBackButNotTheTexts();
    void closingReachesOnlyAWholeWindow();
    void selectMatchesActsInTheShownPane_data();
    void selectMatchesActsInTheShownPane();
    void replacedLinkAddressesAreKept_data();
    void replacedLinkAddressesAreKept();

private:
    QTemporaryDir m_folder;
};

void TestReplaceDialog::init()
{
    settings()->clear();
    makePlan(*doc());
}

void TestReplaceDialog::startsWithNoMatches()
{
    ReplaceDialog dialog;
    QCOMPARE(preview(&dialog), QStringLiteral("0 cards match"));
    QVERIFY(!replaceButton(&dialog)->isEnabled());
    QVERIFY(!child<QPushButton>(&dialog, "m_selectButton")->isEnabled());
    QCOMPARE(listed(&dialog), QStringList({"<All>", "Title", "Status"}));
    QVERIFY(child<QCheckBox>(&dialog, "m_propertiesCheckBox")->isChecked());
    QVERIFY(!child<QCheckBox>(&dialog, "m_notesCheckBox")->isChecked());
}

void TestReplaceDialog::countsMatchingCards_data()
{
    QTest::addColumn<QString>("find");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<int>("property");
    QTest::addColumn<bool>("notes");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<QString>("label");

    QTest::newRow("all properties") << "x"
                                    << "y" << 0 << false << false << "3 cards match";
    QTest::newRow("one property") << "x"
                                  << "y" << int(Status) << false << false << "2 cards match";
    QTest::newRow("with notes") << "x"
                                << "y" << 0 << true << false << "4 cards match";
    QTest::newRow("match case") << "X"
                                << "y" << 0 << false << true << "0 cards match";
    QTest::newRow("any case") << "X"
                              << "y" << 0 << false << false << "3 cards match";
    QTest::newRow("empty find counts empty values")
        << ""
        << "untitled" << 0 << false << false << "1 card match";
    QTest::newRow("find equal to replacement") << "x"
                                               << "x" << 0 << false << false << "0 cards match";
}

void TestReplaceDialog::countsMatchingCards()
{
    QFETCH(QString, find);
    QFETCH(QString, replacement);
    QFETCH(int, property);
    QFETCH(bool, notes);
    QFETCH(bool, matchCase);
    QFETCH(QString, label);

    ReplaceDialog dialog;
    propertyList(&dialog)->setCurrentIndex(property);
    child<QCheckBox>(&dialog, "m_notesCheckBox")->setChecked(notes);
    child<QCheckBox>(&dialog, "m_caseSensitiveCheckBox")->setChecked(matchCase);
    typeTexts(&dialog, find, replacement);

    QCOMPARE(preview(&dialog), label);
    QCOMPARE(replaceButton(&dialog)->isEnabled(), !label.startsWith(QLatin1Char('0')));
    // Without a main window showing the Cards or Table pane there is nothing to select in.
    QVERIFY(!child<QPushButton>(&dialog, "m_selectButton")->isEnabled());
}

void TestReplaceDialog::replaceIsOneUndoStep_data()
{
    QTest::addColumn<QString>("find");
    QTest::addColumn<QString>("undoText");

    QTest::newRow("short") << "x"
                           << "Replace 'x' with 'y'";
    // Both texts are cut to 10 characters in the undo text.
    QTest::newRow("25 characters")
        << "abcdefghijklmnopqrstuvwxy" << QStringLiteral("Replace 'abcdefghi\u2026' with 'y'");
}

void TestReplaceDialog::replaceIsOneUndoStep()
{
    QFETCH(QString, find);
    QFETCH(QString, undoText);

    QString longValue = QStringLiteral("abcdefghijklmnopqrstuvwxy");
    doc()->setValue(2, Title, longValue, false);
    ReplaceDialog dialog;
    typeTexts(&dialog, find, QStringLiteral("y"));
    QVERIFY(replaceButton(&dialog)->isEnabled());
    DocumentRecorder recorder(*doc());
    replaceButton(&dialog)->click();

    QCOMPARE(recorder.undoTexts, QStringList({undoText}));
    QCOMPARE(recorder.changes.size(), 1);
    if (find == QLatin1String("x")) {
        QCOMPARE(doc()->value(0, Title), QStringLiteral("fiy y"));
        QCOMPARE(doc()->value(2, Status), QStringLiteral("y done"));
    } else {
        QCOMPARE(doc()->value(2, Title), QStringLiteral("y"));
    }
    // The count follows the changed plan.
    QCOMPARE(preview(&dialog), QStringLiteral("0 cards match"));
    QVERIFY(!replaceButton(&dialog)->isEnabled());
}

void TestReplaceDialog::propertyListFollowsThePlan()
{
    ReplaceDialog dialog;
    doc()->addProperty(QStringLiteral("Owner"), QString(), PropertyType::Text, {},
                       PropertyVisibility::Text, PropertyAppearance(), true);
    QCOMPARE(listed(&dialog), QStringList({"<All>", "Title", "Status", "Owner"}));

    propertyList(&dialog)->setCurrentIndex(Status);
    doc()->setPropertyName(Status, QStringLiteral("State"), true);
    QCOMPARE(listed(&dialog), QStringList({"<All>", "Title", "State", "Owner"}));
    QCOMPARE(propertyList(&dialog)->currentIndex(), int(Status));

    doc()->deleteProperty(Status, true);
    QCOMPARE(listed(&dialog), QStringList({"<All>", "Title", "Owner"}));
    QCOMPARE(propertyList(&dialog)->currentIndex(), 0);
}

// The list's position is the property searched: after a re-order it must still name the
// property the user chose, or "&Replace" rewrites the values of another one.
void TestReplaceDialog::reorderKeepsTheChosenProperty()
{
    ReplaceDialog dialog;
    propertyList(&dialog)->setCurrentIndex(Status);
    typeTexts(&dialog, QStringLiteral("x"), QStringLiteral("y"));
    QCOMPARE(preview(&dialog), QStringLiteral("2 cards match"));

    doc()->reorderProperties({{0, 0}, {1, Status}, {2, Title}}, true);
    QCOMPARE(listed(&dialog), QStringList({"<All>", "Status", "Title"}));
    QCOMPARE(propertyList(&dialog)->currentText(), QStringLiteral("Status"));
    QCOMPARE(preview(&dialog), QStringLiteral("2 cards match"));

    replaceButton(&dialog)->click();
    QCOMPARE(doc()->value(1, 1), QStringLiteral("y"));
    QCOMPARE(doc()->value(2, 1), QStringLiteral("y done"));
    QCOMPARE(doc()->value(0, 2), QStringLiteral("fix x"));
    QCOMPARE(doc()->value(1, 2), QStringLiteral("x marks"));
}

// Undo, redo and opening a plan replace the plan as a whole.
void TestReplaceDialog::wholePlanChangeRecountsTheMatches()
{
    ReplaceDialog dialog;
    propertyList(&dialog)->setCurrentIndex(Status);
    typeTexts(&dialog, QStringLiteral("x"), QStringLiteral("y"));
    QVERIFY(replaceButton(&dialog)->isEnabled());

    Document other;
    other.clear(false);
    other.addProperty(QStringLiteral("Owner"), QString(), PropertyType::Text, {},
                      PropertyVisibility::Text, PropertyAppearance(), false);
    other.addProperty(QStringLiteral("Status"), QString(), PropertyType::Text, {},
                      PropertyVisibility::Text, PropertyAppearance(), false);
    other.addTaskWithValues({{1, QStringLiteral("x")}, {2, QStringLiteral("none")}}, QString(), {},
                            -1, false);
    *doc() = other;
    doc()->emitChanged(EventType::AllChanged);

    QCOMPARE(listed(&dialog), QStringList({"<All>", "Owner", "Status"}));
    QCOMPARE(propertyList(&dialog)->currentText(), QStringLiteral("Status"));
    QCOMPARE(preview(&dialog), QStringLiteral("0 cards match"));
    QVERIFY(!replaceButton(&dialog)->isEnabled());

    // A chosen property the new plan lacks gives way to "<All>".
    propertyList(&dialog)->setCurrentIndex(1);
    makePlan(other);
    *doc() = other;
    doc()->emitChanged(EventType::AllChanged);
    QCOMPARE(propertyList(&dialog)->currentIndex(), 0);
    QCOMPARE(preview(&dialog), QStringLiteral("3 cards match"));
}

void TestReplaceDialog::choicesComeBackButNotTheTexts()
{
    QPointer<ReplaceDialog> dialog = new ReplaceDialog;
    dialog->show();
    child<QCheckBox>(dialog, "m_caseSensitiveCheckBox")->setChecked(true);
    child<QCheckBox>(dialog, "m_propertiesCheckBox")->setChecked(false);
    child<QCheckBox>(dialog, "m_linksCheckBox")->setChecked(true);
    child<QCheckBox>(dialog, "m_notesCheckBox")->setChecked(true);
    propertyList(dialog)->setCurrentIndex(Status);
    typeTexts(dialog, QStringLiteral("x"), QStringLiteral("y"));
    dialog->resize(640, 300);
    const QSize size = dialog->size();

    // Escape, "&Close" and the title bar all end in reject(), which destroys the window.
    QTest::keyClick(dialog, Qt::Key_Escape);
    QTRY_VERIFY(dialog.isNull());

    ReplaceDialog again;
    QVERIFY(child<QCheckBox>(&again, "m_caseSensitiveCheckBox")->isChecked());
    QVERIFY(!child<QCheckBox>(&again, "m_propertiesCheckBox")->isChecked());
    QVERIFY(!propertyList(&again)->isEnabled());
    QVERIFY(child<QCheckBox>(&again, "m_linksCheckBox")->isChecked());
    QVERIFY(!child<QCheckBox>(&again, "m_linkNamesCheckBox")->isChecked());
    QVERIFY(child<QCheckBox>(&again, "m_notesCheckBox")->isChecked());
    QCOMPARE(again.size(), size);
    QVERIFY(child<DelayedEditLineEdit>(&again, "m_findEdit")->text().isEmpty());
    QVERIFY(child<DelayedEditLineEdit>(&again, "m_replaceEdit")->text().isEmpty());
    QCOMPARE(propertyList(&again)->currentIndex(), 0);
}

// The main window keeps the window as its child: when the main window goes, the window dies
// inside the QWidget destructor, after the main window's own part.
void TestReplaceDialog::closingReachesOnlyAWholeWindow()
{
    int calls = 0;
    auto *window = new Window(&calls);
    auto *dialog = new ReplaceDialog(window);
    connect(dialog, &ReplaceDialog::closing, window, &Window::onClosing);
    child<QCheckBox>(dialog, "m_linkNamesCheckBox")->setChecked(true);
    delete window;
    QCOMPARE(calls, 0);
    // The choices are kept all the same.
    QVERIFY(settings()->read(Settings::Key::ReplaceLinkNames).toBool());

    window = new Window(&calls);
    dialog = new ReplaceDialog(window);
    connect(dialog, &ReplaceDialog::closing, window, &Window::onClosing);
    delete dialog;
    QCOMPARE(calls, 1);
    delete window;
}

void TestReplaceDialog::selectMatchesActsInTheShownPane_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<bool>("canSelect");
    QTest::newRow("Cards") << 0 << true;
    QTest::newRow("Charts") << 1 << false;
    QTest::newRow("Table") << 2 << true;
    QTest::newRow("Properties") << 3 << false;
}

// The window opened from Edit > Replace: its matches are selected in the Cards or Table pane,
// and "Select Matches" follows the tab the user switches to.
void TestReplaceDialog::selectMatchesActsInTheShownPane()
{
    QFETCH(int, tab);
    QFETCH(bool, canSelect);
    const QString path = m_folder.filePath(QStringLiteral("find.tv"));
    Document plan;
    makePlan(plan);
    QString error;
    QVERIFY2(writePlanFile(plan, path, &error), qPrintable(error));
    presetQuietStartup(path);
    auto window = std::make_unique<MainWindow>();
    window->resize(1000, 700);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QCOMPARE(doc()->taskCount(), 4);
    auto *tabs = window->findChild<QTabWidget *>(QStringLiteral("m_tabWidget"));
    window->findChild<QAction *>(QStringLiteral("m_editReplaceAction"))->trigger();
    auto *dialog = window->findChild<ReplaceDialog *>();
    QVERIFY(dialog);
    typeTexts(dialog, QStringLiteral("x"), QStringLiteral("y"));
    QCOMPARE(preview(dialog), QStringLiteral("3 cards match"));

    tabs->setCurrentIndex(tab);
    auto *select = child<QPushButton>(dialog, "m_selectButton");
    QCOMPARE(select->isEnabled(), canSelect);
    if (canSelect) {
        select->click();
        QList<TaskIndex> selected = tab == 0
            ? window->findChild<CardsScene *>()->selectedTaskIndexes()
            : window->findChild<TableView *>()->selectedTasks();
        std::sort(selected.begin(), selected.end());
        QCOMPARE(selected, (QList<TaskIndex> {0, 1, 2}));
    }
    // Back on a pane without cards to select, and on one with them.
    tabs->setCurrentIndex(canSelect ? 1 : 0);
    QCOMPARE(select->isEnabled(), !canSelect);
    window.reset();
}

void TestReplaceDialog::replacedLinkAddressesAreKept_data()
{
    QTest::addColumn<QString>("find");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<QStringList>("after");
    QTest::newRow("blank in the host")
        << "www.w3.org"
        << "w3 mirror"
        << QStringList {"https://w3 mirror/WAI/", "https://example.com/a", "http://example.org/b"};
    QTest::newRow("ampersand in the host")
        << "example"
        << "ex&mple"
        << QStringList {"https://www.w3.org/WAI/", "https://ex&mple.com/a", "http://ex&mple.org/b"};
    QTest::newRow("valid") << "www.w3.org"
                           << "www.w3c.org"
                           << QStringList {"https://www.w3c.org/WAI/", "https://example.com/a",
                                           "http://example.org/b"};
}

// A replacement the URL parser rejects is still the link's address, in the plan, in its file
// and in the card editor; the links' names stay.
void TestReplaceDialog::replacedLinkAddressesAreKept()
{
    QFETCH(QString, find);
    QFETCH(QString, replacement);
    QFETCH(QStringList, after);
    doc()->setTaskLinks(
        0, {HyperLink(QStringLiteral("Guidelines"), QUrl("https://www.w3.org/WAI/"))}, false);
    doc()->setTaskLinks(1,
                        {HyperLink(QStringLiteral("A"), QUrl("https://example.com/a")),
                         HyperLink(QStringLiteral("B"), QUrl("http://example.org/b"))},
                        false);
    ReplaceDialog dialog;
    child<QCheckBox>(&dialog, "m_propertiesCheckBox")->setChecked(false);
    child<QCheckBox>(&dialog, "m_linksCheckBox")->setChecked(true);
    typeTexts(&dialog, find, replacement);
    QVERIFY(replaceButton(&dialog)->isEnabled());
    replaceButton(&dialog)->click();

    QCOMPARE(addresses(*doc()), after);
    QCOMPARE(doc()->taskLinks(0).first().name(), QStringLiteral("Guidelines"));
    QCOMPARE(doc()->taskLinks(1).last().name(), QStringLiteral("B"));
    QCOMPARE(addressesInPlanFile(), after);
    QCOMPARE(addressesInEditor(), after);
    // The kept address is found and replaced again like any other.
    typeTexts(&dialog, replacement, find);
    QCOMPARE(preview(&dialog), QStringLiteral("1 card match"));
    replaceButton(&dialog)->click();
    QCOMPARE(
        addresses(*doc()),
        QStringList({"https://www.w3.org/WAI/", "https://example.com/a", "http://example.org/b"}));
}

TAVROLO_TEST_MAIN(TestReplaceDialog)
#include "tst_replacedialog.moc"

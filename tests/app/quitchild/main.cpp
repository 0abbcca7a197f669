// The program as main runs it, on the plan file named by the second argument, with an edit not
// yet saved; tst_app_quitsignals starts it and sends it the signals that end a program from
// outside. The first argument is the home folder, where the preferences are left for the test
// to read. The third argument, when given, says what else the user left it doing:
//   "cell"               the Table tab shown, the first card's name typed into its cell editor
//                        ("Typed in cell"), not entered
//   "full screen N"      tab N (0 Cards, 1 Charts, 2 Table, 3 Properties) alone in full screen
//   "export dialog"      the file dialog of File > Export > Table > CSV open
//   "preferences"        the Preferences dialog open
//   "another window"     a window of its own shown beside the main window
//   "context menu"       the Cards tab's menu of the first card open
//   "read-only"          the plan reopened read-only, its warning answered; a question
//                        whether to discard the changes is answered Cancel, keeping the plan
//   "read-only, closed"  the plan reopened read-only, its warning answered, the window closed:
//                        its question whether to discard the changes is up
//   "outside version, closed"  another program's version written (7 cards, "Outside 0" and
//                        on), not yet settled, and the window closed: its question whether to
//                        overwrite that version or discard the changes is up
//                        (For these two the quit looks again at the next events handled: the
//                        close handler's own, once the quit has closed its question.)
//   "question open"      no edit: another program has written the plan (7 cards, "Outside 0"
//                        and on), and the question whether to re-open it is up
//   "question open, cell"  the same, with "Typed in cell" typed as for "cell"
//   "outside version, full screen N"  no edit: tab N alone in full screen, and another
//                        program's version written meanwhile, settled, not yet asked about
//   "note, quit at once"  the last end's note pending ("kept/Plan_unsaved.tv" under the home);
//                        the child sends itself SIGTERM before the start-up has completed
//   "note shown"         the same note pending, its box up; the child reports "edited" only
//                        while the note is still stored
//   "note answered"      the same, then the box answered OK
//   "note, closed at once"  the same note pending; the user closes the window before the
//                        start-up has completed, which is due then
//   "notes shown"        the same note pending, and that of a plan kept nowhere
//                        ("plans/Lost.tv" under the home); the first box up, the child
//                        reporting "edited" only while each note is still stored while its
//                        box is up
//   "notes, the first answered"  the same, the first box answered OK and the second up
// It writes "edited" to its output once the edit is made and the rest is done. A quit that has
// to wait for the dialogs and menus it cancelled waits ten minutes here, so that the test sees
// one that does not return.

#include "app/Application.h"
#include "app/MainLoop.h"
#include "app/MainWindow.h"
#include "app/PlanFileGuard.h"
#include "cards/CardItem.h"
#include "cards/CardsScene.h"
#include "cards/CardsView.h"
#include "harness/PlainTestMain.h"
#include "table/TableView.h"
#include "tests/app/MainWindowFixture.h"

#include <csignal>
#include <cstdio>
#include <memory>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QThread>
#include <QTimer>

namespace {

void report(bool edited)
{
    std::puts(edited ? "edited" : "not edited");
    std::fflush(stdout);
}

// The command behind the action runs its dialog in the loop; the edit is reported once the
// dialog is up.
void openDialog(MainWindow &window, const char *actionName, bool fileDialog)
{
    QAction *action = window.findChild<QAction *>(QLatin1String(actionName));
    if (!action) {
        report(false);
        return;
    }
    QTimer::singleShot(0, action, &QAction::trigger);
    auto *poll = new QTimer(&window);
    QObject::connect(poll, &QTimer::timeout, [poll, fileDialog] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || (fileDialog && !qobject_cast<QFileDialog *>(modal)))
            return;
        poll->stop();
        report(true);
    });
    poll->start(10);
}

// The first card's menu on the Cards tab, opened as a right click opens it; the edit is reported
// once the menu is up.
void openCardMenu(MainWindow &window)
{
    window.findChild<QTabWidget *>()->setCurrentIndex(0);
    auto *view = window.findChild<CardsView *>();
    auto *scene = window.findChild<CardsScene *>();
    QTimer::singleShot(0, view, [view, scene] {
        CardItem *card = scene->cardItemForTask(0);
        if (!card) {
            report(false);
            return;
        }
        const QPoint point = view->mapFromScene(card->sceneBoundingRect().center());
        QTest::mouseClick(view->viewport(), Qt::RightButton, Qt::NoModifier, point);
    });
    auto *poll = new QTimer(&window);
    QObject::connect(poll, &QTimer::timeout, [poll] {
        if (!qobject_cast<QMenu *>(QApplication::activePopupWidget()))
            return;
        poll->stop();
        report(true);
    });
    poll->start(10);
}

// Answers the boxes of a read-only plan: its warning with OK, a question whether to discard
// the changes with Cancel, as a user keeps the plan.
void answerReadOnlyQuestions(MainWindow &window)
{
    auto *poll = new QTimer(&window);
    QObject::connect(poll, &QTimer::timeout, [] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        if (!box->text().contains(QLatin1String("discard your changes")))
            box->button(QMessageBox::Ok)->click();
        else
            box->button(QMessageBox::Cancel)->click();
    });
    poll->start(10);
}

// Another program's version of the plan (7 cards, "Outside 0" and on), settled at once unless
// told otherwise.
bool writeOutsideVersion(MainWindow &window, bool settled = true)
{
    if (settled)
        PlanFileGuard::setSettleMs(0);
    const QString plan = window.fileName();
    if (!writeTestPlan(plan, 7, QStringLiteral("Outside")))
        return false;
    QFile file(plan);
    return file.open(QIODevice::ReadWrite)
        && file.setFileTime(QDateTime::currentDateTime().addSecs(60),
                            QFileDevice::FileModificationTime);
}

// Another program writes its version of the plan, and the question about it comes up once the
// window is active; the edit is reported once the question is up.
void askAboutOutsideVersion(MainWindow &window)
{
    if (!writeOutsideVersion(window)) {
        report(false);
        return;
    }
    auto *poll = new QTimer(&window);
    auto asked = std::make_shared<bool>(false);
    // The window's activation may ask by itself; else the check is run once the window is
    // active.
    QObject::connect(poll, &QTimer::timeout, [poll, asked, &window] {
        QWidget *modal = QApplication::activeModalWidget();
        auto *box = qobject_cast<QMessageBox *>(modal);
        if (box && box->text().contains(QLatin1String("updated by another application"))) {
            poll->stop();
            report(true);
            return;
        }
        if (*asked || modal || !window.isActiveWindow())
            return;
        *asked = true;
        QTimer::singleShot(0, &window, [&window] { window.onCheckExternalUpdatesToPlan(); });
    });
    poll->start(10);
}

// The window closed as its close button closes it, once the boxes before are answered OK; the
// question its close asks is left up, and the edit reported then. The quit's next look comes
// with the next events handled, which, once the quit has closed that question, are the close
// handler's own.
void closeLeavingQuestionUp(MainWindow &window)
{
    setNestedLoopsPollMs(0);
    auto *poll = new QTimer(&window);
    auto closed = std::make_shared<bool>(false);
    QObject::connect(poll, &QTimer::timeout, [poll, closed, &window] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box) {
            if (!*closed)
                QTimer::singleShot(0, &window, [&window] { window.close(); });
            *closed = true;
            return;
        }
        if (!*closed) {
            if (QAbstractButton *ok = box->button(QMessageBox::Ok))
                ok->click();
            return;
        }
        if (box->text().contains(QLatin1String("discard your changes"))) {
            poll->stop();
            report(true);
        }
    });
    poll->start(10);
}

// Where the notes of the last end say the plan was kept, and which plan was kept nowhere.
QString notePath(const QString &home)
{
    return QDir(home).filePath(QStringLiteral("kept/Plan_unsaved.tv"));
}

QString lostNotePath(const QString &home)
{
    return QDir(home).filePath(QStringLiteral("plans/Lost.tv"));
}

// The start-up's completion shows each note of the last end in a box of its own; the first
// boxes are answered OK, and the edit is reported once the next is up, or once the last is
// answered, if each note was still stored while its box was up.
void waitForNotes(MainWindow &window, const QString &home, int notes, int toAnswer)
{
    auto *poll = new QTimer(&window);
    auto answered = std::make_shared<int>(0);
    auto stored = std::make_shared<bool>(true);
    QObject::connect(poll, &QTimer::timeout, [=] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->text().startsWith(QLatin1String("When Tavrolo was last ended")))
            return;
        const bool kept = box->text().contains(QLatin1String("could not be saved to its file"));
        *stored = *stored
            && settings()
                    ->read(kept ? Settings::Key::UnsavedPlanKeptAs : Settings::Key::UnsavedPlanLost)
                    .toString()
                == (kept ? notePath(home) : lostNotePath(home));
        if (*answered < toAnswer) {
            box->button(QMessageBox::Ok)->click();
            ++*answered;
        }
        if (*answered == toAnswer && (*answered == notes || box->isVisible())) {
            poll->stop();
            report(*stored);
        }
    });
    poll->start(10);
}

// The signal comes before the loop runs, and the loop runs once the start-up's completion is
// due (250 ms after the window was built): both wait at its first turn, the quit first.
void quitBeforeStartupCompletes()
{
    QThread::msleep(500);
    report(true);
    ::raise(SIGTERM);
}

// The user closes the window once the start-up's completion is due (250 ms after the window
// was built): both wait at the loop's first turn, the close first, so that the completion runs
// while the close lets pending events run.
void closeBeforeStartupCompletes(MainWindow &window)
{
    QThread::msleep(500);
    report(true);
    QTimer::singleShot(0, &window, [&window] { window.close(); });
}

// The user's edit, and what they left the window doing; false when the window does not let it.
bool leaveEdited(MainWindow &window, const QString &doing)
{
    auto *tabs = window.findChild<QTabWidget *>();
    if (doing == QLatin1String("question open"))
        return true;
    if (doing.startsWith(QLatin1String("outside version, full screen "))) {
        tabs->setCurrentIndex(doing.section(QLatin1Char(' '), -1).toInt());
        window.findChild<QAction *>(QStringLiteral("m_viewFullScreenAction"))->setChecked(true);
        return !window.isVisible() && writeOutsideVersion(window);
    }
    if (doing == QLatin1String("cell") || doing == QLatin1String("question open, cell")) {
        tabs->setCurrentIndex(2);
        auto *table = window.findChild<TableView *>();
        table->setCurrentCell(0, 1);
        table->editItem(table->item(0, 1));
        auto *editor = qobject_cast<QLineEdit *>(table->cellWidget(0, 1));
        if (!editor)
            return false;
        editor->selectAll();
        editor->insert(QStringLiteral("Typed in cell"));
        return !window.isWindowModified();
    }
    if (doing.startsWith(QLatin1String("read-only"))) {
        if (!window.openFile(window.fileName(), true))
            return false;
        if (doing == QLatin1String("read-only"))
            answerReadOnlyQuestions(window);
    }
    addTypedCard(QStringLiteral("Edited"));
    if (doing == QLatin1String("outside version, closed") && !writeOutsideVersion(window, false))
        return false;
    if (doing.startsWith(QLatin1String("full screen "))) {
        tabs->setCurrentIndex(doing.section(QLatin1Char(' '), 2).toInt());
        window.findChild<QAction *>(QStringLiteral("m_viewFullScreenAction"))->setChecked(true);
        if (window.isVisible())
            return false;
    }
    if (doing == QLatin1String("another window")) {
        // A window of the program's own that no close reaches, as a tool window would be.
        auto *other = new QWidget;
        other->setAttribute(Qt::WA_DeleteOnClose);
        other->setWindowTitle(QStringLiteral("Another window"));
        QObject::connect(&window, &QObject::destroyed, [other] { delete other; });
        other->show();
    }
    return window.isWindowModified();
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 3 && argc != 4)
        return 2;
    const QString home = QString::fromLocal8Bit(argv[1]);
    const QString doing = argc == 4 ? QString::fromLocal8Bit(argv[3]) : QString();
    if (!prepareTestHome(home))
        return 2;
    QDir(home).mkpath(QStringLiteral("app"));
    Application::setAppDirOverride(home + QStringLiteral("/app"));
    // The plan is opened as main opens it, from the command line.
    char *programArguments[] = {argv[0], argv[2], nullptr};
    int programArgc = 2;
    setNestedLoopsWaitMs(10 * 60 * 1000);
    return runProgram(
        programArgc, programArguments,
        [&doing, &home] {
            presetQuietStartup(QString());
            if (doing.startsWith(QLatin1String("note")))
                settings()->write(Settings::Key::UnsavedPlanKeptAs, notePath(home));
            if (doing.startsWith(QLatin1String("notes")))
                settings()->write(Settings::Key::UnsavedPlanLost, lostNotePath(home));
        },
        [&doing, &home](MainWindow &window) {
            const bool edited = leaveEdited(window, doing);
            if (!edited)
                report(false);
            else if (doing == QLatin1String("export dialog"))
                openDialog(window, "m_fileExportTableCSVAction", true);
            else if (doing == QLatin1String("preferences"))
                openDialog(window, "m_editPreferencesAction", false);
            else if (doing == QLatin1String("context menu"))
                openCardMenu(window);
            else if (doing.endsWith(QLatin1String(", closed")))
                closeLeavingQuestionUp(window);
            else if (doing.startsWith(QLatin1String("question open")))
                askAboutOutsideVersion(window);
            else if (doing == QLatin1String("note, quit at once"))
                quitBeforeStartupCompletes();
            else if (doing == QLatin1String("note, closed at once"))
                closeBeforeStartupCompletes(window);
            else if (doing.startsWith(QLatin1String("note")))
                waitForNotes(window, home, doing.startsWith(QLatin1String("notes")) ? 2 : 1,
                             doing.endsWith(QLatin1String("answered")) ? 1 : 0);
            else
                report(true);
        });
}

#pragma once

// What the main window's tests share: plan files on disk, the start-up answers preset, and
// file dialogs answered by script.

#include "app/FileDialogs.h"
#include "app/MainWindow.h"
#include "app/StartupRules.h"
#include "common/app/Accessors.h"
#include "common/widgets/Settings.h"
#include "model/Document.h"
#include "properties/PropertiesView.h"
#include "storage/PlanFileReader.h"
#include "storage/PlanFileWriter.h"
#include "table/TableView.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QList>
#include <QMap>
#include <QStringList>
#include <QTabWidget>
#include <QTest>

// A plan of one property "Name" and the given number of cards, written to the path.
inline bool writeTestPlan(const QString &path, int cards, const QString &prefix = "Card")
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    Document plan;
    plan.clear(false);
    plan.addProperty(QStringLiteral("Name"), QString(), PropertyType::Text, {},
                     PropertyVisibility::Text, PropertyAppearance(), false);
    for (int i = 0; i < cards; ++i)
        plan.addTaskWithValues({{1, QStringLiteral("%1 %2").arg(prefix).arg(i)}}, QString(), {}, -1,
                               false);
    QString error;
    return writePlanFile(plan, path, &error);
}

// The number of cards the plan file holds; -1 when it cannot be read.
inline int cardsInFile(const QString &path)
{
    Document plan;
    QString error;
    bool later = false;
    return readPlanFile(plan, path, &error, &later) ? plan.taskCount() : -1;
}

// The "Name" of every card the plan file holds, in order; {"unreadable"} when the plan reader
// refuses the file.
inline QStringList cardNamesInFile(const QString &path)
{
    Document plan;
    QString error;
    bool later = false;
    if (!readPlanFile(plan, path, &error, &later))
        return {QStringLiteral("unreadable")};
    QStringList names;
    for (int task = 0; task < plan.taskCount(); ++task)
        names << plan.value(task, 1);
    return names;
}

// The card names of every plan and backup file in the folders, by file name: what can be got
// back from the disk.
inline QMap<QString, QStringList> versionsOnDisk(const QStringList &folders)
{
    QMap<QString, QStringList> versions;
    for (const QString &folder : folders) {
        for (const QFileInfo &file :
             QDir(folder).entryInfoList({"*.tv", "*.tvb", "*.TV"}, QDir::Files))
            versions.insert(file.fileName(), cardNamesInFile(file.filePath()));
    }
    return versions;
}

// The names of a test plan's cards, as writeTestPlan names them.
inline QStringList testPlanNames(int cards, const QString &prefix = "Card")
{
    QStringList names;
    for (int i = 0; i < cards; ++i)
        names << QStringLiteral("%1 %2").arg(prefix).arg(i);
    return names;
}

// A card whose name the user typed, added as one undoable edit.
inline void addTypedCard(const QString &name)
{
    doc()->addTaskWithValues({{1, name}}, QString(), {}, -1, true);
}

// Another program writes a test plan of the given cards, named "Outside 0" and on (or with the
// prefix given), to the file, stamped with the given time.
inline void writeFromOutsideAt(const QString &path, int cards, const QDateTime &time,
                               const QString &prefix = "Outside")
{
    QVERIFY(writeTestPlan(path, cards, prefix));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(time, QFileDevice::FileModificationTime));
}

// The same, stamped the given seconds from now: later than anything the window saw.
inline void writeFromOutside(const QString &path, int cards, int seconds = 60)
{
    writeFromOutsideAt(path, cards, QDateTime::currentDateTime().addSecs(seconds));
}

// Fresh preferences in which the window asks nothing at start-up: the samples were offered,
// the install page was shown, and the last plan is a real file.
inline void presetQuietStartup(const QString &lastPlan)
{
    settings()->clear();
    settings()->setValue(samplesOfferKey(), 1);
    settings()->setValue(Settings::installPageKey(), false);
    settings()->write(Settings::Key::LastPlan, lastPlan);
}

// Answers the file dialogs in turn while it lives: a path, "" to cancel, or "=" to take the
// proposed file. The requests are kept for the test to look at.
class ScriptedFileDialogs
{
public:
    explicit ScriptedFileDialogs(const QStringList &answers = {}) : answers(answers)
    {
        m_previous = setFileDialogFunction([this](const FileDialogRequest &request) {
            requests.append(request);
            FileDialogAnswer answer;
            answer.selectedFilter = request.selectedFilter;
            if (!this->answers.isEmpty())
                answer.path = this->answers.takeFirst();
            if (answer.path == QLatin1String("="))
                answer.path = request.path;
            return answer;
        });
    }
    ~ScriptedFileDialogs() { setFileDialogFunction(m_previous); }

    QStringList answers;
    QList<FileDialogRequest> requests;

private:
    FileDialogFunction m_previous;
};

// The table of the Table tab (2) or the Properties tab (3), that tab shown.
inline QTableWidget *shownTable(MainWindow &window, int tab)
{
    window.findChild<QTabWidget *>()->setCurrentIndex(tab);
    if (tab == 2)
        return window.findChild<TableView *>();
    return window.findChild<PropertiesView *>();
}

// Types the text over what the table's cell holds, as the user does, and leaves its editor open
// with the text not entered; the editor, or null when none opened.
inline QLineEdit *typeIntoCell(QTableWidget *table, int row, int column, const QString &text)
{
    table->setCurrentCell(row, column);
    table->editItem(table->item(row, column));
    auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    if (!editor)
        return nullptr;
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor, text);
    return editor;
}

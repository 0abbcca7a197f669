#pragma once

// What the main window's tests share: plan files on disk, the start-up answers preset, and
// file dialogs answered by script.

#include "app/FileDialogs.h"
#include "app/MainWindow.h"
#include "common/Accessors.h"
#include "common/Settings.h"
#include "model/Document.h"
#include "storage/PlanFileWriter.h"

#include <QDir>
#include <QFileInfo>
#include <QList>
#include <QStringList>

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

// Fresh preferences in which the window asks nothing at start-up: the samples were offered,
// the install page was shown, and the last plan is a real file.
inline void presetQuietStartup(const QString &lastPlan)
{
    settings()->clear();
    settings()->setValue(MainWindow::samplesOfferKey(), 1);
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

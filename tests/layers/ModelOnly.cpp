// Built against the model and its file formats with nothing above them: if either reached
// for the preferences, a widget or the application object, this program would not link.
// Running it checks that a plan with dates is read, filtered, written and read back under a
// plain QGuiApplication.
#include "model/Document.h"
#include "storage/PlanFileReader.h"
#include "storage/PlanFileWriter.h"

#include <cstdio>

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

namespace {

int fail(const char *what)
{
    std::fprintf(stderr, "model only: %s\n", what);
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication application(argc, argv);
    Document plan;
    ValueFormats formats;
    formats.dateFormat = 2;
    plan.setValueFormats(formats);
    plan.addProperty(QStringLiteral("Due"), QString(), PropertyType::Automatic, QStringList(),
                     PropertyVisibility::Text, PropertyAppearance(), false);
    const int due = plan.propertyCount() - 1;
    for (const char *date : {"2021/3/14", "today", "2030-1-2"}) {
        QString text = QString::fromLatin1(date);
        plan.setValue(plan.addTask(false), due, text, false, nullptr);
    }
    if (plan.actualPropertyType(due) != ActualType::Date)
        return fail("dates are not detected");
    if (plan.value(2, due) != QStringLiteral("2030/1/2"))
        return fail("a date is not written in the plan's format");
    plan.setFilter(true, true, true, {FilterTerm(due, MatchType::LessThan, "today")}, false, false);
    if (!plan.taskPassesFilter(0) || plan.taskPassesFilter(2))
        return fail("the filter misreads dates");

    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("plan.tv"));
    QString error;
    bool laterVersion = false;
    if (!writePlanFile(plan, path, &error))
        return fail("the plan cannot be written");
    Document copy;
    copy.setValueFormats(formats);
    if (!readPlanFile(copy, path, &error, &laterVersion))
        return fail("the plan cannot be read");
    if (planFileText(copy) != planFileText(plan) || copy.value(0, due) != plan.value(0, due))
        return fail("the plan does not read back");
    return 0;
}

#pragma once

#include "app/PlanFileNames.h"

#include <QString>

// The open plan's file as the main window knows it: where it is and whether the plan may be
// written to it. The window owns it; the file commands change it, and the file's guard, the
// exports and the title read it.
struct PlanFileState
{
    // The file commands set it; each change also goes to Application::setPlanFileName, where
    // the title and footer variables read it. Empty while no plan is open.
    QString fileName;
    bool readOnly = false;
    // The read-only warning has been shown for this plan.
    bool readOnlyWarned = false;
    // The plan is read-only because its file can't be written, not because it was asked for.
    bool unwritableFile = false;

    // Whether the path names the open plan's file, links resolved.
    bool isOpenPlanFile(const QString &path) const
    {
        return !fileName.isEmpty() && canonicalPath(path) == canonicalPath(fileName);
    }
};

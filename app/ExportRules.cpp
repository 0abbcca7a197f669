#include "app/ExportRules.h"

#include <QFileInfo>

QString exportFileProposal(const QString &planPath, const QString &extension)
{
    const QString fileName = QFileInfo(planPath).fileName();
    const QString folder = planPath.left(planPath.size() - fileName.size());
    const int dot = fileName.lastIndexOf(QLatin1Char('.'));
    const QString base = dot > 0 ? fileName.left(dot) : fileName;
    return folder + base + QLatin1Char('.') + extension.toLower();
}

double exportImageScale(const QSizeF &sceneSize)
{
    double scale = int(sceneSize.width()) <= maximumExportSide
        ? 1.0
        : double(maximumExportSide) / sceneSize.width();
    if (int(sceneSize.height() * scale) > maximumExportSide)
        scale = double(maximumExportSide) / sceneSize.height();
    return scale;
}

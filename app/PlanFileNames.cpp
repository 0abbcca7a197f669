#include "app/PlanFileNames.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

QString nativeAbsolutePath(const QString &path)
{
    return QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
}

QString canonicalPath(const QString &path)
{
    const QFileInfo info(path);
    const QString file = info.canonicalFilePath();
    if (!file.isEmpty())
        return file;
    const QString folder = info.absoluteDir().canonicalPath();
    if (folder.isEmpty())
        return QDir::cleanPath(info.absoluteFilePath());
    return folder + QLatin1Char('/') + info.fileName();
}

QString duplicateFileName(const QString &path)
{
    const QFileInfo info(path);
    const QString folder = QDir::toNativeSeparators(info.absolutePath());
    const QString fileName = info.fileName();
    const int dot = fileName.indexOf(QLatin1Char('.'));
    const QString base = dot < 0 ? fileName : fileName.left(dot);
    const QString suffix = dot < 0 ? QString() : fileName.mid(dot + 1);
    for (int n = 2;; ++n) {
        QString candidate = folder + QDir::separator() + base + QStringLiteral(" %1").arg(n);
        if (!suffix.isEmpty())
            candidate += QStringLiteral(".%1").arg(suffix);
        if (!QFileInfo::exists(candidate))
            return candidate;
    }
}

QString timeStampedBaseName(const QString &path, const QDateTime &time)
{
    const QString fileName = QFileInfo(path).fileName();
    const int dot = fileName.indexOf(QLatin1Char('.'));
    return (dot < 0 ? fileName : fileName.left(dot)) + QLatin1Char('_')
        + time.toString(Qt::ISODate).replace(QLatin1Char(':'), QLatin1Char('-'));
}

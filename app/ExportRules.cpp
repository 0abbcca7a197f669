#include "app/ExportRules.h"

#include <algorithm>

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

QByteArray escapeSvgFontFamilies(const QByteArray &svg)
{
    static const QByteArray valueStart = QByteArrayLiteral("font-family=\"");
    static const QByteArray valueEnd = QByteArrayLiteral("\" font-size=\"");
    QByteArray escaped;
    escaped.reserve(svg.size());
    int from = 0;
    forever {
        const int attribute = svg.indexOf(valueStart, from);
        if (attribute < 0)
            break;
        const int start = attribute + valueStart.size();
        const int end = svg.indexOf(valueEnd, start);
        if (end < 0)
            break;
        escaped.append(svg.constData() + from, start - from);
        const QByteArray family = svg.mid(start, end - start);
        const bool plain = std::none_of(family.cbegin(), family.cend(), [](char c) {
            return c == '&' || c == '<' || c == '>' || c == '"';
        });
        escaped.append(plain ? family : QString::fromUtf8(family).toHtmlEscaped().toUtf8());
        from = end;
    }
    escaped.append(svg.constData() + from, svg.size() - from);
    return escaped;
}

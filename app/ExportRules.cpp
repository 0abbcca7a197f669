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
    // Built only from the first family that needs it: a drawing without one is handed back
    // as it is, without a copy.
    QByteArray escaped;
    int copied = 0;
    int from = 0;
    forever {
        const int attribute = svg.indexOf(valueStart, from);
        if (attribute < 0)
            break;
        const int start = attribute + valueStart.size();
        const int end = svg.indexOf(valueEnd, start);
        if (end < 0)
            break;
        from = end;
        const auto first = svg.cbegin() + start;
        const auto last = svg.cbegin() + end;
        if (std::none_of(first, last,
                         [](char c) { return c == '&' || c == '<' || c == '>' || c == '"'; }))
            continue;
        if (escaped.isEmpty())
            escaped.reserve(svg.size() + svg.size() / 16);
        escaped.append(svg.constData() + copied, start - copied);
        escaped.append(QString::fromUtf8(first, end - start).toHtmlEscaped().toUtf8());
        copied = end;
    }
    if (copied == 0)
        return svg;
    escaped.append(svg.constData() + copied, svg.size() - copied);
    return escaped;
}

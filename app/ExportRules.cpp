#include "app/ExportRules.h"

#include <algorithm>
#include <vector>

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

QString svgFontFamily(const QString &family)
{
    int open = family.indexOf(QLatin1Char('['));
    const int close = family.lastIndexOf(QLatin1Char(']'));
    if (open < 0 || close < open)
        return family;
    if (open > 0 && family.at(open - 1) == QLatin1Char(' '))
        --open;
    // A name that is all qualifier names no family of its own: it is kept as it is.
    return open > 0 ? family.left(open) : family;
}

namespace {

QByteArray svgFamilyValue(const QByteArray &written)
{
    return svgFontFamily(QString::fromUtf8(written)).toHtmlEscaped().toUtf8();
}

} // namespace

QByteArray escapeSvgFontFamilies(const QByteArray &svg, const QStringList &families)
{
    static const QByteArray valueStart = QByteArrayLiteral("font-family=\"");
    static const QByteArray valueEnd = QByteArrayLiteral("\" font-size=\"");
    // Each known family as the generator writes it, with the text that follows it, and its new
    // value; the longest first, so that a family that holds another one and the generator's
    // text after it is not taken for the shorter.
    struct Known
    {
        QByteArray written;
        QByteArray value;
    };
    std::vector<Known> known;
    for (const QString &family : families) {
        const QByteArray written = family.toUtf8() + valueEnd;
        if (std::none_of(known.cbegin(), known.cend(),
                         [&written](const Known &k) { return k.written == written; }))
            known.push_back({written, svgFamilyValue(family.toUtf8())});
    }
    std::sort(known.begin(), known.end(),
              [](const Known &a, const Known &b) { return a.written.size() > b.written.size(); });
    // Built only from the first family that changes: a drawing without one is handed back as
    // it is, without a copy.
    QByteArray escaped;
    int copied = 0;
    int from = 0;
    forever {
        const int attribute = svg.indexOf(valueStart, from);
        if (attribute < 0)
            break;
        const int start = attribute + valueStart.size();
        const QByteArray rest
            = QByteArray::fromRawData(svg.constData() + start, svg.size() - start);
        const auto found = std::find_if(known.cbegin(), known.cend(), [&rest](const Known &k) {
            return rest.startsWith(k.written);
        });
        int end;
        QByteArray value;
        if (found != known.cend()) {
            end = start + found->written.size() - valueEnd.size();
            value = found->value;
        } else {
            end = svg.indexOf(valueEnd, start);
            if (end < 0)
                break;
            const auto first = svg.cbegin() + start;
            const auto last = svg.cbegin() + end;
            if (std::any_of(first, last, [](char c) {
                    return c == '&' || c == '<' || c == '>' || c == '"' || c == '[';
                }))
                value = svgFamilyValue(QByteArray(first, end - start));
        }
        from = end;
        if (value.isNull()
            || value == QByteArray::fromRawData(svg.constData() + start, end - start))
            continue;
        if (escaped.isEmpty())
            escaped.reserve(svg.size() + svg.size() / 16);
        escaped.append(svg.constData() + copied, start - copied);
        escaped.append(value);
        copied = end;
    }
    if (copied == 0)
        return svg;
    escaped.append(svg.constData() + copied, svg.size() - copied);
    return escaped;
}

namespace {

// The length of the UTF-8 sequence at the position when it is a character XML forbids, else 0.
// A byte below 0x20 is always a character of its own in UTF-8, never part of another.
int forbiddenXmlCharacterLength(const QByteArray &text, int position)
{
    const uchar byte = uchar(text.at(position));
    if (byte < 0x20)
        return byte == '\t' || byte == '\n' || byte == '\r' ? 0 : 1;
    if (byte == 0xef && position + 2 < text.size() && uchar(text.at(position + 1)) == 0xbf
        && (uchar(text.at(position + 2)) & 0xfe) == 0xbe)
        return 3;
    return 0;
}

} // namespace

QByteArray replaceCharactersXmlForbids(const QByteArray &svg)
{
    static const QByteArray replacement = QByteArrayLiteral("\xef\xbf\xbd");
    QByteArray replaced;
    int copied = 0;
    for (int position = 0; position < svg.size(); ++position) {
        const int length = forbiddenXmlCharacterLength(svg, position);
        if (length == 0)
            continue;
        if (replaced.isNull())
            replaced.reserve(svg.size() + 16);
        replaced.append(svg.constData() + copied, position - copied);
        replaced.append(replacement);
        position += length - 1;
        copied = position + 1;
    }
    if (replaced.isNull())
        return svg;
    replaced.append(svg.constData() + copied, svg.size() - copied);
    return replaced;
}

#include "common/app/TitleVariables.h"

#include "app/Application.h"
#include "common/app/Accessors.h"
#include "common/core/TextHelpers.h"
#include "model/Document.h"

#include <QDateTime>
#include <QFileInfo>
#include <QHostInfo>
#include <QLocale>
#include <QStringList>

namespace {

struct Variable
{
    const char *name;
    QString (*value)();
};

QString propertyName(int index)
{
    return doc()->propertyName(index);
}

QString showPropertyName()
{
    const int index = doc()->chartShowProperty();
    return index >= doc()->propertyCount() ? QStringLiteral("<cards>") : propertyName(index);
}

QString planFileName()
{
    return app()->planFileName();
}

QString timestamp(Qt::DateFormat format)
{
    return QDateTime::currentDateTime().toString(format);
}

QString systemTimestamp(QLocale::FormatType format)
{
    return QLocale::system().toString(QDateTime::currentDateTime(), format);
}

// In the order of expansion: a value inserted by one step that holds the name of a later
// variable is expanded by that later step.
const Variable Variables[] = {
    {"{x_property}", [] { return propertyName(doc()->xProperty()); }},
    {"{y_property}", [] { return propertyName(doc()->yProperty()); }},
    {"{bg_color_property}", [] { return propertyName(doc()->cardColorProperty()); }},
    {"{highlight_color_property}", [] { return propertyName(doc()->highlightColorProperty()); }},
    {"{cell_property}", [] { return propertyName(doc()->cellOrderingProperty()); }},
    {"{total_property}", [] { return propertyName(doc()->totalProperty()); }},
    {"{show_property}", showPropertyName},
    {"{by_property}", [] { return propertyName(doc()->chartByProperty()); }},
    {"{per_property}", [] { return propertyName(doc()->chartPerProperty()); }},
    {"{view}", [] { return doc()->currentStoredViewName(); }},
    {"{filename}", [] { return QFileInfo(planFileName()).fileName(); }},
    {"{filepath}", [] { return planFileName(); }},
    {"{timestamptext}", [] { return timestamp(Qt::TextDate); }},
    {"{timestampiso}", [] { return timestamp(Qt::ISODate); }},
    {"{timestampsystemshort}", [] { return systemTimestamp(QLocale::ShortFormat); }},
    {"{timestampsystemlong}", [] { return systemTimestamp(QLocale::LongFormat); }},
    {"{computername}", [] { return QHostInfo::localHostName(); }},
    {"{username}", [] { return userName(); }},
};

struct HelpEntry
{
    const char *variable;
    const char *description;
};

const HelpEntry CardsHelp[] = {
    {"{x_property}", "The cards pane arrange columns (X) property"},
    {"{y_property}", "The cards pane arrange rows (Y) property"},
    {"{cell_property}", "The cards pane arrange in cell property"},
    {"{bg_color_property}", "The cards pane card color property"},
    {"{highlight_color_property}", "The cards pane highlight color property"},
    {"{total_property}", "The cards pane total property"},
    {"{view}", "The name of the current stored view"},
};

const HelpEntry ChartsHelp[] = {
    {"{show_property}", "The charts pane show property"},
    {"{by_property}", "The charts pane by property"},
    {"{per_property}", "The charts pane per property"},
};

const HelpEntry FileHelp[] = {
    {"{filename}", "The name of the current plan file"},
    {"{filepath}", "The path (location) of the current plan file"},
};

// These lines also show what the variable gives right now.
const HelpEntry SystemHelp[] = {
    {"{timestamptext}", "The timestamp in text format"},
    {"{timestampiso}", "The timestamp in ISO format"},
    {"{timestampsystemshort}", "The timestamp in short system format"},
    {"{timestampsystemlong}", "The timestamp in long system format"},
    {"{computername}", "The name of the current computer"},
    {"{username}", "The name of the current user"},
};

template<size_t N>
void appendHelp(QStringList &lines, const HelpEntry (&entries)[N], bool showValue)
{
    for (const HelpEntry &entry : entries)
        lines << variableHelpLine(QString::fromLatin1(entry.description),
                                  QString::fromLatin1(entry.variable), showValue);
}

} // namespace

QString expandVariables(const QString &text)
{
    if (!text.contains(QLatin1Char('{')) || !text.contains(QLatin1Char('}')))
        return text;
    QString result = text;
    for (const Variable &variable : Variables) {
        const QString name = QString::fromLatin1(variable.name);
        const int occurrences = result.count(name);
        // Only variables that occur are computed: some read the clock or the network name.
        if (occurrences == 0)
            continue;
        const QString value = variable.value();
        const qint64 length
            = result.size() + qint64(occurrences) * (qint64(value.size()) - name.size());
        // Values that name later variables would otherwise multiply the text at every step,
        // to gigabytes; from the step that would pass the bound on, the variables stay.
        if (length > maximumExpandedTitleLength && length > result.size())
            break;
        result.replace(name, value);
    }
    return result;
}

QString variablesHelpText(bool cards, bool charts)
{
    QStringList lines {QStringLiteral(" You can use the following variables:")};
    if (cards)
        appendHelp(lines, CardsHelp, false);
    if (charts)
        appendHelp(lines, ChartsHelp, false);
    appendHelp(lines, FileHelp, false);
    appendHelp(lines, SystemHelp, true);
    return lines.join(QLatin1Char('\n'));
}

QString variableHelpLine(const QString &description, const QString &variable, bool showValue)
{
    QString line = QStringLiteral(" %1 : %2.").arg(variable, description);
    if (showValue)
        line += QStringLiteral(" [%1]").arg(expandVariables(variable));
    return line;
}

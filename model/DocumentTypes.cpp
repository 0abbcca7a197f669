#include "common/core/NumberDateText.h"
#include "common/core/RelativeDates.h"
#include "model/Document.h"
#include "model/SharedTexts.h"

#include <QHash>
#include <QVector>

namespace {

bool isBlank(const QString &text)
{
    for (const QChar c : text) {
        if (!c.isSpace())
            return false;
    }
    return true;
}

} // namespace

bool Document::isValidProperty(int property) const
{
    return property >= 0 && property < m_properties.size();
}

int Document::roleIndex(int index, bool withCards) const
{
    const int limit = withCards ? m_properties.size() : m_properties.size() - 1;
    return index >= 0 && index <= limit ? index : 0;
}

bool Document::isValidTask(TaskIndex task) const
{
    return task >= 0 && task < m_tasks.size();
}

ActualPropertyType Document::actualPropertyType(int property) const
{
    if (!isValidProperty(property))
        return ActualType::Text;
    switch (m_properties.at(property).type()) {
    case PropertyType::Text:
        return ActualType::Text;
    case PropertyType::Numeric:
        return ActualType::Numeric;
    case PropertyType::Date:
        return ActualType::Date;
    default:
        // Automatic, and any code a damaged plan file may hold.
        return detectActualPropertyType(property);
    }
}

ActualPropertyType Document::detectActualPropertyType(int property) const
{
    const auto cached = m_caches.actualTypes.constFind(property);
    if (cached != m_caches.actualTypes.constEnd())
        return cached.value();
    if (!isValidProperty(property))
        return ActualType::Text;
    TypeTally *tally = usableTally(property);
    if (!tally && m_caches.droppedBySetValue.contains(property)) {
        // Values are being set one by one with the type asked for in between (a plan being
        // read or imported): from now on keep a tally, so that each further value costs two
        // parses instead of a walk over every card.
        tally = &m_caches.tallies[property];
        *tally = TypeTally();
    }
    if (tally) {
        catchUpTally(property, *tally);
        const ActualPropertyType type
            = tally->typeWith(m_predefinedValues.value(property), m_valueFormats);
        m_caches.actualTypes.insert(property, type);
        return type;
    }
    scanActualPropertyTypes(property);
    return m_caches.actualTypes.value(property);
}

namespace {

// Whether texts read as dates, each distinct text parsed once per scan: dates are the slowest
// to parse, and the same dates recur across cards and across properties.
class DateVerdicts
{
public:
    explicit DateVerdicts(const ValueFormats &formats) : m_formats(formats) { }

    const ValueFormats &formats() const { return m_formats; }

    bool isDate(const QString &text)
    {
        const auto known = m_verdicts.constFind(text);
        if (known != m_verdicts.constEnd())
            return known.value();
        bool ok = false;
        stringToDate(text, m_formats, &ok);
        m_verdicts.insert(text, ok);
        return ok;
    }

private:
    ValueFormats m_formats;
    QHash<QString, bool> m_verdicts;
};

// What the values of one property seen so far read as; once a kind has failed, later texts
// are no longer tried for it.
struct TypeScan
{
    bool wanted = false;
    bool someNumber = false;
    bool notAllNumbers = false;
    bool someDate = false;
    bool notAllDates = false;

    bool decided() const { return notAllNumbers && notAllDates; }

    void test(const QString &text, DateVerdicts &dates)
    {
        if (isBlank(text))
            return;
        bool ok = false;
        if (!notAllNumbers) {
            stringToNumber(text, dates.formats(), false, &ok);
            (ok ? someNumber : notAllNumbers) = true;
        }
        if (!notAllDates)
            (dates.isDate(text) ? someDate : notAllDates) = true;
    }

    ActualPropertyType type() const
    {
        if (someDate && !notAllDates)
            return ActualType::Date;
        if (someNumber && !notAllNumbers)
            return ActualType::Numeric;
        return ActualType::Text;
    }
};

} // namespace

void Document::scanActualPropertyTypes(int property) const
{
    // One call detects every automatic property that has no type yet: after an undo or a
    // re-order the panes ask for all of them anyway, and the dates parsed for one property are
    // remembered for the others.
    QVector<TypeScan> scans(m_properties.size());
    DateVerdicts dates(m_valueFormats);
    int open = 0;
    for (int p = 0; p < m_properties.size(); ++p) {
        const int declared = m_properties.at(p).type();
        const bool automatic = declared < PropertyType::Text || declared > PropertyType::Date;
        if (p != property
            && (!automatic || m_caches.actualTypes.contains(p) || m_caches.tallies.contains(p)
                || m_caches.droppedBySetValue.contains(p)))
            continue;
        scans[p].wanted = true;
        for (const QString &text : m_predefinedValues.value(p))
            scans[p].test(text, dates);
        if (!scans[p].decided())
            ++open;
    }
    for (int p = 0; p < scans.size() && open > 0; ++p) {
        TypeScan &scan = scans[p];
        if (!scan.wanted || scan.decided())
            continue;
        for (const QString &text : m_values.column(p)) {
            scan.test(text, dates);
            if (scan.decided())
                break;
        }
        if (scan.decided())
            --open;
    }
    for (int p = 0; p < scans.size(); ++p) {
        if (scans.at(p).wanted)
            m_caches.actualTypes.insert(p, scans.at(p).type());
    }
}

void Document::TypeTally::add(const QString &text, int sign, const ValueFormats &formats)
{
    if (isBlank(text))
        return;
    bool ok = false;
    nonEmpty += sign;
    stringToNumber(text, formats, false, &ok);
    if (ok)
        numbers += sign;
    stringToDate(text, formats, &ok);
    if (ok)
        dates += sign;
}

ActualPropertyType Document::TypeTally::typeWith(const QStringList &predefinedValues,
                                                 const ValueFormats &formats) const
{
    TypeTally all = *this;
    for (const QString &text : predefinedValues)
        all.add(text, 1, formats);
    if (all.nonEmpty <= 0)
        return ActualType::Text;
    if (all.dates == all.nonEmpty)
        return ActualType::Date;
    if (all.numbers == all.nonEmpty)
        return ActualType::Numeric;
    return ActualType::Text;
}

Document::TypeTally *Document::usableTally(int property) const
{
    // Cards are only ever appended behind a tally's back; anything else that changes values
    // wholesale drops every tally (forgetTypeTallies).
    const auto tally = m_caches.tallies.find(property);
    if (tally == m_caches.tallies.end())
        return nullptr;
    if (tally->coveredTasks > m_tasks.size()) {
        m_caches.tallies.erase(tally);
        return nullptr;
    }
    return &tally.value();
}

void Document::catchUpTally(int property, TypeTally &tally) const
{
    for (TaskIndex task = tally.coveredTasks; task < m_tasks.size(); ++task)
        tally.add(value(task, property), 1, m_valueFormats);
    tally.coveredTasks = m_tasks.size();
}

void Document::noteStoredValue(TaskIndex task, int property, const QString &oldText,
                               const QString &newText)
{
    m_caches.actualTypes.remove(property);
    TypeTally *tally = usableTally(property);
    if (!tally) {
        m_caches.droppedBySetValue.insert(property, true);
        return;
    }
    if (task < tally->coveredTasks) {
        tally->add(oldText, -1, m_valueFormats);
        tally->add(newText, 1, m_valueFormats);
    }
}

void Document::forgetTypeTallies() const
{
    m_caches.tallies.clear();
}

void Document::clearActualTypeCache()
{
    m_caches.actualTypes.clear();
    forgetTypeTallies();
}

QPair<double, double> Document::computeNumericRange(int property) const
{
    return numberRange(values(property, ValueListOptions().sortedBy(ValueSort::AsCollected)),
                       m_valueFormats);
}

QPair<double, double> Document::numericRange(int property) const
{
    const auto cached = m_caches.numericRanges.constFind(property);
    if (cached != m_caches.numericRanges.constEnd())
        return cached.value();
    const QPair<double, double> range = computeNumericRange(property);
    m_caches.numericRanges.insert(property, range);
    return range;
}

QPair<QDate, QDate> Document::computeDateRange(int property) const
{
    return ::dateRange(
        values(property, ValueListOptions().sortedBy(ValueSort::AsCollected).withoutEmpty()),
        m_valueFormats);
}

QPair<QDate, QDate> Document::dateRange(int property) const
{
    const auto cached = m_caches.dateRanges.constFind(property);
    if (cached != m_caches.dateRanges.constEnd())
        return cached.value();
    const QPair<QDate, QDate> range = computeDateRange(property);
    m_caches.dateRanges.insert(property, range);
    return range;
}

void Document::clearRangeCache(int property)
{
    m_caches.numericRanges.remove(property);
    m_caches.dateRanges.remove(property);
}

void Document::normalizeDateValue(int property, QString &text) const
{
    if (!isValidProperty(property))
        return;
    const int declared = m_properties.at(property).type();
    if (declared == PropertyType::Text || declared == PropertyType::Numeric)
        return;
    const auto cached = m_caches.actualTypes.constFind(property);
    if (declared == PropertyType::Date
        || (cached != m_caches.actualTypes.constEnd() && cached.value() == ActualType::Date)) {
        text = normalizeDateText(text, m_valueFormats);
        return;
    }
    if (cached != m_caches.actualTypes.constEnd())
        return;
    // Detecting the type of an automatic property can mean a walk over the cards; it only
    // matters when normalising would change the text.
    const QString normalized = normalizeDateText(text, m_valueFormats);
    if (normalized != text && actualPropertyType(property) == ActualType::Date)
        text = normalized;
}

void Document::setValue(TaskIndex task, int property, QString &value, bool undoable,
                        QObject *source)
{
    announceChange(QStringLiteral("Update Value"), undoable);
    normalizeDateValue(property, value);
    clearRangeCache(property);
    const QString &stored = m_values.text(task, property);
    if (stored.isNull() || stored == value)
        return;
    const ActualPropertyType typeBefore = undoable ? actualPropertyType(property) : -1;
    const QString oldText = stored;
    m_values.setText(task, property, value);
    noteStoredValue(task, property, oldText, value);
    if (!undoable) {
        resetInvalidChartProperties(property);
        return;
    }
    const bool typeChanged = actualPropertyType(property) != typeBefore;
    if (typeChanged)
        resetInvalidChartProperties(property);
    Events events(source);
    events.add(EventType::ValueChanged, task, property);
    if (typeChanged)
        events.add(EventType::PropertyChanged, -1, property);
    notifyChange(events, undoable);
}

namespace {

// What the distinct texts of one column being read stand for, each worked out when first
// asked: the date a text is normalised to, and whether it reads as a date.
class ColumnVerdicts
{
public:
    // With explicitOnly, relative words are no dates to normalise (Document::CardTexts::Saved).
    ColumnVerdicts(const ValueFormats &formats, bool explicitOnly)
        : m_formats(formats), m_explicitOnly(explicitOnly)
    { }

    // normalizeDateText of the text; the text itself (shared, not copied) when that is equal.
    QString normalized(const QString &text)
    {
        const int index = entryIndex(text);
        if (index >= 0 && m_entries.at(index).normalized >= 0)
            return m_entries.at(index).normalized ? m_normalizedTexts.value(index) : text;
        const QString normalized
            = m_explicitOnly ? explicitDateText(text) : normalizeDateText(text, m_formats);
        const bool changed = normalized != text;
        if (index >= 0) {
            m_entries[index].normalized = changed ? 1 : 0;
            if (changed)
                m_normalizedTexts.insert(index, normalized);
        }
        return changed ? normalized : text;
    }

    bool isDate(const QString &text)
    {
        const int index = entryIndex(text);
        if (index >= 0 && m_entries.at(index).date >= 0)
            return m_entries.at(index).date != 0;
        bool ok = false;
        stringToDate(text, m_formats, &ok);
        if (index >= 0)
            m_entries[index].date = ok ? 1 : 0;
        return ok;
    }

private:
    // As normalizeDateText reads a text that names a date outright.
    QString explicitDateText(const QString &text) const
    {
        bool ok = false;
        const QDate date = stringToDate(text, m_formats, &ok);
        return ok ? dateToString(date, m_formats.dateFormat, true) : text;
    }

    // -1 while not worked out.
    struct Entry
    {
        qint8 normalized = -1;
        qint8 date = -1;
    };

    int entryIndex(const QString &text)
    {
        const int index = m_texts.add(text);
        if (index >= 0 && index == m_entries.size())
            m_entries.append(Entry());
        return index;
    }

    const ValueFormats m_formats;
    const bool m_explicitOnly;
    SharedTexts m_texts;
    QVector<Entry> m_entries;
    QHash<int, QString> m_normalizedTexts;
};

} // namespace

void Document::fillReadColumn(int property, QVector<QString> &column, CardTexts texts) const
{
    const Property &definition = m_properties.at(property);
    QString defaultText = definition.defaultValue();
    if (defaultText.isNull())
        defaultText = QLatin1String("");
    const int declared = definition.type();
    ColumnVerdicts verdicts(m_valueFormats, texts == CardTexts::Saved);
    if (declared == PropertyType::Text || declared == PropertyType::Numeric) {
        for (QString &text : column) {
            if (text.isNull())
                text = defaultText;
        }
        return;
    }
    if (declared == PropertyType::Date) {
        for (QString &text : column)
            text = text.isNull() ? defaultText : verdicts.normalized(text);
        return;
    }
    // An automatic property: setValue writes a text as the date it stands for only while the
    // property reads as a date, that is while some value is not blank and every one that is
    // not blank reads as a date: the values of the cards before (those the plan held already
    // included), the card's own default value (still in place when its value is set) and the
    // predefined values. Once one does not, none does again, and the rest of the column is
    // stored as it is.
    bool someNotBlank = false;
    bool allDates = true;
    const auto count = [&](const QString &text) {
        if (!allDates || isBlank(text))
            return;
        someNotBlank = true;
        allDates = verdicts.isDate(text);
    };
    for (const QString &text : m_predefinedValues.value(property))
        count(text);
    count(defaultText);
    for (const QString &text : m_values.column(property)) {
        if (!allDates)
            break;
        count(text);
    }
    for (QString &text : column) {
        if (text.isNull()) {
            text = defaultText;
            continue;
        }
        if (!allDates)
            continue;
        if (someNotBlank)
            text = verdicts.normalized(text);
        count(text);
    }
}

void Document::appendCards(const QList<Task> &cards, QVector<QVector<QString>> values,
                           CardTexts texts)
{
    const int count = cards.size();
    const TaskIndex first = m_tasks.size();
    m_tasks.append(cards);
    values.resize(m_properties.size());
    for (int p = 0; p < m_properties.size(); ++p) {
        if (values.at(p).size() != count)
            values[p] = QVector<QString>(count);
        fillReadColumn(p, values[p], texts);
        dropCachedProperty(p);
    }
    m_values.appendTasks(count, values);
    for (int p = 1; p < m_properties.size(); ++p)
        resetChartRolesAsRead(p, first);
}

void Document::resetChartRolesAsRead(int property, TaskIndex first)
{
    // After each value it stores setValue resets the chart roles the property no longer suits,
    // by the property's type at that moment: the cards after it were not there yet.
    const ChartsSettings &chart = m_chartsSettings;
    const auto isRole = [&] {
        return chart.showProperty == property || chart.byProperty == property
            || chart.perProperty == property;
    };
    if (!isRole())
        return;
    const int declared = m_properties.at(property).type();
    const bool automatic = declared < PropertyType::Text || declared > PropertyType::Date;
    const QString &defaultText = m_properties.at(property).defaultValue();
    TypeTally tally;
    for (TaskIndex task = 0; task < first && automatic; ++task)
        tally.add(value(task, property), 1, m_valueFormats);
    for (TaskIndex task = first; task < m_tasks.size() && isRole(); ++task) {
        const QString &text = m_values.text(task, property);
        if (automatic)
            tally.add(text, 1, m_valueFormats);
        // A text equal to the default the card started with was not stored.
        if (text == defaultText)
            continue;
        resetChartRoles(property,
                        automatic
                            ? tally.typeWith(m_predefinedValues.value(property), m_valueFormats)
                            : actualPropertyType(property));
    }
}

bool Document::resetInvalidChartProperties(int property)
{
    if (property < 1 || !isValidProperty(property))
        return false;
    ChartsSettings &chart = m_chartsSettings;
    if (chart.showProperty != property && chart.byProperty != property
        && chart.perProperty != property)
        return false;
    return resetChartRoles(property, actualPropertyType(property));
}

bool Document::resetChartRoles(int property, ActualPropertyType type)
{
    ChartsSettings &chart = m_chartsSettings;
    bool reset = false;
    // The summed property must be numeric, the bars and the charts must come from text.
    if (chart.showProperty == property && type != ActualType::Numeric) {
        chart.showProperty = 0;
        reset = true;
    }
    if (chart.byProperty == property && type != ActualType::Text) {
        chart.byProperty = 0;
        reset = true;
    }
    if (chart.perProperty == property && type != ActualType::Text) {
        chart.perProperty = 0;
        reset = true;
    }
    return reset;
}

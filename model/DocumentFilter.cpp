#include "common/core/NumberDateText.h"
#include "common/core/RelativeDates.h"
#include "model/Document.h"
#include "model/SharedTexts.h"

#include <algorithm>

#include <QHash>
#include <QSet>
#include <QVector>

namespace {

bool compareTexts(int matchType, const QString &value, const QString &term)
{
    switch (matchType) {
    case MatchType::Is:
        return value == term;
    case MatchType::IsNot:
        return value != term;
    case MatchType::GreaterThan:
        return term < value;
    case MatchType::LessThan:
        return value < term;
    default:
        return false;
    }
}

bool compareNumbers(int matchType, const QString &value, double term, const ValueFormats &formats)
{
    bool ok = false;
    const double number = stringToNumber(value, formats, true, &ok);
    if (!ok)
        return false;
    switch (matchType) {
    case MatchType::Is:
        return fuzzyEqual(number, term);
    case MatchType::IsNot:
        return !fuzzyEqual(number, term);
    case MatchType::GreaterThan:
        return number > term;
    case MatchType::LessThan:
        return number < term;
    default:
        return false;
    }
}

// A value that is no date counts as earlier than, and different from, every date.
bool compareDates(int matchType, const QString &value, const QDate &term,
                  const ValueFormats &formats)
{
    const QDate date = stringToDate(value, formats);
    const bool valid = date.isValid();
    switch (matchType) {
    case MatchType::Is:
        return valid && date == term;
    case MatchType::IsNot:
        return !valid || date != term;
    case MatchType::GreaterThan:
        return valid && date > term;
    case MatchType::LessThan:
        return !valid || date < term;
    default:
        return false;
    }
}

ushort asciiLower(ushort c)
{
    return c >= 'A' && c <= 'Z' ? ushort(c + ('a' - 'A')) : c;
}

bool isAscii(const ushort *text, int size)
{
    for (int i = 0; i < size; ++i) {
        if (text[i] >= 0x80)
            return false;
    }
    return true;
}

// value.toLower().contains(needle) for a lower-case needle. Values are mostly plain ASCII, where
// lower-casing is per character: then no lower-case copy is made, as the any-property filter
// asks this of every value of every card.
bool lowerCaseContains(const QString &value, const QString &needle)
{
    const auto *text = reinterpret_cast<const ushort *>(value.constData());
    const int size = value.size();
    if (!isAscii(text, size))
        return value.toLower().contains(needle);
    const auto *wanted = reinterpret_cast<const ushort *>(needle.constData());
    const int length = needle.size();
    for (int start = 0; start + length <= size; ++start) {
        int matched = 0;
        while (matched < length && asciiLower(text[start + matched]) == wanted[matched])
            ++matched;
        if (matched == length)
            return true;
    }
    return false;
}

bool isContainsTerm(int matchType)
{
    return matchType == MatchType::Contains || matchType == MatchType::DoesNotContain;
}

// Any-mode ends at the first match, all-mode at the first miss.
template<typename Terms, typename Matches>
bool combineTerms(const Terms &terms, bool matchAny, Matches matches)
{
    for (const auto &term : terms) {
        const bool match = matches(term);
        if (matchAny && match)
            return true;
        if (!matchAny && !match)
            return false;
    }
    return !matchAny;
}

} // namespace

// Texts in the order first met, each once; the predefined values come first, repeats kept.
// One table of the distinct texts serves collecting them and putting them in the user's order,
// so the cost grows with the number of texts and not faster, however many are distinct.
class Document::DistinctTexts
{
public:
    void addPredefined(const QStringList &texts)
    {
        for (const QString &text : texts)
            append(text, m_seen.add(text));
    }
    void add(const QString &text)
    {
        const int before = m_seen.count();
        const int index = m_seen.add(text);
        if (m_seen.count() != before)
            append(text, index);
    }
    void removeEmpty()
    {
        const int empty = m_seen.indexOf(QStringView());
        if (empty < 0 || m_counts.at(empty) == 0)
            return;
        m_counts[empty] = 0;
        QStringList kept;
        QVector<int> keptIndexes;
        for (int i = 0; i < m_list.size(); ++i) {
            if (m_indexes.at(i) != empty) {
                kept.append(m_list.at(i));
                keptIndexes.append(m_indexes.at(i));
            }
        }
        m_list = kept;
        m_indexes = keptIndexes;
    }
    // Moves the texts of the order to the front, in that order; the rest keep the order they
    // were collected in.
    void putInOrder(const QStringList &order)
    {
        QVector<bool> moved(m_seen.count(), false);
        QStringList front;
        for (const QString &text : order) {
            const int index = m_seen.indexOf(text);
            if (index < 0 || m_counts.at(index) == 0 || moved.at(index))
                continue;
            moved[index] = true;
            for (int i = 0; i < m_counts.at(index); ++i)
                front.append(text);
        }
        if (front.isEmpty())
            return;
        front.reserve(m_list.size());
        for (int i = 0; i < m_list.size(); ++i) {
            if (!moved.at(m_indexes.at(i)))
                front.append(m_list.at(i));
        }
        m_list = front;
    }
    QStringList &list() { return m_list; }

private:
    void append(const QString &text, int index)
    {
        m_list.append(text);
        m_indexes.append(index);
        if (index == m_counts.size())
            m_counts.append(0);
        ++m_counts[index];
    }

    QStringList m_list;
    // The distinct text of each entry of m_list, and how often each distinct text is in it.
    QVector<int> m_indexes;
    QVector<int> m_counts;
    SharedTexts m_seen {SharedTexts::KeepAll};
};

QStringList Document::finishedValues(int property, DistinctTexts &texts,
                                     const ValueListOptions &options) const
{
    if (options.includeDefault)
        texts.add(m_properties.at(property).defaultValue());
    if (!options.keepEmpty)
        texts.removeEmpty();
    QStringList &list = texts.list();
    if (options.sortMode == ValueSort::Sorted)
        std::sort(list.begin(), list.end());
    else if (options.sortMode == ValueSort::UserOrder)
        texts.putInOrder(m_properties.at(property).appearanceRef().textOrder());
    return texts.list();
}

QStringList Document::values(int property, const ValueListOptions &options) const
{
    if (!isValidProperty(property))
        return QStringList();
    DistinctTexts texts;
    if (options.includePredefined)
        texts.addPredefined(m_predefinedValues.value(property));
    if (options.includeUsed) {
        for (TaskIndex task = 0; task < m_tasks.size(); ++task) {
            if (!options.onlyFiltered || taskPassesFilter(task))
                texts.add(m_values.text(task, property));
        }
    }
    return finishedValues(property, texts, options);
}

QList<QStringList> Document::valuesOfEveryProperty(const ValueListOptions &options) const
{
    const int count = m_properties.size();
    QList<QStringList> lists;
    if (!options.includeUsed || options.onlyFiltered) {
        // The one walk pays only when every card's values are gathered.
        for (int property = 0; property < count; ++property)
            lists.append(values(property, options));
        return lists;
    }
    QVector<DistinctTexts> texts(count);
    for (int property = 0; options.includePredefined && property < count; ++property)
        texts[property].addPredefined(m_predefinedValues.value(property));
    for (int property = 0; property < count; ++property) {
        for (const QString &text : m_values.column(property))
            texts[property].add(text);
    }
    for (int property = 0; property < count; ++property)
        lists.append(finishedValues(property, texts[property], options));
    return lists;
}

QStringList Document::taskValues(TaskIndex task) const
{
    QStringList list;
    for (int property = 1; property < m_properties.size(); ++property)
        list.append(m_values.text(task, property));
    return list;
}

Document::PreparedTerm Document::prepareTerm(const FilterTerm &term) const
{
    PreparedTerm prepared;
    prepared.property = term.propertyIndex;
    prepared.matchType = term.matchType;
    prepared.text = term.value.trimmed().toLower();
    prepared.dateText = normalizeDateText(prepared.text, m_valueFormats);
    prepared.isOtherDateText = prepared.dateText != prepared.text;
    prepared.number = stringToNumber(prepared.text, m_valueFormats, false, &prepared.isNumber);
    bool isDate = false;
    prepared.date = stringToDate(prepared.dateText, m_valueFormats, &isDate);
    if (!isDate)
        prepared.date = QDate();
    return prepared;
}

// The "is" and "is not" terms on one property, of one match type. On a text property the
// terms compare the value's text with theirs, so their any or all combination asks only which
// texts they hold: one set lookup per card instead of one comparison per term. "Hide other
// rows" makes thousands of them.
struct Document::TermGroup
{
    int property = 0;
    int matchType = MatchType::Is;
    QSet<QString> texts;
    // Numbers and dates compare by what they read as, so there the terms go one by one.
    QVector<PreparedTerm> terms;
};

// The prepared terms split into the groups and the terms outside them; the latter also by
// property, for one value's test.
struct Document::PreparedFilter
{
    struct OfProperty
    {
        QVector<int> groups;
        QVector<int> loose;
    };

    QVector<TermGroup> groups;
    QVector<PreparedTerm> loose;
    // Of the loose terms, those on any property (0), and the rest by their property.
    QVector<int> looseOnAnyProperty;
    QHash<int, OfProperty> byProperty;
};

namespace {

bool isGroupedTerm(const FilterTerm &term)
{
    return term.propertyIndex != 0
        && (term.matchType == MatchType::Is || term.matchType == MatchType::IsNot);
}

} // namespace

const Document::PreparedFilter &Document::preparedFilter() const
{
    // The filter is evaluated card by card, many thousand times per refresh: the term texts
    // are trimmed, lower-cased and read as numbers and dates once. They depend on the plan's
    // formats and, for relative dates, on the day, so the preparation is redone when either
    // changed.
    const QList<FilterTerm> &terms = m_currentView.filterTerms;
    const QDate day = today();
    if (!m_preparedFilter || terms != m_preparedFrom || day != m_preparedDay
        || m_valueFormats != m_preparedFormats) {
        auto prepared = std::make_shared<PreparedFilter>();
        QHash<QPair<int, int>, int> groupOf;
        for (const FilterTerm &term : terms) {
            const PreparedTerm one = prepareTerm(term);
            if (!isGroupedTerm(term)) {
                prepared->byProperty[one.property].loose.append(prepared->loose.size());
                prepared->loose.append(one);
                continue;
            }
            const QPair<int, int> key(one.property, one.matchType);
            int index = groupOf.value(key, -1);
            if (index < 0) {
                index = prepared->groups.size();
                groupOf.insert(key, index);
                TermGroup group;
                group.property = one.property;
                group.matchType = one.matchType;
                prepared->groups.append(group);
                prepared->byProperty[one.property].groups.append(index);
            }
            prepared->groups[index].texts.insert(one.text);
            prepared->groups[index].terms.append(one);
        }
        prepared->looseOnAnyProperty = prepared->byProperty.take(0).loose;
        m_preparedFilter = prepared;
        m_preparedDay = day;
        m_preparedFormats = m_valueFormats;
    }
    // Kept even when only equal: the lists then share their data, and the next comparison ends
    // at once instead of going through every term again.
    m_preparedFrom = terms;
    return *m_preparedFilter;
}

bool Document::isLookedUpFilterTerm(const FilterTerm &term) const
{
    return isGroupedTerm(term) && isValidProperty(term.propertyIndex)
        && actualPropertyType(term.propertyIndex) == ActualType::Text;
}

// The group's terms combined as each would be on its own.
bool Document::groupMatches(const TermGroup &group, const QString &value, bool matchAny) const
{
    const int type = isValidProperty(group.property) ? actualPropertyType(group.property) : -1;
    if (type != ActualType::Text) {
        return combineTerms(group.terms, matchAny, [&](const PreparedTerm &term) {
            return valueMatchesPrepared(group.property, value, term);
        });
    }
    const bool held = group.texts.contains(value.trimmed().toLower());
    // Every term matches only when all hold one text; some term does unless all hold the value.
    const bool onlyText = group.texts.size() == 1;
    if (group.matchType == MatchType::Is)
        return matchAny ? held : onlyText && held;
    return matchAny ? !onlyText || !held : !held;
}

bool Document::taskPassesFilter(TaskIndex task) const
{
    const Slice &view = m_currentView;
    if (view.filterTerms.isEmpty())
        return true;
    const PreparedFilter &prepared = preparedFilter();
    const bool any = view.filterMatchAny;
    bool match = combineTerms(prepared.groups, any, [&](const TermGroup &group) {
        return groupMatches(group, m_values.text(task, group.property), any);
    });
    // The groups decided when any-mode found a match or all-mode a miss.
    if (match != any)
        match = combineTerms(prepared.loose, any, [&](const PreparedTerm &term) {
            return taskMatchesPrepared(task, term);
        });
    return view.filterShowsMatching ? match : !match;
}

bool Document::taskMatchesPrepared(TaskIndex task, const PreparedTerm &term) const
{
    if (term.property != 0)
        return valueMatchesPrepared(term.property, m_values.text(task, term.property), term);
    for (int property = 1; property < m_properties.size(); ++property) {
        if (valueMatchesPrepared(property, m_values.text(task, property), term))
            return true;
    }
    return notesMatchPrepared(task, term);
}

bool Document::valueMatchesFilterTerms(int property, const QString &value) const
{
    const Slice &view = m_currentView;
    if (view.filterTerms.isEmpty())
        return true;
    const PreparedFilter &prepared = preparedFilter();
    const auto own
        = property != 0 ? prepared.byProperty.constFind(property) : prepared.byProperty.constEnd();
    const bool hasOwn = own != prepared.byProperty.constEnd();
    if (!hasOwn && prepared.looseOnAnyProperty.isEmpty())
        return true;
    const bool any = view.filterMatchAny;
    const auto matches = [&](int index) {
        return valueMatchesPrepared(property, value, prepared.loose.at(index));
    };
    bool match = combineTerms(prepared.looseOnAnyProperty, any, matches);
    if (hasOwn && match != any) {
        match = combineTerms(own->groups, any, [&](int index) {
            return groupMatches(prepared.groups.at(index), value, any);
        });
        if (match != any)
            match = combineTerms(own->loose, any, matches);
    }
    return view.filterShowsMatching ? match : !match;
}

bool Document::taskMatchesFilterTerm(TaskIndex task, int property, const FilterTerm &term) const
{
    return valueMatchesFilterTerm(property, value(task, property), term);
}

bool Document::notesMatchFilterTerm(TaskIndex task, const FilterTerm &term) const
{
    return notesMatchPrepared(task, prepareTerm(term));
}

bool Document::valueMatchesFilterTerm(int property, const QString &value,
                                      const FilterTerm &term) const
{
    return valueMatchesPrepared(property, value, prepareTerm(term));
}

bool Document::notesMatchPrepared(TaskIndex task, const PreparedTerm &term) const
{
    if (!isValidTask(task))
        return false;
    const QString notes = m_tasks.at(task).notes().trimmed().toLower();
    switch (term.matchType) {
    case MatchType::Contains:
        return notes.contains(term.text);
    case MatchType::DoesNotContain:
        return !notes.contains(term.text);
    case MatchType::Is:
        return notes == term.text;
    case MatchType::IsNot:
        return notes != term.text;
    default:
        return false;
    }
}

bool Document::valueMatchesPrepared(int property, const QString &value,
                                    const PreparedTerm &term) const
{
    // A term read from a damaged file may name a property the plan does not have.
    if (!isValidProperty(property))
        return false;
    if (isContainsTerm(term.matchType)) {
        // The property's type only matters when the term reads as a relative or other date.
        const bool asDate
            = term.isOtherDateText && actualPropertyType(property) == ActualType::Date;
        // No need to trim the value: the term has no blanks at either end, so it can only be
        // found inside the trimmed part.
        const bool contains = lowerCaseContains(value, asDate ? term.dateText : term.text);
        return term.matchType == MatchType::Contains ? contains : !contains;
    }
    const QString text = value.trimmed().toLower();
    switch (actualPropertyType(property)) {
    case ActualType::Numeric:
        return term.isNumber && compareNumbers(term.matchType, text, term.number, m_valueFormats);
    case ActualType::Date:
        return term.date.isValid() && compareDates(term.matchType, text, term.date, m_valueFormats);
    default:
        return compareTexts(term.matchType, text, term.text);
    }
}

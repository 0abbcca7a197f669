#include "common/NumberDateText.h"
#include "common/RelativeDates.h"
#include "model/Document.h"

#include <algorithm>

#include <QHash>
#include <QSet>

namespace {

// Moves the texts of the user's value order to the front, in that order; the rest keep the
// order they were collected in.
QStringList inValueOrder(const QStringList &texts, const QStringList &order)
{
    QHash<QString, int> counts;
    for (const QString &text : texts)
        ++counts[text];
    QStringList front;
    QSet<QString> moved;
    for (const QString &text : order) {
        const int count = counts.value(text);
        if (count == 0 || moved.contains(text))
            continue;
        moved.insert(text);
        for (int i = 0; i < count; ++i)
            front.append(text);
    }
    for (const QString &text : texts) {
        if (!moved.contains(text))
            front.append(text);
    }
    return front;
}

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

bool compareNumbers(int matchType, const QString &value, const QString &term)
{
    bool valueOk = false;
    bool termOk = false;
    const double a = stringToNumber(value, true, &valueOk);
    const double b = stringToNumber(term, false, &termOk);
    if (!valueOk || !termOk)
        return false;
    switch (matchType) {
    case MatchType::Is:
        return fuzzyEqual(a, b);
    case MatchType::IsNot:
        return !fuzzyEqual(a, b);
    case MatchType::GreaterThan:
        return a > b;
    case MatchType::LessThan:
        return a < b;
    default:
        return false;
    }
}

// A value that is no date counts as earlier than, and different from, every date.
bool compareDates(int matchType, const QString &value, const QString &term)
{
    bool termOk = false;
    const QDate termDate = stringToDate(term, &termOk);
    if (!termOk || !termDate.isValid())
        return false;
    const QDate date = stringToDate(value);
    const bool valid = date.isValid();
    switch (matchType) {
    case MatchType::Is:
        return valid && date == termDate;
    case MatchType::IsNot:
        return !valid || date != termDate;
    case MatchType::GreaterThan:
        return valid && date > termDate;
    case MatchType::LessThan:
        return !valid || date < termDate;
    default:
        return false;
    }
}

// Any-mode ends at the first match, all-mode at the first miss.
template<typename Terms, typename Matches>
bool combineTerms(const Terms &terms, bool matchAny, Matches matches)
{
    for (const FilterTerm &term : terms) {
        const bool match = matches(term);
        if (matchAny && match)
            return true;
        if (!matchAny && !match)
            return false;
    }
    return !matchAny;
}

} // namespace

QStringList Document::values(int property, int sortMode, bool keepEmpty, bool includeUsed,
                             bool includePredefined, bool includeDefault, bool onlyFiltered) const
{
    QStringList list;
    if (!isValidProperty(property))
        return list;
    QSet<QString> seen;
    auto addOnce = [&](const QString &text) {
        const int before = seen.size();
        seen.insert(text);
        if (seen.size() != before)
            list.append(text);
    };
    if (includePredefined) {
        // All of them, repeated ones included.
        list = m_predefinedValues.value(property);
        for (const QString &text : qAsConst(list))
            seen.insert(text);
    }
    if (includeUsed) {
        for (TaskIndex task = 0; task < m_tasks.size(); ++task) {
            if (!onlyFiltered || taskPassesFilter(task))
                addOnce(value(task, property));
        }
    }
    if (includeDefault)
        addOnce(m_properties.at(property).defaultValue());
    if (!keepEmpty)
        list.removeAll(QString());
    if (sortMode == 1)
        std::sort(list.begin(), list.end());
    else if (sortMode == 2)
        list = inValueOrder(list, m_properties.at(property).appearanceRef().textOrder());
    return list;
}

bool Document::taskPassesFilter(TaskIndex task) const
{
    const Slice &view = m_currentView;
    if (view.filterTerms.isEmpty())
        return true;
    const bool match
        = combineTerms(view.filterTerms, view.filterMatchAny,
                       [&](const FilterTerm &term) { return taskMatches(task, term); });
    return view.filterShowsMatching ? match : !match;
}

bool Document::taskMatches(TaskIndex task, const FilterTerm &term) const
{
    if (term.propertyIndex != 0)
        return taskMatchesFilterTerm(task, term.propertyIndex, term);
    for (int property = 1; property < m_properties.size(); ++property) {
        if (taskMatchesFilterTerm(task, property, term))
            return true;
    }
    return notesMatchFilterTerm(task, term);
}

bool Document::valueMatchesFilterTerms(int property, const QString &value) const
{
    const Slice &view = m_currentView;
    QList<FilterTerm> terms;
    for (const FilterTerm &term : view.filterTerms) {
        if (term.propertyIndex == 0 || term.propertyIndex == property)
            terms.append(term);
    }
    if (terms.isEmpty())
        return true;
    const bool match = combineTerms(terms, view.filterMatchAny, [&](const FilterTerm &term) {
        return valueMatchesFilterTerm(property, value, term);
    });
    return view.filterShowsMatching ? match : !match;
}

bool Document::taskMatchesFilterTerm(TaskIndex task, int property, const FilterTerm &term) const
{
    return valueMatchesFilterTerm(property, value(task, property), term);
}

bool Document::notesMatchFilterTerm(TaskIndex task, const FilterTerm &term) const
{
    if (!isValidTask(task))
        return false;
    const QString notes = m_tasks.at(task).notes().trimmed().toLower();
    const QString text = term.value.trimmed().toLower();
    switch (term.matchType) {
    case MatchType::Contains:
        return notes.contains(text);
    case MatchType::DoesNotContain:
        return !notes.contains(text);
    case MatchType::Is:
        return notes == text;
    case MatchType::IsNot:
        return notes != text;
    default:
        return false;
    }
}

bool Document::valueMatchesFilterTerm(int property, const QString &value,
                                      const FilterTerm &term) const
{
    // A term read from a damaged file may name a property the plan does not have.
    if (!isValidProperty(property))
        return false;
    const QString text = value.trimmed().toLower();
    QString termText = term.value.trimmed().toLower();
    const ActualPropertyType type = actualPropertyType(property);
    if (type == ActualType::Date)
        termText = normalizeDateText(termText);
    switch (term.matchType) {
    case MatchType::Contains:
        return text.contains(termText);
    case MatchType::DoesNotContain:
        return !text.contains(termText);
    case MatchType::Is:
    case MatchType::IsNot:
    case MatchType::GreaterThan:
    case MatchType::LessThan:
        if (type == ActualType::Numeric)
            return compareNumbers(term.matchType, text, termText);
        if (type == ActualType::Date)
            return compareDates(term.matchType, text, termText);
        return compareTexts(term.matchType, text, termText);
    default:
        return false;
    }
}

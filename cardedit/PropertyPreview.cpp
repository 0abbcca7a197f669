#include "cardedit/PropertyPreview.h"

#include "common/core/NumberDateText.h"
#include "common/core/RelativeDates.h"
#include "model/Document.h"

#include <functional>

void setAbbreviations(QList<PropertyPreview> &records)
{
    QStringList taken;
    for (PropertyPreview &record : records) {
        record.abbreviation.clear();
        const QString lower = record.name.toLower();
        for (int length = 1; length <= lower.size(); ++length) {
            const QString candidate = lower.left(length);
            if (!taken.contains(candidate)) {
                record.abbreviation = candidate;
                taken.append(candidate);
                break;
            }
        }
    }
}

QList<QuickAddTerm> quickAddTerms(const QString &text)
{
    const QString trimmed = text.trimmed();
    const QChar separator
        = trimmed.contains(QLatin1Char(';')) ? QLatin1Char(';') : QLatin1Char(',');
    QList<QuickAddTerm> terms;
    for (const QString &part : trimmed.split(separator)) {
        const QStringList pieces = part.split(QLatin1Char('='));
        QuickAddTerm term;
        if (pieces.size() == 1) {
            term.value = pieces.first().trimmed();
        } else {
            term.name = pieces.at(0).trimmed();
            term.value = pieces.at(1).trimmed();
        }
        if (!term.name.isEmpty() || !term.value.isEmpty())
            terms.append(term);
    }
    return terms;
}

int quickAddValueType(const QString &text, const Document &plan)
{
    const int type = guessValueType(text, plan.valueFormats());
    if (type != 0)
        return type;
    return parseRelativeDate(text, plan.valueFormats()).isValid() ? ActualType::Date
                                                                  : ActualType::Text;
}

bool assignQuickAddTerms(QList<PropertyPreview> &records, const QString &text, const Document &plan,
                         const QList<QSet<QString>> &knownValues)
{
    for (PropertyPreview &record : records) {
        record.value.clear();
        record.used = false;
    }
    QList<QuickAddTerm> terms = quickAddTerms(text);
    const bool hadTerms = !terms.isEmpty();

    using Fits = std::function<bool(const PropertyPreview &, const QuickAddTerm &)>;
    const auto pass = [&](const Fits &fits) {
        for (PropertyPreview &record : records) {
            if (record.used)
                continue;
            for (int i = 0; i < terms.size(); ++i) {
                const QuickAddTerm term = terms.at(i);
                if (!fits(record, term))
                    continue;
                terms.removeAll(term);
                const bool isDate
                    = plan.actualPropertyType(record.propertyIndex) == ActualType::Date;
                record.value
                    = isDate ? normalizeDateText(term.value, plan.valueFormats()) : term.value;
                record.used = true;
                break;
            }
        }
    };

    pass([](const PropertyPreview &record, const QuickAddTerm &term) {
        return !term.name.isEmpty() && term.name.compare(record.name, Qt::CaseInsensitive) == 0;
    });
    pass([](const PropertyPreview &record, const QuickAddTerm &term) {
        return !term.name.isEmpty()
            && term.name.compare(record.abbreviation, Qt::CaseInsensitive) == 0;
    });
    // A named term fills only the property it names: one naming no property is dropped
    // here, and the passes below take bare values only.
    for (int i = terms.size() - 1; i >= 0; --i) {
        if (!terms.at(i).name.isEmpty() && plan.propertyIndex(terms.at(i).name) == -1)
            terms.removeAt(i);
    }
    pass([&](const PropertyPreview &record, const QuickAddTerm &term) {
        return term.name.isEmpty()
            && knownValues.value(record.propertyIndex).contains(term.value.toLower());
    });
    pass([&](const PropertyPreview &record, const QuickAddTerm &term) {
        return term.name.isEmpty()
            && quickAddValueType(term.value, plan) == plan.actualPropertyType(record.propertyIndex);
    });
    pass([](const PropertyPreview &, const QuickAddTerm &term) { return term.name.isEmpty(); });

    for (PropertyPreview &record : records) {
        if (!record.used)
            record.value = record.defaultValue;
    }
    return hadTerms;
}

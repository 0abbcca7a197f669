#include "storage/StoredAppearance.h"

#include "storage/DomDocument.h"
#include "storage/PlanFileWriter.h"
#include "storage/ViewReaders.h"

namespace {

const QString documentType = QStringLiteral("stored_appearance");

} // namespace

QString storedAppearanceText(const CardsAppearance &appearance)
{
    DomDocument dom(documentType);
    QDomElement root = dom.createElement(QStringLiteral("appearance"));
    dom.appendChild(root);
    writeCardsAppearanceXml(dom, root, appearance);
    // One line per appearance; attribute texts are percent-encoded, so no value holds one.
    return dom.toString(1).remove(QLatin1Char('\n'));
}

CardsAppearance storedAppearanceFromText(const QString &text)
{
    CardsAppearance appearance;
    DomDocument dom(documentType);
    if (!text.isEmpty() && dom.setContent(text))
        readCardsAppearanceXml(dom, planFileVersion, dom.documentElement(), appearance);
    return appearance;
}

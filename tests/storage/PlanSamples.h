#pragma once

// Plans built in memory for the storage tests, the fuzz seeds and the benchmark.

#include "harness/TestPlanKey.h"
#include "model/Document.h"
#include "storage/PlanFileReader.h"
#include "storage/PlanFileWriter.h"

#include <QBuffer>
#include <QImage>
#include <QPixmap>
#include <QUrl>

namespace PlanSamples {

inline void addProperty(Document &doc, const QString &name, int type = PropertyType::Automatic,
                        const QString &defaultValue = QString(),
                        const QStringList &predefined = QStringList(),
                        const PropertyAppearance &appearance = PropertyAppearance())
{
    doc.addProperty(name, defaultValue, type, predefined, PropertyVisibility::Text, appearance,
                    false);
}

inline void setValue(Document &doc, int card, int property, const QString &value)
{
    QString text = value;
    doc.setValue(card, property, text, false, nullptr);
}

inline Image picture(const QString &name, const QColor &color, int width, int height,
                     const QString &path = QString())
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(color);
    image.setPixel(0, 0, qRgba(1, 2, 3, 255));
    return Image(QPixmap::fromImage(image), name, path);
}

// A real PNG one pixel high, a few bytes long, that would decode quickly at any width.
inline QByteArray pngOfWidth(int width)
{
    QImage image(width, 1, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

// A plan file keeps a property's text order as the whole value list in display order; a
// list of only the empty text is written as no list.
inline void normalizeLikeFile(Document &doc)
{
    for (int p = 1; p < doc.propertyCount(); ++p) {
        QStringList order = doc.values(p);
        if (order == QStringList(QString()))
            order.clear();
        doc.editablePropertyAppearance(p, TestPlanKey::key()).setTextOrder(order);
    }
}

// Texts that have broken plan files before: separators, quotes, percent signs, markup,
// line breaks, blanks at the ends, non-ASCII letters and characters outside the BMP.
inline QStringList awkwardTexts()
{
    return {QStringLiteral("High,5"),
            QStringLiteral("say \"hi\""),
            QStringLiteral("100% & <b>bold</b>"),
            QStringLiteral("line one\nline two\r\nthree"),
            QStringLiteral("  padded  "),
            QStringLiteral("Ünïcödé – 東京 \U0001F600"),
            QStringLiteral("%41 stays %41"),
            QString(),
            QStringLiteral(",,")};
}

inline CardsAppearance customCardsAppearance(const QString &title)
{
    CardsAppearance appearance;
    appearance.title = title;
    appearance.titleSize = 140;
    appearance.aspectRatio = 1.5;
    appearance.cardFont = QFont(QStringLiteral("DejaVu Sans"), 11);
    appearance.headerColor = QColor(10, 20, 30);
    return appearance;
}

// A plan that exercises every part of the file: awkward texts everywhere, images from files
// and stock images, links, property appearances, stored views with and without their own
// appearance, a filter, and non-default charts settings.
inline void fillVariedPlan(Document &doc)
{
    doc.clear(false);
    doc.addImage(picture(QStringLiteral("photo, big"), QColor(200, 10, 10), 40, 20), false);
    doc.addImage(picture(QStringLiteral("stock"), QColor(10, 200, 10), 16, 16,
                         QStringLiteral(":/stock/flag.png")),
                 false);
    PropertyAppearance stage;
    stage.setTextOrder({QStringLiteral("Doing"), QStringLiteral("Ünïcödé – 東京 \U0001F600")});
    stage.setTextColor(QStringLiteral("Doing"), QColor(1, 2, 3));
    stage.setBinSize(5);
    addProperty(doc, QStringLiteral("Name, first"));
    addProperty(doc, QStringLiteral("Stage"), PropertyType::Text, QStringLiteral("To do"),
                {QStringLiteral("Doing"), QStringLiteral("b,c"), QStringLiteral("To do")}, stage);
    addProperty(doc, QStringLiteral("Cost"), PropertyType::Numeric, QStringLiteral("0"));
    addProperty(doc, QStringLiteral("Ünïcödé %"));
    const QStringList texts = awkwardTexts();
    for (int card = 0; card < texts.size(); ++card) {
        doc.addTask(false);
        setValue(doc, card, 1, texts.at(card));
        setValue(doc, card, 2, texts.at((card + 3) % texts.size()));
        setValue(doc, card, 3, QString::number(card * 2.5));
        setValue(doc, card, 4, texts.at((card + 5) % texts.size()));
        doc.setTaskNotes(card, texts.at((card + 1) % texts.size()), false, nullptr);
        if (card % 3 == 0) {
            doc.setTaskLinks(card,
                             {HyperLink(QStringLiteral("Home, page"),
                                        QUrl(QStringLiteral("https://example.com/a b?x=1,2")))},
                             false, nullptr);
        }
        doc.setTaskImage(card, card % 3 - 1, false, nullptr);
    }
    Slice &current = doc.editableCurrentView(TestPlanKey::key());
    current.xProperty = 2;
    current.yProperty = 1;
    current.setPropertyVisibility(2, PropertyVisibility::Star);
    current.filterBasic = false;
    current.filterTerms << FilterTerm(2, MatchType::IsNot, QStringLiteral("b,c"));
    current.storeAppearance = true;
    current.appearance = customCardsAppearance(QStringLiteral("Current, own"));
    doc.cardsAppearanceRef(TestPlanKey::key())
        = customCardsAppearance(QStringLiteral("Plan title %1"));
    Slice plain = current;
    plain.name = QStringLiteral("Plain, ü");
    plain.storeAppearance = false;
    plain.filterTerms.clear();
    doc.storedViewsRef(TestPlanKey::key()) << plain;
    doc.setChartShowProperty(3, false);
    doc.chartsAppearanceRef(TestPlanKey::key()).title = QStringLiteral("Chart \"title\"");
}

// A large plan for the benchmark: cards x properties of short texts and numbers, and a few
// images.
inline void fillLargePlan(Document &doc, int cards, int properties)
{
    doc.clear(false);
    for (int i = 0; i < 4; ++i)
        doc.addImage(picture(QStringLiteral("image %1").arg(i), QColor(40 * i, 80, 120), 128, 96),
                     false);
    for (int p = 1; p <= properties; ++p) {
        addProperty(doc, QStringLiteral("Property %1").arg(p),
                    p % 3 == 0 ? PropertyType::Numeric : PropertyType::Automatic);
    }
    for (int card = 0; card < cards; ++card) {
        doc.addTask(false);
        for (int p = 1; p <= properties; ++p) {
            setValue(doc, card, p,
                     p % 3 == 0 ? QString::number((card * p) % 1000)
                                : QStringLiteral("Value %1-%2").arg(p).arg(card % 50));
        }
        doc.setTaskNotes(card, QStringLiteral("Notes of card %1, with a comma").arg(card), false,
                         nullptr);
        if (card % 1000 == 0)
            doc.setTaskImage(card, (card / 1000) % 4, false, nullptr);
    }
}

// The plan as its file gives it back, for tests of what reaches the disk: written to text and
// read again. False when the text does not read back.
inline bool readBackAsFiled(const Document &plan, Document &read)
{
    QByteArray text = planFileText(plan);
    QBuffer file(&text);
    file.open(QIODevice::ReadOnly);
    return readPlanFile(read, &file, QStringLiteral("plan.tv"), nullptr, nullptr);
}

} // namespace PlanSamples

#include "cards/CardItem.h"
#include "cards/CardPainter.h"
#include "cards/CardsScene.h"
#include "common/app/Accessors.h"
#include "common/core/FittedText.h"
#include "harness/TestMain.h"
#include "model/PlanFixture.h"

#include <algorithm>
#include <cstdlib>
#include <functional>

#include <QDir>
#include <QGraphicsSceneMouseEvent>
#include <QPainter>
#include <QStyleOptionGraphicsItem>

using namespace PlanFixture;

using Setup = std::function<void(Document &)>;
Q_DECLARE_METATYPE(Setup)

// Changes a card face and a card's values from a plain look.
using Look = std::function<void(CardFace &, CardPainter::Card &)>;
Q_DECLARE_METATYPE(Look)

// A point of a picture and the colour expected there; an invalid colour stands for something
// drawn there (a rule, an icon, a shadow), visibly apart from both the card and the white
// around it.
struct Spot
{
    QPoint at;
    QColor color;
};
using Spots = QList<Spot>;
Q_DECLARE_METATYPE(Spots)

// The card painter on pixels: colours at known points of cards painted from hand-made values,
// and, for every look a card of a plan may have at every level of detail, the very picture the
// card item paints of it.
class TestCardPainter : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void painterPaintsWhatTheItemPaints_data();
    void painterPaintsWhatTheItemPaints();
    void colorsAtKnownPoints_data();
    void colorsAtKnownPoints();
};

namespace {

enum Hover { NotHovered, HoveredWithIcons, HoveredWithoutIcons };

const QColor cardColor(250, 240, 200);
const QColor stripColor(40, 160, 60);
const QColor red(200, 30, 30);
const QColor blue(0, 0, 255);

const QStringList values {"Alpha", "Beta", "Gamma", "Delta", "Epsilon", "Zeta", "Eta", "Theta"};

// Eight text properties P1 to P8, all hidden, and one card holding the values above.
void oneCardPlan(Document &plan)
{
    plan.clear(false);
    QList<PropertyIndexAndValue> cardValues;
    for (int p = 1; p <= 8; ++p) {
        addProperty(plan, QStringLiteral("P%1").arg(p), PropertyType::Text);
        plan.setPropertyVisibility(p, PropertyVisibility::Hidden, false);
        cardValues.append({p, values.at(p - 1)});
    }
    plan.addTaskWithValues(cardValues, QString(), {}, -1, false);
}

Setup shown(const QList<int> &codes, const Setup &more = Setup())
{
    return [codes, more](Document &plan) {
        oneCardPlan(plan);
        for (int i = 0; i < codes.size(); ++i)
            plan.setPropertyVisibility(i + 1, codes.at(i), false);
        if (more)
            more(plan);
    };
}

QPixmap solidPixmap(const QSize &size, const QColor &color)
{
    QPixmap pixmap(size);
    pixmap.fill(color);
    return pixmap;
}

Setup withImage(int position, int size, const QList<int> &codes = {PropertyVisibility::Text})
{
    return shown(codes, [position, size](Document &plan) {
        const int image = plan.addImage(
            Image(solidPixmap(QSize(128, 64), red), QStringLiteral("red"), QString()), false);
        plan.setTaskImage(0, image, false);
        plan.setShowImages(true, position, size, false);
    });
}

const QList<int> allCodes {1, 2, 3, 4, 5, 6, 7, 8};

// What a card may show, each with a name.
QList<QPair<QString, Setup>> looks()
{
    namespace V = PropertyVisibility;
    QList<QPair<QString, Setup>> list;
    for (int code = 0; code <= 8; ++code)
        list.append({QStringLiteral("code %1").arg(code), shown({code, code, code})});
    list.append({"every code", shown(allCodes)});
    list.append({"every code, labels",
                 shown(allCodes, [](Document &plan) { plan.setShowLabels(true, false); })});
    list.append({"markers and highlight",
                 shown({V::Square, V::Circle, V::Text},
                       [](Document &plan) { plan.setHighlightColorProperty(2, false); })});
    list.append({"highlight alone", shown({V::Text, V::BoldText}, [](Document &plan) {
                     plan.setHighlightColorProperty(1, false);
                 })});
    const auto notesAndLinks = [](bool notes, bool links) {
        return [notes, links](Document &plan) {
            plan.setShowNotes(true, false);
            plan.setShowHyperLinks(true, false);
            if (notes)
                plan.setTaskNotes(0, QStringLiteral("some notes"), false);
            if (links)
                plan.setTaskLinks(
                    0, {HyperLink(QStringLiteral("a"), QUrl(QStringLiteral("http://a")))}, false);
        };
    };
    list.append(
        {"notes and links", shown({V::Star, V::Diamond, V::Text}, notesAndLinks(true, true))});
    list.append({"notes only", shown({V::Text}, notesAndLinks(true, false))});
    list.append({"links only", shown({V::Triangle, V::Text}, notesAndLinks(false, true))});
    list.append({"notes and links hidden", shown({V::Text}, [](Document &plan) {
                     plan.setTaskNotes(0, QStringLiteral("some notes"), false);
                 })});
    for (int position = 0; position <= 3; ++position) {
        for (int size = 0; size <= 2; ++size)
            list.append({QStringLiteral("image at %1, size %2").arg(position).arg(size),
                         withImage(position, size)});
    }
    list.append({"image without text", withImage(2, 1, {V::Circle})});
    list.append({"image with empty texts", [](Document &plan) {
                     withImage(0, 2)(plan);
                     QString empty;
                     plan.setValue(0, 1, empty, false);
                 }});
    list.append({"image not shown", [](Document &plan) {
                     withImage(1, 1)(plan);
                     plan.setShowImages(false, 1, 1, false);
                 }});
    list.append({"drop shadow", shown({V::Circle, V::Text}, [](Document &plan) {
                     plan.setShowDropShadow(1, false);
                 })});
    list.append({"rounded", shown({V::Circle, V::Text}, [](Document &plan) {
                     plan.setCardsShape(1, false);
                     plan.setShowDropShadow(1, false);
                 })});
    list.append({"flat, square", shown({V::Square, V::Text}, [](Document &plan) {
                     plan.setCardsGradient(0, false);
                     plan.setCardAspectRatio(1.0, false);
                 })});
    list.append({"strong gradient, wide", shown({V::Text, V::ItalicText}, [](Document &plan) {
                     plan.setCardsGradient(60, false);
                     plan.setCardAspectRatio(2.0, false);
                 })});
    list.append({"coloured by a value", shown({V::Text, V::Circle}, [](Document &plan) {
                     plan.setCardColorProperty(1, false);
                     plan.setHighlightColorProperty(2, false);
                 })});
    list.append({"dark background", shown({V::Text, V::BoldText}, [](Document &plan) {
                     plan.setCardBackgroundColor(QColor(20, 20, 60), false);
                     plan.setShowLabels(true, false);
                 })});
    const QString longText = QStringLiteral("A long value that goes on ").repeated(40);
    for (int scaling = 0; scaling <= 2; ++scaling)
        list.append({QStringLiteral("long texts, scaling %1").arg(scaling),
                     shown({V::Text, V::BoldText, V::Circle}, [scaling, longText](Document &plan) {
                         QString text = longText;
                         plan.setValue(0, 1, text, false);
                         plan.setValue(0, 2, text, false);
                         plan.setCardFontScaling(scaling, false);
                         plan.setShowLabels(scaling == 1, false);
                     })});
    list.append({"eight fixed rows", shown({1, 1, 7, 8, 1, 1, 1, 1}, [](Document &plan) {
                     plan.setCardFontScaling(0, false);
                     plan.setCardFontSize(70, false);
                 })});
    return list;
}

struct SceneOnPlan
{
    SceneOnPlan() : scene(doc())
    {
        QObject::connect(doc(), &Document::changed, &scene, &CardsScene::onChangedDoc);
        doc()->emitChanged(EventType::AllChanged);
    }

    CardsScene scene;
};

void moveMouse(QGraphicsScene &scene, const QPointF &point)
{
    QGraphicsSceneMouseEvent event(QEvent::GraphicsSceneMouseMove);
    event.setScenePos(point);
    event.setScreenPos(point.toPoint());
    event.setButton(Qt::NoButton);
    event.setButtons(Qt::NoButton);
    QCoreApplication::sendEvent(&scene, &event);
}

// A picture of the card at the scale, white where nothing is drawn.
QImage blankPicture(double width, double scale)
{
    QImage image(QSize(int(std::ceil(width * scale)), int(std::ceil(CardItem::Height * scale))),
                 QImage::Format_ARGB32);
    image.fill(Qt::white);
    return image;
}

// The item's paint alone, at the scale and opacity.
QImage itemPaint(CardItem &item, double scale, double opacity)
{
    QImage image = blankPicture(item.width(), scale);
    QPainter painter(&image);
    painter.scale(scale, scale);
    painter.setOpacity(opacity);
    QStyleOptionGraphicsItem option;
    item.paint(&painter, &option, nullptr);
    return image;
}

// What the plan holds for the item's card, read without the item's help.
CardPainter::Card valuesOf(const CardItem &item, const CardsScene &scene)
{
    Document &plan = *doc();
    const TaskIndex task = item.taskIndex();
    CardPainter::Card card;
    card.width = item.width();
    card.background = item.bgColor();
    card.highlight = item.highlightColor();
    card.selected = item.isSelected();
    card.iconCorners = item.isHovered() && scene.overlaysVisible();
    card.notes = plan.hasNotes(task);
    card.links = plan.hasLinks(task);
    for (const CardFace::Row &marker : scene.cardFace().markers)
        card.markerColors.append(plan.valueColor(task, marker.property));
    QStringList texts;
    for (const CardFace::Row &row : scene.cardFace().textRows)
        texts.append(plan.value(task, row.property));
    card.text = [texts](int row) { return texts.value(row); };
    if (plan.taskImage(task) >= 0)
        card.image = plan.image(plan.taskImage(task)).pixmap();
    return card;
}

QImage painterPaint(const CardFace &face, const CardPainter::Card &card, double scale,
                    double opacity)
{
    QImage image = blankPicture(card.width, scale);
    QPainter painter(&image);
    painter.scale(scale, scale);
    painter.setOpacity(opacity);
    CardPainter(face).paint(&painter, card);
    return image;
}

// A card 400 units wide without gradient, so that its colour is the same all over: its card
// rectangle is (20, 20, 360, 350) and its marker band (20, 20, 360, 52.5).
CardFace plainFace()
{
    CardFace face;
    face.width = 400;
    face.gradient = 0;
    face.selectionColor = blue;
    face.fontScaling = FittedTextFixed;
    face.fontSize = 40;
    return face;
}

bool apart(const QColor &a, const QColor &b)
{
    return std::max({std::abs(a.red() - b.red()), std::abs(a.green() - b.green()),
                     std::abs(a.blue() - b.blue())})
        > 24;
}

// Whether two pictures of the same size differ by at most a shade in any channel of any pixel.
bool withinAShade(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return false;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            if (std::abs(qRed(p) - qRed(q)) > 1 || std::abs(qGreen(p) - qGreen(q)) > 1
                || std::abs(qBlue(p) - qBlue(q)) > 1 || std::abs(qAlpha(p) - qAlpha(q)) > 1)
                return false;
        }
    }
    return true;
}

CardFace::Row row(int visibility)
{
    return CardFace::Row {1, visibility, QStringLiteral("Name")};
}

// One text row whose value takes a share of the card beside a picture.
Look withPicture(int position, int size, const QString &text = QStringLiteral("x"))
{
    return [position, size, text](CardFace &face, CardPainter::Card &card) {
        face.textRows = {row(PropertyVisibility::Text)};
        card.text = [text](int) { return text; };
        face.showImages = true;
        face.imagePosition = position;
        face.imageSize = size;
        card.image = solidPixmap(QSize(128, 64), red);
    };
}

} // namespace

void TestCardPainter::init()
{
    doc()->clear(false);
}

void TestCardPainter::painterPaintsWhatTheItemPaints_data()
{
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<bool>("selected");
    QTest::addColumn<int>("hover");
    QTest::addColumn<double>("opacity");
    QTest::addColumn<double>("scale");
    // From a close look through the fitted view of a large plan (0.0125) to patches of colour.
    const QList<double> scales {1.0, 0.3, 0.1, 0.04, 0.025, 0.0125, 0.0069, 0.004};
    const QList<QPair<QString, Setup>> all = looks();
    for (const auto &look : all) {
        for (double scale : scales)
            QTest::addRow("%s at %g", qPrintable(look.first), scale)
                << look.second << false << int(NotHovered) << 1.0 << scale;
    }
    const Setup busy = shown({4, 5, 1, 7}, [](Document &plan) {
        plan.setShowNotes(true, false);
        plan.setTaskNotes(0, QStringLiteral("notes"), false);
        plan.setHighlightColorProperty(3, false);
    });
    for (double scale : scales) {
        QTest::addRow("selected at %g", scale) << busy << true << int(NotHovered) << 1.0 << scale;
        QTest::addRow("hovered at %g", scale)
            << busy << false << int(HoveredWithIcons) << 1.0 << scale;
        QTest::addRow("hovered, icons off, at %g", scale)
            << busy << false << int(HoveredWithoutIcons) << 1.0 << scale;
        QTest::addRow("selected and hovered at %g", scale)
            << busy << true << int(HoveredWithIcons) << 1.0 << scale;
        // Fading out by the filter: the view paints it at the item's falling opacity.
        QTest::addRow("fading at %g", scale) << busy << false << int(NotHovered) << 0.5 << scale;
        QTest::addRow("hidden by the filter at %g", scale) << Setup([busy](Document &plan) {
            busy(plan);
            FilterTerm term;
            term.propertyIndex = 1;
            term.matchType = MatchType::IsNot;
            term.value = QStringLiteral("alpha");
            plan.setFilter(false, true, false, {term}, false, false);
        }) << false << int(NotHovered) << 1.0 << scale;
        QTest::addRow("selected, shadowed, rounded at %g", scale) << Setup([busy](Document &plan) {
            busy(plan);
            plan.setShowDropShadow(1, false);
            plan.setCardsShape(1, false);
        }) << true << int(NotHovered) << 1.0 << scale;
    }
}

void TestCardPainter::painterPaintsWhatTheItemPaints()
{
    QFETCH(Setup, setup);
    QFETCH(bool, selected);
    QFETCH(int, hover);
    QFETCH(double, opacity);
    QFETCH(double, scale);
    setup(*doc());
    SceneOnPlan on;
    CardItem *item = on.scene.cardItemForTask(0);
    QVERIFY(item);
    QCOMPARE(item->passesFilter(), doc()->taskPassesFilter(0));
    item->setSelected(selected);
    if (hover != NotHovered) {
        on.scene.setOverlaysVisible(hover == HoveredWithIcons);
        moveMouse(on.scene, item->sceneBoundingRect().center());
        QVERIFY(item->isHovered());
    }
    const QImage painted = itemPaint(*item, scale, opacity);
    const CardPainter::Card values = valuesOf(*item, on.scene);
    const QImage alone = painterPaint(on.scene.cardFace(), values, scale, opacity);
    // Qt blends a scaled picture into a row a shade differently by how its stack buffers
    // happen to be aligned, which differs between the item's call and this one.
    if (values.image && on.scene.cardFace().showImages)
        QVERIFY(withinAShade(alone, painted));
    else
        QCOMPARE(alone, painted);
    // The item's pictures, to compare those of two builds after a change of the painting.
    const QString folder = qEnvironmentVariable("TAVROLO_CARD_PIXELS_DIR");
    if (!folder.isEmpty()) {
        QString name = QString::fromUtf8(QTest::currentDataTag());
        name.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9.]+")), QStringLiteral("_"));
        QVERIFY(painted.save(QDir(folder).filePath(name + ".png")));
    }
}

void TestCardPainter::colorsAtKnownPoints_data()
{
    namespace V = PropertyVisibility;
    QTest::addColumn<Look>("look");
    QTest::addColumn<double>("scale");
    QTest::addColumn<Spots>("spots");
    const Look plain = [](CardFace &, CardPainter::Card &) {};
    // Beside the card, on it, and just inside its top-left corner.
    QTest::newRow("plain") << plain << 1.0
                           << Spots {{{10, 195}, Qt::white},
                                     {{390, 200}, Qt::white},
                                     {{200, 195}, cardColor},
                                     {{22, 22}, cardColor}};
    QTest::newRow("rounded") << Look([](CardFace &face, CardPainter::Card &) { face.shape = 1; })
                             << 1.0 << Spots {{{22, 22}, Qt::white}, {{200, 195}, cardColor}};
    QTest::newRow("shadowed") << Look([](CardFace &face, CardPainter::Card &) {
        face.dropShadow = true;
    }) << 1.0 << Spots {{{390, 200}, QColor()}, {{10, 195}, Qt::white}, {{200, 195}, cardColor}};
    // A 20-unit border centred 15 units in.
    QTest::newRow("selected") << Look([](CardFace &, CardPainter::Card &card) {
        card.selected = true;
    }) << 1.0
                              << Spots {{{2, 195}, Qt::white},
                                        {{10, 195}, blue},
                                        {{195, 20}, blue},
                                        {{30, 195}, cardColor}};
    QTest::newRow("highlight strip")
        << Look([](CardFace &face, CardPainter::Card &) { face.highlightProperty = 1; }) << 1.0
        << Spots {{{200, 45}, stripColor}, {{200, 100}, cardColor}};
    // Five cells of 52.5 from the left, their centres 46.25 + 52.5 k across and down.
    QTest::newRow("every marker shape") << Look([](CardFace &face, CardPainter::Card &card) {
        for (int code = V::Square; code <= V::Diamond; ++code) {
            face.markers.append(row(code));
            card.markerColors.append(QColor(code * 40, 255 - code * 30, 90));
        }
    }) << 1.0 << Spots {{{46, 46}, QColor(80, 195, 90)},   {{98, 46}, QColor(120, 165, 90)},
                        {{151, 46}, QColor(160, 135, 90)}, {{203, 46}, QColor(200, 105, 90)},
                        {{256, 46}, QColor(240, 75, 90)},  {{340, 46}, cardColor}};
    const Look oneMarker = [](CardFace &face, CardPainter::Card &card) {
        face.markers = {row(V::Circle)};
        card.markerColors = {red};
    };
    // The overlay icons take a band height at each end.
    QTest::newRow("marker beside the icons")
        << Look([oneMarker](CardFace &face, CardPainter::Card &card) {
               oneMarker(face, card);
               card.iconCorners = true;
           })
        << 1.0 << Spots {{{46, 46}, cardColor}, {{98, 46}, red}};
    const auto withIcons = [oneMarker](bool shown, bool notes, bool links) {
        return Look([=](CardFace &face, CardPainter::Card &card) {
            oneMarker(face, card);
            face.showNotes = shown;
            face.showLinks = shown;
            card.notes = notes;
            card.links = links;
        });
    };
    // The link icon in the last cell, the notes icon before it.
    QTest::newRow("notes and links") << withIcons(true, true, true) << 1.0
                                     << Spots {{{46, 46}, red},
                                               {{200, 46}, cardColor},
                                               {{301, 46}, QColor()},
                                               {{353, 46}, QColor()}};
    QTest::newRow("notes alone") << withIcons(true, true, false) << 1.0
                                 << Spots {{{301, 46}, cardColor}, {{353, 46}, QColor()}};
    QTest::newRow("notes and links not shown")
        << withIcons(false, true, true) << 1.0
        << Spots {{{46, 46}, red}, {{301, 46}, cardColor}, {{353, 46}, cardColor}};
    // The text area (20, 20, 360, 350); the picture, half as high as wide, fitted into its
    // share less 3.6 units on every side.
    QTest::newRow("picture left") << withPicture(0, 1) << 1.0
                                  << Spots {{{92, 195}, red}, {{92, 100}, cardColor}};
    QTest::newRow("picture right")
        << withPicture(1, 1) << 1.0 << Spots {{{308, 195}, red}, {{92, 195}, cardColor}};
    QTest::newRow("picture on top")
        << withPicture(2, 1) << 1.0 << Spots {{{200, 90}, red}, {{40, 90}, cardColor}};
    QTest::newRow("picture at the bottom")
        << withPicture(3, 1) << 1.0 << Spots {{{200, 300}, red}, {{40, 300}, cardColor}};
    QTest::newRow("small picture")
        << withPicture(0, 0) << 1.0 << Spots {{{65, 195}, red}, {{120, 195}, cardColor}};
    QTest::newRow("large picture")
        << withPicture(0, 2) << 1.0 << Spots {{{120, 195}, red}, {{240, 195}, cardColor}};
    QTest::newRow("picture without text")
        << withPicture(0, 1, QString()) << 1.0 << Spots {{{200, 195}, red}};
    QTest::newRow("picture not shown") << Look([](CardFace &face, CardPainter::Card &card) {
        withPicture(0, 1)(face, card);
        face.showImages = false;
    }) << 1.0 << Spots {{{92, 195}, cardColor}};
    QTest::newRow("empty picture") << Look([](CardFace &face, CardPainter::Card &card) {
        withPicture(0, 1)(face, card);
        card.image = QPixmap();
    }) << 1.0 << Spots {{{92, 195}, cardColor}};
    // Two rows without values in the inner area (23.6, 23.6, 352.8, 342.8): a rule between them at
    // 195 and, with labels, one at 141 between names and values.
    const Look twoRows = [](CardFace &face, CardPainter::Card &) {
        face.textRows = {row(V::Text), row(V::BoldText)};
        face.showLabels = true;
    };
    QTest::newRow("rules between rows")
        << twoRows << 1.0
        << Spots {{{300, 194}, QColor()}, {{141, 100}, QColor()}, {{300, 100}, cardColor}};
    // A rule 3.6 units under the marker band, unless a strip marks the band.
    const auto underTheBand = [oneMarker](bool strip) {
        return Look([=](CardFace &face, CardPainter::Card &card) {
            oneMarker(face, card);
            face.textRows = {row(V::Text)};
            face.highlightProperty = strip ? 1 : 0;
        });
    };
    QTest::newRow("rule under the markers")
        << underTheBand(false) << 1.0 << Spots {{{300, 75}, QColor()}, {{300, 90}, cardColor}};
    QTest::newRow("no rule under a strip")
        << underTheBand(true) << 1.0 << Spots {{{300, 75}, cardColor}, {{300, 60}, stripColor}};
    // Two and a half pixels high: the card's colour alone, whatever else it shows.
    QTest::newRow("patch of colour") << Look([oneMarker](CardFace &face, CardPainter::Card &card) {
        oneMarker(face, card);
        face.highlightProperty = 1;
        face.gradient = 50;
        card.selected = true;
    }) << 2.5 / CardPainter::Height << Spots {{{1, 1}, cardColor}};
}

void TestCardPainter::colorsAtKnownPoints()
{
    QFETCH(Look, look);
    QFETCH(double, scale);
    QFETCH(Spots, spots);
    CardFace face = plainFace();
    CardPainter::Card card;
    card.width = face.width;
    card.background = cardColor;
    card.highlight = stripColor;
    look(face, card);
    const QImage image = painterPaint(face, card, scale, 1.0);
    for (const Spot &spot : spots) {
        const QColor found = image.pixelColor(spot.at);
        if (spot.color.isValid()) {
            QVERIFY2(found == spot.color,
                     qPrintable(QStringLiteral("(%1, %2) is %3, not %4")
                                    .arg(spot.at.x())
                                    .arg(spot.at.y())
                                    .arg(found.name(), spot.color.name())));
        } else {
            QVERIFY2(apart(found, cardColor) && apart(found, Qt::white),
                     qPrintable(QStringLiteral("(%1, %2) is %3: nothing drawn").arg(found.name())));
        }
    }
}

TAVROLO_TEST_MAIN(TestCardPainter)
#include "tst_cardpainter.moc"

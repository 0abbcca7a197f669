#include "common/app/Accessors.h"
#include "common/widgets/Settings.h"
#include "harness/DocumentRecorder.h"
#include "harness/TestMain.h"
#include "model/Document.h"
#include "model/PlanFixture.h"
#include "properties/PropertiesView.h"
#include "storage/PlanFileReader.h"

#include <memory>

#include <QComboBox>
#include <QPushButton>

namespace {

enum Column {
    Name = 0,
    Type = 1,
    Default = 2,
    Top = 3,
    Up = 4,
    Down = 5,
    Bottom = 6,
    EditButton = 7
};

QStringList rowNames(const QTableWidget &view)
{
    QStringList names;
    for (int row = 0; row < view.rowCount(); ++row)
        names.append(view.item(row, Name)->text());
    return names;
}

QPushButton *button(const QTableWidget &view, int row, int column)
{
    return qobject_cast<QPushButton *>(view.cellWidget(row, column));
}

QComboBox *typeCombo(const QTableWidget &view, int row)
{
    return qobject_cast<QComboBox *>(view.cellWidget(row, Type));
}

// Grey text pixels (Qt::gray, softened at the glyph edges) in the middle band of the viewport.
int greyPixelsInMiddle(QTableWidget &view)
{
    const QImage image = view.viewport()->grab().toImage();
    int count = 0;
    for (int y = image.height() / 3; y < 2 * image.height() / 3; ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (qAbs(pixel.red() - 160) < 30 && qAbs(pixel.green() - 160) < 30
                && qAbs(pixel.blue() - 164) < 30)
                ++count;
        }
    }
    return count;
}

} // namespace

class TestPropertiesView : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void rowsShowThePropertiesInOrder();
    void movesExchangeTwoPropertiesInOneStep_data();
    void movesExchangeTwoPropertiesInOneStep();
    void refusedNamesShowTheMessageAndGoBack_data();
    void refusedNamesShowTheMessageAndGoBack();
    void acceptedNamesAreStored_data();
    void acceptedNamesAreStored();
    void refusedNameCommittedAgainShowsOneMessage();
    void defaultValueAndTypeAreStoredUndoably();
    void unknownTypeShowsAsAutomaticAndStays();
    void rowsFollowAddedChangedAndDeletedProperties();
    void editButtonOpensThePropertyDialog();
    void emptyPlanHintIsPaintedInGrey();

private:
    std::unique_ptr<PropertiesView> m_view;
};

void TestPropertiesView::init()
{
    settings()->clear();
    PlanFixture::fillSelfNamedProperties(*doc(), {"A", "B", "C"});
    m_view = std::make_unique<PropertiesView>();
    connect(doc(), &Document::changed, m_view.get(), &PropertiesView::onChangedDoc);
    m_view->resize(900, 400);
    doc()->emitChanged(EventType::AllChanged);
}

void TestPropertiesView::cleanup()
{
    m_view.reset();
}

void TestPropertiesView::rowsShowThePropertiesInOrder()
{
    QCOMPARE(rowNames(*m_view), QStringList({"A", "B", "C"}));
    QCOMPARE(m_view->columnCount(), 8);
    QCOMPARE(m_view->horizontalHeaderItem(Name)->text(), QStringLiteral("Name"));
    QCOMPARE(m_view->horizontalHeaderItem(Default)->text(), QStringLiteral("Default value"));
    QVERIFY(m_view->isColumnHidden(Top));
    QVERIFY(m_view->isColumnHidden(Bottom));
    QVERIFY(!m_view->isColumnHidden(Up) && !m_view->isColumnHidden(EditButton));
    QVERIFY(!button(*m_view, 0, Up)->isEnabled());
    QVERIFY(button(*m_view, 0, Down)->isEnabled());
    QVERIFY(button(*m_view, 2, Up)->isEnabled());
    QVERIFY(!button(*m_view, 2, Down)->isEnabled());
    QCOMPARE(typeCombo(*m_view, 1)->currentText(), QStringLiteral("Automatic"));

    // The Edit and Delete commands act on whole rows only.
    m_view->setRangeSelected(QTableWidgetSelectionRange(0, 0, 0, 1), true);
    m_view->setRangeSelected(QTableWidgetSelectionRange(2, 0, 2, 7), true);
    QCOMPARE(m_view->selectedPropertyIndexes(), QList<int>({3}));
}

void TestPropertiesView::movesExchangeTwoPropertiesInOneStep_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QStringList>("order");

    QTest::newRow("down on A") << 0 << int(Down) << QStringList {"B", "A", "C", "D"};
    QTest::newRow("up on C") << 2 << int(Up) << QStringList {"A", "C", "B", "D"};
    // The hidden first and last buttons exchange, the properties between keep their places.
    QTest::newRow("first on C") << 2 << int(Top) << QStringList {"C", "B", "A", "D"};
    QTest::newRow("last on A") << 0 << int(Bottom) << QStringList {"D", "B", "C", "A"};
}

void TestPropertiesView::movesExchangeTwoPropertiesInOneStep()
{
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QStringList, order);

    PlanFixture::fillSelfNamedProperties(*doc(), {"A", "B", "C", "D"});
    doc()->emitChanged(EventType::AllChanged);
    DocumentRecorder recorder(*doc());
    button(*m_view, row, column)->click();

    QCOMPARE(PlanFixture::propertyNames(*doc()), order);
    QCOMPARE(recorder.undoTexts, QStringList({"Re-order Properties"}));
    QCOMPARE(rowNames(*m_view), order);
    for (int property : doc()->propertyIndexes(false))
        QCOMPARE(doc()->value(0, property), doc()->propertyName(property));
    QVERIFY(!button(*m_view, 0, Up)->isEnabled());
    QVERIFY(!button(*m_view, 3, Down)->isEnabled());
}

void TestPropertiesView::refusedNamesShowTheMessageAndGoBack_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");

    QTest::newRow("other property, other case") << " a "
                                                << "A property with the name 'a' already exists.";
    QTest::newRow("reserved") << "notes"
                              << "\"Notes\" is a reserved name.";
    QTest::newRow("reserved links") << " LINKS "
                                    << "\"Links\" is a reserved name.";
    QTest::newRow("reserved images") << "Images"
                                     << "\"Images\" is a reserved name.";
    QTest::newRow("31 characters")
        << QString(31, QLatin1Char('x')) << "The maximum property name length is 30 characters.";
    QTest::newRow("empty") << "  "
                           << "The property name cannot be empty.";
}

void TestPropertiesView::refusedNamesShowTheMessageAndGoBack()
{
    QFETCH(QString, typed);
    QFETCH(QString, message);

    DocumentRecorder recorder(*doc());
    ModalAnswer answer(QStringLiteral("OK"));
    m_view->item(1, Name)->setText(typed);

    QVERIFY(answer.answered());
    QCOMPARE(answer.shownText(), message);
    QCOMPARE(m_view->item(1, Name)->text(), QStringLiteral("B"));
    QCOMPARE(PlanFixture::propertyNames(*doc()), QStringList({"A", "B", "C"}));
    QVERIFY(recorder.isSilent());
}

void TestPropertiesView::acceptedNamesAreStored_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");

    QTest::newRow("30 characters")
        << QString(30, QLatin1Char('y')) << QString(30, QLatin1Char('y'));
    QTest::newRow("trimmed") << "  Budget "
                             << "Budget";
    QTest::newRow("own name, other case") << "b"
                                          << "b";
    QTest::newRow("markup and a place marker") << "<b>B</b>%1"
                                               << "<b>B</b>%1";
}

void TestPropertiesView::acceptedNamesAreStored()
{
    QFETCH(QString, typed);
    QFETCH(QString, stored);

    // A stored view named after the property: the rename offers to rename it too.
    doc()->addStoredView(QStringLiteral("B by A"), false, false);
    DocumentRecorder recorder(*doc());
    ModalAnswer offer(QStringLiteral("OK"));
    m_view->item(1, Name)->setText(typed);

    QVERIFY(offer.answered());
    QVERIFY(offer.shownText().startsWith(
        QStringLiteral("Do you want to update 'B' to '%1'").arg(stored)));
    QVERIFY(!offer.shownAsMarkup());
    QCOMPARE(doc()->propertyName(2), stored);
    QCOMPARE(doc()->storedViews().first().name, stored + QStringLiteral(" by A"));
    QCOMPARE(recorder.undoTexts, QStringList({"Edit Property"}));
    QCOMPARE(m_view->item(1, Name)->text(), stored);
}

// The message takes the focus from the cell's editor, which can commit the same text again
// while the message is still open.
void TestPropertiesView::refusedNameCommittedAgainShowsOneMessage()
{
    bool secondMessage = false;
    ModalAnswer answer(QStringLiteral("OK"), {}, [this, &secondMessage](QWidget *) {
        ModalAnswer nested(QStringLiteral("OK"), {}, {}, 1000);
        m_view->item(1, Name)->setText(QStringLiteral("Notes"));
        secondMessage = nested.answered();
    });
    m_view->item(1, Name)->setText(QStringLiteral("notes"));

    QVERIFY(answer.answered());
    QVERIFY(!secondMessage);
    QCOMPARE(m_view->item(1, Name)->text(), QStringLiteral("B"));
    QCOMPARE(PlanFixture::propertyNames(*doc()), QStringList({"A", "B", "C"}));
}

void TestPropertiesView::defaultValueAndTypeAreStoredUndoably()
{
    doc()->setPropertyDefaultValue(1, QStringLiteral("open"), true);
    QCOMPARE(m_view->item(0, Default)->text(), QStringLiteral("open"));

    DocumentRecorder recorder(*doc());
    m_view->item(0, Default)->setText(QString());
    QCOMPARE(doc()->propertyDefaultValue(1), QString());
    QCOMPARE(recorder.undoTexts, QStringList({"Edit Property"}));

    recorder.clear();
    typeCombo(*m_view, 2)->setCurrentText(QStringLiteral("Date"));
    QCOMPARE(doc()->propertyType(3), int(PropertyType::Date));
    QCOMPARE(recorder.undoTexts, QStringList({"Edit Property"}));

    // The entry already stored, reported again, stores nothing.
    recorder.clear();
    emit typeCombo(*m_view, 2)->currentIndexChanged(PropertyType::Date);
    QVERIFY(recorder.isSilent());

    // A change made elsewhere shows in the row without counting as the user's choice.
    doc()->setPropertyType(3, PropertyType::Numeric, true);
    QCOMPARE(typeCombo(*m_view, 2)->currentText(), QStringLiteral("Numeric"));
    QCOMPARE(recorder.undoTexts, QStringList({"Edit Property"}));
}

// A plan file may declare a type outside 0..3: the row shows Automatic, which is how the
// property is treated, and other edits of the property keep the declared code.
void TestPropertiesView::unknownTypeShowsAsAutomaticAndStays()
{
    QString error;
    QVERIFY2(readPlanFile(*doc(), TAVROLO_SOURCE_DIR "/tests/storage/data/unknown_codes.tv", &error,
                          nullptr),
             qPrintable(error));
    doc()->emitChanged(EventType::AllChanged);
    QCOMPARE(rowNames(*m_view), QStringList({"Kind", "Size", "Name"}));
    QCOMPARE(typeCombo(*m_view, 0)->currentText(), QStringLiteral("Automatic"));
    QCOMPARE(typeCombo(*m_view, 1)->currentText(), QStringLiteral("Automatic"));

    DocumentRecorder recorder(*doc());
    m_view->item(0, Default)->setText(QStringLiteral("kk"));
    m_view->item(1, Name)->setText(QStringLiteral("Width"));
    QCOMPARE(recorder.undoTexts, QStringList({"Edit Property", "Edit Property"}));
    QCOMPARE(doc()->propertyDefaultValue(1), QStringLiteral("kk"));
    QCOMPARE(doc()->propertyName(2), QStringLiteral("Width"));
    QCOMPARE(doc()->propertyType(1), 7);
    QCOMPARE(doc()->propertyType(2), -2);
    QCOMPARE(typeCombo(*m_view, 0)->currentText(), QStringLiteral("Automatic"));

    recorder.clear();
    typeCombo(*m_view, 0)->setCurrentText(QStringLiteral("Numeric"));
    QCOMPARE(recorder.undoTexts, QStringList({"Edit Property"}));
    QCOMPARE(doc()->propertyType(1), int(PropertyType::Numeric));
    QCOMPARE(doc()->propertyType(2), -2);
}

void TestPropertiesView::rowsFollowAddedChangedAndDeletedProperties()
{
    doc()->addProperty(QStringLiteral("D"), QStringLiteral("x"), PropertyType::Numeric, {},
                       PropertyVisibility::Text, PropertyAppearance(), true);
    QCOMPARE(rowNames(*m_view), QStringList({"A", "B", "C", "D"}));
    QCOMPARE(typeCombo(*m_view, 3)->currentText(), QStringLiteral("Numeric"));
    QCOMPARE(m_view->item(3, Default)->text(), QStringLiteral("x"));
    QVERIFY(button(*m_view, 2, Down)->isEnabled());
    QVERIFY(!button(*m_view, 3, Down)->isEnabled());

    doc()->setPropertyName(2, QStringLiteral("Bee"), true);
    QCOMPARE(rowNames(*m_view), QStringList({"A", "Bee", "C", "D"}));

    doc()->deleteProperty(4, true);
    QCOMPARE(rowNames(*m_view), QStringList({"A", "Bee", "C"}));
    QVERIFY(!button(*m_view, 2, Down)->isEnabled());

    // The rows still lead to their properties after the deletion.
    DocumentRecorder recorder(*doc());
    button(*m_view, 1, Down)->click();
    QCOMPARE(PlanFixture::propertyNames(*doc()), QStringList({"A", "C", "Bee"}));
}

void TestPropertiesView::editButtonOpensThePropertyDialog()
{
    ModalAnswer answer(QStringLiteral("Cancel"));
    button(*m_view, 1, EditButton)->click();
    QVERIFY(answer.answered());
    QCOMPARE(answer.shownClassName(), QStringLiteral("PropertyDialog"));
    QCOMPARE(answer.shownText(), QStringLiteral("Edit Property"));
}

void TestPropertiesView::emptyPlanHintIsPaintedInGrey()
{
    m_view->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
    QCOMPARE(greyPixelsInMiddle(*m_view), 0);

    PlanFixture::fillSelfNamedProperties(*doc(), {}, 0);
    doc()->emitChanged(EventType::AllChanged);
    QCOMPARE(m_view->rowCount(), 0);
    QVERIFY(greyPixelsInMiddle(*m_view) > 20);

    // The full-screen note covers the middle with its dark box.
    m_view->showFullScreenExitMessage();
    // Its box is centred on the table; look above the line of text.
    const QImage image = m_view->viewport()->grab().toImage();
    const QPoint centre = m_view->rect().center();
    QVERIFY(qGray(image.pixel(centre.x(), centre.y() - 45)) < 80);
}

TAVROLO_TEST_MAIN(TestPropertiesView)
#include "tst_propertiesview.moc"

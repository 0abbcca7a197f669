#include "common/app/Accessors.h"
#include "common/widgets/ColorButton.h"
#include "common/widgets/DelayedEditLineEdit.h"
#include "common/widgets/FilterDelay.h"
#include "common/widgets/Settings.h"
#include "harness/DocumentRecorder.h"
#include "harness/NamedChild.h"
#include "harness/TestMain.h"
#include "harness/TestPlanKey.h"
#include "leftpane/CardsAppearanceWidget.h"
#include "model/Document.h"
#include "tests/model/PlanFixture.h"

#include <memory>

#include <QComboBox>
#include <QFontComboBox>
#include <QSpinBox>
#include <QToolButton>

namespace {

CardsAppearance darkAppearance()
{
    CardsAppearance dark;
    dark.setDarkDefaults();
    return dark;
}

// Answers the store dialog with a name.
ModalAnswer::Action typeName(const QString &name)
{
    return [name](QWidget *dialog) {
        dialog->findChild<QComboBox *>(QStringLiteral("m_nameComboBox"))->setEditText(name);
    };
}

} // namespace

class TestCardsAppearanceWidget : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void eachStepIsOneUndoStep_data();
    void eachStepIsOneUndoStep();
    void scalingAndHeaderTypeShowTheirSizeBoxes_data();
    void scalingAndHeaderTypeShowTheirSizeBoxes();
    void fontNotInstalledIsNeverWrittenBack();
    void reloadDropsTypingStillWaitingForItsPause_data();
    void reloadDropsTypingStillWaitingForItsPause();
    void choosingStoredAppearanceIsOneStepAndUndoMatchesAgain();
    void storingKeepsOneNamePerAppearance();
    void overwritingWithWarningOffAsksNothing();
    void withoutStoredAppearancesPlusTakesTheFocus();

private:
    QComboBox *storedCombo() const
    {
        return child<QComboBox>(m_widget.get(), QStringLiteral("m_storedAppearanceComboBox"));
    }

    std::unique_ptr<CardsAppearanceWidget> m_widget;
};

// A plan of the default appearance; the two built-in stored appearances.
void TestCardsAppearanceWidget::init()
{
    // A quarter of the designed pauses; the waits below are shares of them.
    setFilterDelayScale(0.25);
    settings()->clear();
    settings()->loadCardsAppearances();
    PlanFixture::fillPlan(*doc(), {{"a", "todo", "1"}});
    m_widget = std::make_unique<CardsAppearanceWidget>();
    connect(doc(), &Document::changed, m_widget.get(), &CardsAppearanceWidget::onChangedDoc);
    doc()->emitChanged(EventType::AllChanged);
}

void TestCardsAppearanceWidget::cleanup()
{
    m_widget.reset();
}

void TestCardsAppearanceWidget::eachStepIsOneUndoStep_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("value");
    QTest::addColumn<QStringList>("undoTexts");
    const QString size = QStringLiteral("Set Cards Title Size");
    QTest::newRow("two steps of a spin box")
        << "m_titleSizeSpinBox" << 140 << QStringList({size, size});
    QTest::newRow("legend") << "m_showLegendComboBox" << 4
                            << QStringList({"Set Cards Show Legend"});
    QTest::newRow("header colour")
        << "m_headerColorButton" << 0xff8800 << QStringList({"Set Header Color"});
}

void TestCardsAppearanceWidget::eachStepIsOneUndoStep()
{
    QFETCH(QString, control);
    QFETCH(int, value);
    QFETCH(QStringList, undoTexts);
    DocumentRecorder recorder(*doc());
    QWidget *widget = child<QWidget>(m_widget.get(), control);
    if (auto *spin = qobject_cast<QSpinBox *>(widget)) {
        spin->stepBy(1);
        spin->stepBy(1);
        QCOMPARE(doc()->cardsTitleSize(), value);
    } else if (auto *combo = qobject_cast<QComboBox *>(widget)) {
        combo->setCurrentIndex(value);
    } else {
        // The colour dialog is the button's; the section hears only the chosen colour.
        emit qobject_cast<ColorButton *>(widget)->colorChanged(QColor(QRgb(value)));
        QCOMPARE(doc()->headerColor(), QColor(QRgb(value)));
    }
    QCOMPARE(recorder.undoTexts, undoTexts);
    if (QTest::currentDataTag() == QLatin1String("legend"))
        QCOMPARE(doc()->cardsShowLegend(), 4);
    // The plan's appearance no longer equals a stored one.
    QCOMPARE(storedCombo()->currentIndex(), 0);
    QVERIFY(!child<QToolButton>(m_widget.get(), "m_deleteStoredAppearanceButton")->isEnabled());
}

void TestCardsAppearanceWidget::scalingAndHeaderTypeShowTheirSizeBoxes_data()
{
    QTest::addColumn<QString>("combo");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("sizeBox");
    QTest::addColumn<int>("stored");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<QString>("undoText");
    QTest::newRow("card Fixed") << "m_cardFontScaledComboBox" << 2 << "m_cardFontSizeSpinBox" << 0
                                << true << "Set Card Font Scaling";
    QTest::newRow("card Scaled") << "m_cardFontScaledComboBox" << 1 << "m_cardFontSizeSpinBox" << 1
                                 << false << "Set Card Font Scaling";
    QTest::newRow("header Fixed") << "m_headerFontScaledComboBox" << 2 << "m_headerFontSizeSpinBox"
                                  << 0 << true << "Set Header Font Scaling";
    QTest::newRow("Floating headers")
        << "m_headerTypeComboBox" << 1 << "m_headerTransparencySpinBox" << 1 << true
        << "Set Cards Header Type";
}

void TestCardsAppearanceWidget::scalingAndHeaderTypeShowTheirSizeBoxes()
{
    QFETCH(QString, combo);
    QFETCH(int, index);
    QFETCH(QString, sizeBox);
    QFETCH(int, stored);
    QFETCH(bool, shown);
    QFETCH(QString, undoText);
    const auto read = [&combo] {
        if (combo == QLatin1String("m_cardFontScaledComboBox"))
            return doc()->cardFontScaling();
        if (combo == QLatin1String("m_headerFontScaledComboBox"))
            return doc()->headerFontScaling();
        return doc()->cardsHeaderType();
    };
    auto *box = child<QSpinBox>(m_widget.get(), sizeBox);
    // The default plan: intelligent sizes and fixed headers.
    QVERIFY(box->isHidden());
    DocumentRecorder recorder(*doc());
    child<QComboBox>(m_widget.get(), combo)->setCurrentIndex(index);
    QCOMPARE(read(), stored);
    QCOMPARE(box->isHidden(), !shown);
    QCOMPARE(recorder.undoTexts, QStringList({undoText}));

    // Back to the first item, as undo would leave it.
    child<QComboBox>(m_widget.get(), combo)->setCurrentIndex(0);
    QVERIFY(box->isHidden());
    QCOMPARE(read(), combo == QLatin1String("m_headerTypeComboBox") ? 0 : 2);
}

// The plan's font is not installed here: the combo shows a stand-in, which the plan never gets.
void TestCardsAppearanceWidget::fontNotInstalledIsNeverWrittenBack()
{
    QFont font(QStringLiteral("Helvetica Neue"));
    font.setPointSize(17);
    doc()->cardsAppearanceRef(TestPlanKey::key()).cardFont = font;
    DocumentRecorder recorder(*doc());
    doc()->emitChanged(EventType::AllChanged);
    child<QSpinBox>(m_widget.get(), "m_gradientSpinBox")->stepBy(1);
    QCOMPARE(recorder.undoTexts, QStringList({"Set Cards Gradient"}));
    QCOMPARE(doc()->cardFont().family(), font.family());

    auto *fonts = child<QFontComboBox>(m_widget.get(), "m_fontFamilyComboBox");
    QVERIFY(fonts->count() >= 2);
    const int other = fonts->currentIndex() == 0 ? 1 : 0;
    fonts->setCurrentIndex(other);
    QCOMPARE(recorder.undoTexts.last(), QStringLiteral("Set Card Font"));
    QCOMPARE(doc()->cardFont().family(), fonts->currentFont().family());
    QCOMPARE(doc()->cardFont().pointSize(), 17);
}

void TestCardsAppearanceWidget::reloadDropsTypingStillWaitingForItsPause_data()
{
    QTest::addColumn<QString>("reload");
    QTest::newRow("undo") << "undo";
    QTest::newRow("view with its own appearance") << "view";
    QTest::newRow("stored appearance chosen") << "stored";
}

// Typing, then undo within the pause: the typed title must not come back afterwards as a
// "Set Cards Title" that also throws away the redo.
void TestCardsAppearanceWidget::reloadDropsTypingStillWaitingForItsPause()
{
    QFETCH(QString, reload);
    doc()->setCardsTitle(QStringLiteral("Plan"), true);
    const Document before(*doc());
    doc()->addStoredView(QStringLiteral("Own look"), true, false);
    auto *title = child<DelayedEditLineEdit>(m_widget.get(), "m_titleEdit");
    auto *footer = child<DelayedEditLineEdit>(m_widget.get(), "m_footerEdit");
    title->setText(QStringLiteral("Typed"));
    footer->setText(QStringLiteral("Typed too"));

    DocumentRecorder recorder(*doc());
    QString expectedTitle = QStringLiteral("Plan");
    if (reload == QLatin1String("undo")) {
        *doc() = before;
        doc()->emitChanged(EventType::AllChanged);
    } else if (reload == QLatin1String("view")) {
        doc()->changeView(QStringLiteral("Own look"), true);
    } else {
        storedCombo()->setCurrentText(QStringLiteral("Default (dark)"));
        expectedTitle.clear();
    }
    const int steps = recorder.undoTexts.size();
    QTest::qWait(3 * filterDelayMs());
    QCOMPARE(recorder.undoTexts.size(), steps);
    QCOMPARE(doc()->cardsTitle(), expectedTitle);
    QCOMPARE(title->text(), expectedTitle);
    QCOMPARE(doc()->cardsFooter(), QString());
}

void TestCardsAppearanceWidget::choosingStoredAppearanceIsOneStepAndUndoMatchesAgain()
{
    QCOMPARE(storedCombo()->currentText(), QStringLiteral("Default (light)"));
    DocumentRecorder recorder(*doc());
    storedCombo()->setCurrentText(QStringLiteral("Default (dark)"));
    QCOMPARE(recorder.undoTexts, QStringList({"Set Cards Appearance"}));
    QVERIFY(doc()->cardsAppearance() == darkAppearance());
    auto *background = child<ColorButton>(m_widget.get(), "m_backgroundColorButton");
    QCOMPARE(background->color(), darkAppearance().backgroundColor);
    QVERIFY(child<QToolButton>(m_widget.get(), "m_deleteStoredAppearanceButton")->isEnabled());

    *doc() = *recorder.snapshots.front();
    doc()->emitChanged(EventType::AllChanged);
    QCOMPARE(background->color(), QColor(255, 255, 255));
    QCOMPARE(storedCombo()->currentText(), QStringLiteral("Default (light)"));
    QCOMPARE(recorder.undoTexts.size(), 1);
}

// The plan's appearance is stored as "Default (light)" and as "Old": storing it as "Team/Blue"
// leaves only the new name, which survives a new preferences object on the same store.
void TestCardsAppearanceWidget::storingKeepsOneNamePerAppearance()
{
    settings()->setCardsAppearance(QStringLiteral("Old"), doc()->cardsAppearance());
    m_widget->onUpdateStoredAppearance();
    const QString name = QStringLiteral("Team/Blue\\Plan");
    DocumentRecorder recorder(*doc());
    ModalAnswer answer(QStringLiteral("OK"), {}, typeName(QStringLiteral("  ") + name));
    child<QToolButton>(m_widget.get(), "m_addStoredAppearanceButton")->click();
    QVERIFY(answer.answered());
    QVERIFY(recorder.isSilent());
    QCOMPARE(settings()->cardsAppearanceNames(), QStringList({"Default (dark)", name}));
    QCOMPARE(storedCombo()->currentText(), name);
    QVERIFY(child<QToolButton>(m_widget.get(), "m_deleteStoredAppearanceButton")->isEnabled());

    settings()->sync();
    Settings reread(settings()->fileName());
    reread.loadCardsAppearances();
    QCOMPARE(reread.cardsAppearanceNames(), QStringList({"Default (dark)", name}));
    QVERIFY(reread.cardsAppearance(name) == doc()->cardsAppearance());

    child<QToolButton>(m_widget.get(), "m_deleteStoredAppearanceButton")->click();
    QCOMPARE(settings()->cardsAppearanceNames(), QStringList({"Default (dark)"}));
    QCOMPARE(storedCombo()->currentIndex(), 0);
    QVERIFY(recorder.isSilent());
}

void TestCardsAppearanceWidget::overwritingWithWarningOffAsksNothing()
{
    settings()->setValue(QStringLiteral("show_warning_overwrite_appearance_name"), false);
    ModalAnswer answer(QStringLiteral("OK"), {}, typeName(QStringLiteral("Default (dark)")));
    child<QToolButton>(m_widget.get(), "m_addStoredAppearanceButton")->click();
    QVERIFY(answer.answered());
    QCOMPARE(answer.shownClassName(), QStringLiteral("StoredAppearanceDialog"));
    QVERIFY(settings()->cardsAppearance(QStringLiteral("Default (dark)"))
            == doc()->cardsAppearance());
    QCOMPARE(settings()->cardsAppearanceNames(), QStringList({"Default (dark)"}));
}

void TestCardsAppearanceWidget::withoutStoredAppearancesPlusTakesTheFocus()
{
    const QStringList names = settings()->cardsAppearanceNames();
    for (const QString &name : names)
        settings()->removeCardsAppearance(name);
    m_widget->onUpdateStoredAppearance();
    QCOMPARE(storedCombo()->count(), 1);
    QVERIFY(!storedCombo()->isEnabled());
    QVERIFY(!child<QToolButton>(m_widget.get(), "m_deleteStoredAppearanceButton")->isEnabled());
    m_widget->giveFocus();
    QCOMPARE(m_widget->focusWidget(),
             child<QWidget>(m_widget.get(), "m_addStoredAppearanceButton"));
}

TAVROLO_TEST_MAIN(TestCardsAppearanceWidget)
#include "tst_cardsappearancewidget.moc"

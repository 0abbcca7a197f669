#include "common/app/Accessors.h"
#include "common/widgets/DelayedEditComboBox.h"
#include "common/widgets/DelayedEditLineEdit.h"
#include "common/widgets/DelayedEditPlainTextEdit.h"
#include "common/widgets/FilterDelay.h"
#include "harness/TestMain.h"
#include "model/Document.h"

#include <functional>
#include <memory>

namespace {

// One of the three delayed-edit widgets, with a spy on its delayed signal.
struct Field
{
    std::unique_ptr<QWidget> widget;
    std::unique_ptr<QSignalSpy> spy;
    std::function<void()> flush;
};

template<typename Widget, typename Signal>
Field makeField(Widget *widget, Signal signal, void (Widget::*flush)())
{
    return {std::unique_ptr<QWidget>(widget), std::make_unique<QSignalSpy>(widget, signal),
            [widget, flush] { (widget->*flush)(); }};
}

Field makeField(int kind)
{
    if (kind == 0)
        return makeField(new DelayedEditLineEdit, &DelayedEditLineEdit::delayedEditTextChanged,
                         &DelayedEditLineEdit::flush);
    if (kind == 1)
        return makeField(new DelayedEditComboBox, &DelayedEditComboBox::delayedEditTextChanged,
                         &DelayedEditComboBox::flush);
    return makeField(new DelayedEditPlainTextEdit,
                     &DelayedEditPlainTextEdit::delayedEditTextChanged,
                     &DelayedEditPlainTextEdit::flushPendingEdit);
}

} // namespace

class TestDelayedEdit : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void typingIsReportedOnceAfterThePauseOrFlush_data();
    void typingIsReportedOnceAfterThePauseOrFlush();
    void clickingIntoGreyHintReportsEmptyField();
    void discardedEditIsNeverReported();
};

// The pauses are a quarter of the designed ones; every wait below is a share of the pause.
void TestDelayedEdit::initTestCase()
{
    setFilterDelayScale(0.25);
}

void TestDelayedEdit::cleanup()
{
    doc()->clear(false);
}

void TestDelayedEdit::typingIsReportedOnceAfterThePauseOrFlush_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("cards");
    QTest::addColumn<bool>("flushed");
    QTest::newRow("line edit, pause") << 0 << 0 << false;
    QTest::newRow("combo box, flushed") << 1 << 0 << true;
    QTest::newRow("plain text, pause") << 2 << 0 << false;
    QTest::newRow("plain text, flushed") << 2 << 0 << true;
    QTest::newRow("line edit, 1000 cards wait longer") << 0 << 1000 << false;
}

void TestDelayedEdit::typingIsReportedOnceAfterThePauseOrFlush()
{
    QFETCH(int, kind);
    QFETCH(int, cards);
    QFETCH(bool, flushed);
    for (int i = 0; i < cards; ++i)
        doc()->addTask(false);
    Field field = makeField(kind);
    field.widget->show();
    QVERIFY(QTest::qWaitForWindowExposed(field.widget.get()));
    auto *combo = qobject_cast<QComboBox *>(field.widget.get());
    if (auto *edit = qobject_cast<DelayedEditLineEdit *>(field.widget.get()))
        edit->setGreyText(QStringLiteral("Search")); // typed over, never reported
    field.flush(); // nothing pending, nothing to report
    QCOMPARE(field.spy->count(), 0);
    QTest::keyClicks(combo ? combo->lineEdit() : field.widget.get(), QStringLiteral("hello"));
    if (flushed) {
        field.flush();
        QCOMPARE(field.spy->count(), 1);
    } else {
        // Half the pause: with 1000 cards longer than the whole pause of an empty plan.
        QTest::qWait(filterDelayMs() / 2);
        QCOMPARE(field.spy->count(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(field.spy->count(), 1, 5000);
    }
    // Neither the end of the pause nor another flush reports the edit again.
    QTest::qWait(filterDelayMs() * 3 / 2);
    field.flush();
    QCOMPARE(field.spy->count(), 1);
    if (kind != 2) // the plain text edit's receiver reads the text itself
        QCOMPARE(field.spy->first().first().toString(), QStringLiteral("hello"));
}

// The field now really is empty, and whoever filters by it must hear that.
void TestDelayedEdit::clickingIntoGreyHintReportsEmptyField()
{
    DelayedEditLineEdit edit;
    QSignalSpy spy(&edit, &DelayedEditLineEdit::delayedEditTextChanged);
    edit.show();
    edit.setGreyText(QStringLiteral("Search"));
    QTest::qWait(filterDelayMs() * 3 / 2);
    QCOMPARE(spy.count(), 0);
    QTest::mouseClick(&edit, Qt::LeftButton);
    QCOMPARE(edit.text(), QString());
    QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, 3000);
    QCOMPARE(spy.first().first().toString(), QString());
}

// A field refilled from the plan (undo within the pause) must not report the earlier typing.
void TestDelayedEdit::discardedEditIsNeverReported()
{
    DelayedEditLineEdit edit;
    QSignalSpy spy(&edit, &DelayedEditLineEdit::delayedEditTextChanged);
    edit.show();
    QTest::keyClicks(&edit, QStringLiteral("bug"));
    edit.discard();
    QTest::qWait(filterDelayMs() * 3 / 2);
    edit.flush();
    QCOMPARE(spy.count(), 0);
    // The field goes on reporting what is typed after it.
    QTest::keyClicks(&edit, QStringLiteral("s"));
    QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, 3000);
    QCOMPARE(spy.first().first().toString(), QStringLiteral("bugs"));
}

TAVROLO_TEST_MAIN(TestDelayedEdit)
#include "tst_delayededit.moc"

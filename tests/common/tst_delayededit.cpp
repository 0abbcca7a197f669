#include "common/Accessors.h"
#include "common/DelayedEditComboBox.h"
#include "common/DelayedEditLineEdit.h"
#include "common/DelayedEditPlainTextEdit.h"
#include "common/FilterDelay.h"
#include "harness/TestMain.h"
#include "model/Document.h"

#include <climits>
#include <memory>

namespace {

enum class Kind { LineEdit, ComboBox, PlainTextEdit };

// One of the three delayed-edit widgets with a spy on its delayed signal.
struct Field
{
    std::unique_ptr<QWidget> widget;
    std::unique_ptr<QSignalSpy> spy;

    explicit Field(Kind kind)
    {
        switch (kind) {
        case Kind::LineEdit: {
            auto *edit = new DelayedEditLineEdit;
            widget.reset(edit);
            spy.reset(new QSignalSpy(edit, &DelayedEditLineEdit::delayedEditTextChanged));
            break;
        }
        case Kind::ComboBox: {
            auto *combo = new DelayedEditComboBox;
            widget.reset(combo);
            spy.reset(new QSignalSpy(combo, &DelayedEditComboBox::delayedEditTextChanged));
            break;
        }
        case Kind::PlainTextEdit: {
            auto *edit = new DelayedEditPlainTextEdit;
            widget.reset(edit);
            spy.reset(new QSignalSpy(edit, &DelayedEditPlainTextEdit::delayedEditTextChanged));
            break;
        }
        }
        widget->show();
        QVERIFY(QTest::qWaitForWindowExposed(widget.get()));
    }

    QWidget *focusTarget() const
    {
        if (auto *combo = qobject_cast<QComboBox *>(widget.get()))
            return combo->lineEdit();
        return widget.get();
    }

    void type(const QString &text) { QTest::keyClicks(focusTarget(), text); }

    void flush()
    {
        if (auto *edit = qobject_cast<DelayedEditLineEdit *>(widget.get()))
            edit->flush();
        else if (auto *combo = qobject_cast<DelayedEditComboBox *>(widget.get()))
            combo->flush();
        else if (auto *plain = qobject_cast<DelayedEditPlainTextEdit *>(widget.get()))
            plain->flushPendingEdit();
    }

    QString text() const
    {
        if (auto *edit = qobject_cast<QLineEdit *>(widget.get()))
            return edit->text();
        if (auto *combo = qobject_cast<QComboBox *>(widget.get()))
            return combo->currentText();
        return static_cast<QPlainTextEdit *>(widget.get())->toPlainText();
    }
};

void addKindRows(const char *suffix)
{
    QTest::newRow(qPrintable(QStringLiteral("line edit %1").arg(suffix))) << int(Kind::LineEdit);
    QTest::newRow(qPrintable(QStringLiteral("combo box %1").arg(suffix))) << int(Kind::ComboBox);
    QTest::newRow(qPrintable(QStringLiteral("plain text %1").arg(suffix)))
        << int(Kind::PlainTextEdit);
}

} // namespace

class TestDelayedEdit : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();
    void pauseGrowsWithPlanSize_data();
    void pauseGrowsWithPlanSize();
    void quickTypingIsReportedOnceAfterThePause_data();
    void quickTypingIsReportedOnceAfterThePause();
    void bigPlanWaitsLonger();
    void flushReportsOnlyPendingEdits_data();
    void flushReportsOnlyPendingEdits();
    void greyHintIsNeverReported();
    void clickRemovesGreyHint();
    void escapeIsAnnounced();
    void comboSizeHintStaysNarrow();
};

void TestDelayedEdit::cleanup()
{
    doc()->clear(false);
}

void TestDelayedEdit::pauseGrowsWithPlanSize_data()
{
    QTest::addColumn<int>("cards");
    QTest::addColumn<int>("pause");
    QTest::newRow("empty plan") << 0 << 400;
    QTest::newRow("199 cards") << 199 << 400;
    QTest::newRow("200 cards") << 200 << 600;
    QTest::newRow("1000 cards") << 1000 << 1400;
    QTest::newRow("1599 cards") << 1599 << 1800;
    QTest::newRow("1600 cards") << 1600 << 2000;
    QTest::newRow("5000 cards") << 5000 << 2000;
    QTest::newRow("count near the int limit") << INT_MAX << 2000;
}

void TestDelayedEdit::pauseGrowsWithPlanSize()
{
    QFETCH(int, cards);
    QFETCH(int, pause);
    QCOMPARE(filterDelayMs(cards), pause);
}

void TestDelayedEdit::quickTypingIsReportedOnceAfterThePause_data()
{
    QTest::addColumn<int>("kind");
    addKindRows("");
}

void TestDelayedEdit::quickTypingIsReportedOnceAfterThePause()
{
    QFETCH(int, kind);
    Field field {Kind(kind)};
    field.type(QStringLiteral("hello"));
    QTest::qWait(250);
    QCOMPARE(field.spy->count(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(field.spy->count(), 1, 3000);
    QTest::qWait(600);
    QCOMPARE(field.spy->count(), 1);
    QCOMPARE(field.text(), QStringLiteral("hello"));
    if (Kind(kind) != Kind::PlainTextEdit)
        QCOMPARE(field.spy->first().first().toString(), QStringLiteral("hello"));
}

void TestDelayedEdit::bigPlanWaitsLonger()
{
    for (int i = 0; i < 1000; ++i)
        doc()->addTask(false);
    QCOMPARE(doc()->taskCount(), 1000);
    Field field {Kind::LineEdit};
    field.type(QStringLiteral("x"));
    QTest::qWait(1100);
    QCOMPARE(field.spy->count(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(field.spy->count(), 1, 5000);
}

void TestDelayedEdit::flushReportsOnlyPendingEdits_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("typed");
    QTest::addColumn<int>("reports");
    QTest::newRow("line edit pending") << int(Kind::LineEdit) << true << 1;
    QTest::newRow("line edit idle") << int(Kind::LineEdit) << false << 0;
    QTest::newRow("combo box pending") << int(Kind::ComboBox) << true << 1;
    QTest::newRow("combo box idle") << int(Kind::ComboBox) << false << 0;
    QTest::newRow("plain text pending") << int(Kind::PlainTextEdit) << true << 1;
    QTest::newRow("plain text idle") << int(Kind::PlainTextEdit) << false << 0;
}

void TestDelayedEdit::flushReportsOnlyPendingEdits()
{
    QFETCH(int, kind);
    QFETCH(bool, typed);
    QFETCH(int, reports);
    Field field {Kind(kind)};
    if (typed)
        field.type(QStringLiteral("ab"));
    field.flush();
    QCOMPARE(field.spy->count(), reports);
    // The flushed edit must not be reported a second time when its pause would have ended.
    QTest::qWait(700);
    QCOMPARE(field.spy->count(), reports);
    field.flush();
    QCOMPARE(field.spy->count(), reports);
}

void TestDelayedEdit::greyHintIsNeverReported()
{
    DelayedEditLineEdit edit;
    QSignalSpy spy(&edit, &DelayedEditLineEdit::delayedEditTextChanged);
    edit.show();
    edit.setGreyText(QStringLiteral("Search"));
    QCOMPARE(edit.text(), QStringLiteral("Search"));
    QTest::qWait(600);
    QCOMPARE(spy.count(), 0);

    QTest::keyClick(&edit, Qt::Key_A);
    QCOMPARE(edit.text(), QStringLiteral("a"));
    QTRY_VERIFY_WITH_TIMEOUT(!spy.isEmpty(), 3000);
    QCOMPARE(spy.last().first().toString(), QStringLiteral("a"));
    QVERIFY(!edit.styleSheet().contains(QStringLiteral("gray")));
}

void TestDelayedEdit::clickRemovesGreyHint()
{
    DelayedEditLineEdit edit;
    QSignalSpy spy(&edit, &DelayedEditLineEdit::delayedEditTextChanged);
    edit.show();
    edit.setText(QStringLiteral("old"));
    edit.flush();
    spy.clear();
    edit.setGreyText(QStringLiteral("Filter"));
    QTest::mouseClick(&edit, Qt::LeftButton);
    QCOMPARE(edit.text(), QString());
    // The field now really is empty, and whoever filters by it must hear that.
    QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, 3000);
    QCOMPARE(spy.first().first().toString(), QString());
}

void TestDelayedEdit::escapeIsAnnounced()
{
    DelayedEditLineEdit line;
    DelayedEditPlainTextEdit plain;
    QSignalSpy lineSpy(&line, &DelayedEditLineEdit::escapePressed);
    QSignalSpy plainSpy(&plain, &DelayedEditPlainTextEdit::escapePressed);
    QTest::keyClick(&line, Qt::Key_Escape);
    QTest::keyClick(&plain, Qt::Key_Escape);
    QTest::keyClick(&plain, Qt::Key_A);
    QCOMPARE(lineSpy.count(), 1);
    QCOMPARE(plainSpy.count(), 1);
}

void TestDelayedEdit::comboSizeHintStaysNarrow()
{
    DelayedEditComboBox shortCombo;
    shortCombo.addItem(QStringLiteral("a"));
    DelayedEditComboBox longCombo;
    longCombo.addItem(QStringLiteral("a"));
    longCombo.addItem(QString(300, QLatin1Char('W')));
    // The natural width follows the entries when the combo box is first shown.
    shortCombo.show();
    longCombo.show();
    QVERIFY(shortCombo.sizeHint().width() < 200);
    QCOMPARE(longCombo.sizeHint().width(), 200);
    QCOMPARE(longCombo.sizeHint().height(), shortCombo.sizeHint().height());
}

TAVROLO_TEST_MAIN(TestDelayedEdit)
#include "tst_delayededit.moc"

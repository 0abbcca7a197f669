#include "cardedit/DuplicateDialog.h"
#include "cardedit/LineEditDialog.h"
#include "cardedit/SetValuesDialog.h"
#include "harness/NamedChild.h"
#include "harness/TestMain.h"

#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

// The three small modal dialogs of card editing, run as their callers run them.
class TestSmallCardDialogs : public QObject
{
    Q_OBJECT

private slots:
    void setValuesDialogEditsTheCallersTexts_data();
    void setValuesDialogEditsTheCallersTexts();
    void duplicateDialogCountsTheNewItems_data();
    void duplicateDialogCountsTheNewItems();
    void lineEditDialogKeepsTheTypedBlanks();
    void longTextsComeBackWhole();
    void labelsShowNamesAsWritten();
};

void TestSmallCardDialogs::setValuesDialogEditsTheCallersTexts_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("one row accepted") << 1 << "OK"
                                      << "Set Cost Value" << QStringList {"12.5", "2027-01-01"};
    QTest::newRow("two rows accepted")
        << 2 << "OK"
        << "Set Property Values" << QStringList {"12.5", "2027-02-02"};
    QTest::newRow("cancelled") << 2 << "Cancel"
                               << "Set Property Values" << QStringList {"10", "2027-01-01"};
}

void TestSmallCardDialogs::setValuesDialogEditsTheCallersTexts()
{
    QFETCH(int, rows);
    QFETCH(QString, button);
    QFETCH(QString, title);
    QFETCH(QStringList, expected);
    QString cost = QStringLiteral("10");
    QString due = QStringLiteral("2027-01-01");
    QList<SetValuesDialog::Row> list {{QStringLiteral("Cost"), &cost}};
    if (rows == 2)
        list.append({QStringLiteral("Due"), &due});
    SetValuesDialog dialog(nullptr, list);
    QCOMPARE(dialog.windowTitle(), title);
    QCOMPARE(child<QLabel>(&dialog, "m_label1")->text(), QStringLiteral("Cost:"));
    auto *first = child<QLineEdit>(&dialog, "m_lineEdit1");
    auto *second = child<QLineEdit>(&dialog, "m_lineEdit2");
    QCOMPARE(first->text(), QStringLiteral("10"));
    // The proposed value is selected, so typing replaces it.
    QCOMPARE(first->selectedText(), QStringLiteral("10"));
    QCOMPARE(second->isHidden(), rows == 1);

    ModalAnswer answer(button, {}, [](QWidget *modal) {
        child<QLineEdit>(modal, "m_lineEdit1")->setText(QStringLiteral("12.5"));
        child<QLineEdit>(modal, "m_lineEdit2")->setText(QStringLiteral("2027-02-02"));
    });
    dialog.exec();
    QVERIFY(answer.answered());
    QCOMPARE(QStringList({cost, due}), expected);
}

void TestSmallCardDialogs::duplicateDialogCountsTheNewItems_data()
{
    QTest::addColumn<int>("selected");
    QTest::addColumn<bool>("cards");
    QTest::addColumn<int>("copies");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::newRow("1 card, 1 copy") << 1 << true << 1 << "Duplicate the 1 selected card"
                                    << "time to create 1 new card";
    QTest::newRow("1 card, 3 copies") << 1 << true << 3 << "Duplicate the 1 selected card"
                                      << "time to create 3 new cards";
    QTest::newRow("4 rows, 2 copies") << 4 << false << 2 << "Duplicate the 4 selected rows"
                                      << "times each to create 8 new rows";
    QTest::newRow("above the range") << 2 << true << 5000 << "Duplicate the 2 selected cards"
                                     << "times each to create 2000 new cards";
}

void TestSmallCardDialogs::duplicateDialogCountsTheNewItems()
{
    QFETCH(int, selected);
    QFETCH(bool, cards);
    QFETCH(int, copies);
    QFETCH(QString, first);
    QFETCH(QString, second);
    DuplicateDialog dialog(nullptr, selected, cards);
    child<QSpinBox>(&dialog, "m_spinBox")->setValue(copies);
    QCOMPARE(child<QLabel>(&dialog, "m_label1")->text(), first);
    QCOMPARE(child<QLabel>(&dialog, "m_label2")->text(), second);
    QCOMPARE(dialog.count(), std::min(copies, 1000));
    QCOMPARE(child<QSpinBox>(&dialog, "m_spinBox")->minimum(), 1);
}

void TestSmallCardDialogs::lineEditDialogKeepsTheTypedBlanks()
{
    // The column commands compare the answer with the values exactly, blanks and all.
    LineEditDialog dialog(nullptr, QStringLiteral("Rename High"), QStringLiteral("New value"),
                          QStringLiteral("High"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Rename High"));
    QCOMPARE(child<QLabel>(&dialog, "m_label")->text(), QStringLiteral("New value:"));
    QCOMPARE(child<QLineEdit>(&dialog, "m_lineEdit")->text(), QStringLiteral("High"));
    ModalAnswer answer(QStringLiteral("OK"), {}, [](QWidget *modal) {
        child<QLineEdit>(modal, "m_lineEdit")->setText(QStringLiteral(" High  "));
    });
    QCOMPARE(dialog.exec(), int(QDialog::Accepted));
    QVERIFY(answer.answered());
    QCOMPARE(dialog.text(), QStringLiteral(" High  "));
}

// A value longer than a line edit takes by default comes back whole from an untouched OK.
void TestSmallCardDialogs::longTextsComeBackWhole()
{
    const QString longValue = QStringLiteral("0123456789").repeated(4000);
    QString first = longValue;
    QString second = longValue + QStringLiteral("!");
    {
        SetValuesDialog dialog(
            nullptr, {{QStringLiteral("Cost"), &first}, {QStringLiteral("Due"), &second}});
        ModalAnswer answer(QStringLiteral("OK"));
        dialog.exec();
        QVERIFY(answer.answered());
    }
    QCOMPARE(first, longValue);
    QCOMPARE(second, longValue + QStringLiteral("!"));

    LineEditDialog dialog(nullptr, QStringLiteral("Rename"), QStringLiteral("New value"),
                          longValue);
    ModalAnswer answer(QStringLiteral("OK"));
    QCOMPARE(dialog.exec(), int(QDialog::Accepted));
    QVERIFY(answer.answered());
    QCOMPARE(dialog.text(), longValue);
}

// Property names and values go into the labels as written: markup is text, "%1" stays.
void TestSmallCardDialogs::labelsShowNamesAsWritten()
{
    QString first = QStringLiteral("1");
    QString second = QStringLiteral("2");
    SetValuesDialog one(nullptr, {{QStringLiteral("<b>x</b>"), &first}});
    QCOMPARE(one.windowTitle(), QStringLiteral("Set <b>x</b> Value"));
    SetValuesDialog two(nullptr,
                        {{QStringLiteral("<b>x</b>"), &first}, {QStringLiteral("%1"), &second}});
    QCOMPARE(child<QLabel>(&two, "m_label1")->text(), QStringLiteral("<b>x</b>:"));
    QCOMPARE(child<QLabel>(&two, "m_label2")->text(), QStringLiteral("%1:"));
    LineEditDialog line(nullptr, QStringLiteral("Add %1"), QStringLiteral("New <i>%1</i> value"),
                        QString());
    QCOMPARE(child<QLabel>(&line, "m_label")->text(), QStringLiteral("New <i>%1</i> value:"));
    for (const QWidget *dialog : {static_cast<QWidget *>(&one), static_cast<QWidget *>(&two),
                                  static_cast<QWidget *>(&line)})
        QVERIFY(!labelsShowMarkup(dialog));
}

TAVROLO_TEST_MAIN(TestSmallCardDialogs)
#include "tst_smallcarddialogs.moc"

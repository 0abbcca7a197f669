#include "app/MainWindowFixture.h"
#include "common/app/Accessors.h"
#include "common/widgets/Settings.h"
#include "harness/DocumentRecorder.h"
#include "harness/FileFaults.h"
#include "harness/TestMain.h"
#include "model/Document.h"
#include "properties/NewPlanDialog.h"
#include "storage/PlanFileWriter.h"

#include <memory>

#include <QComboBox>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTemporaryDir>

namespace {

QTableWidget *table(QWidget *dialog)
{
    return dialog->findChild<QTableWidget *>(QStringLiteral("m_tableWidget"));
}

// The rows as "name*" (ticked) or "name", with the type code of the row after a colon where
// it is not Text.
QString rowsText(QWidget *dialog)
{
    QStringList rows;
    QTableWidget *rowsTable = table(dialog);
    for (int row = 0; row < rowsTable->rowCount(); ++row) {
        const QTableWidgetItem *name = rowsTable->item(row, 0);
        QString text = name->text() + (name->checkState() == Qt::Checked ? "*" : "");
        const int type = qobject_cast<QComboBox *>(rowsTable->cellWidget(row, 1))->currentIndex();
        if (type != PropertyType::Text)
            text += QStringLiteral(":%1").arg(type);
        rows.append(text);
    }
    return rows.join(QStringLiteral(", "));
}

int rowNamed(QWidget *dialog, const QString &name)
{
    const QList<QTableWidgetItem *> found = table(dialog)->findItems(name, Qt::MatchExactly);
    return found.isEmpty() ? -1 : found.first()->row();
}

} // namespace

class TestNewPlanDialog : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void suggestions_data();
    void suggestions();
    void tickedRowsBecomeProperties_data();
    void tickedRowsBecomeProperties();
    void fileNewOffersTheRecentPlansProperties();

private:
    // A plan file written by the program's own writer, with one property per name (an
    // "Owner..." property is numeric, "Status" has two pre-defined values).
    QString planFile(const QString &fileName, const QStringList &propertyNames);

    QTemporaryDir m_files;
};

void TestNewPlanDialog::init()
{
    settings()->clear();
    // As the new-plan command leaves the plan before it asks.
    doc()->clear(false);
}

QString TestNewPlanDialog::planFile(const QString &fileName, const QStringList &propertyNames)
{
    Document plan;
    plan.clear(false);
    for (const QString &name : propertyNames) {
        const bool status = name == QLatin1String("Status");
        const int type
            = name.startsWith(QLatin1String("Owner")) ? PropertyType::Numeric : PropertyType::Text;
        plan.addProperty(name, status ? QStringLiteral("open") : QString(), type,
                         status ? QStringList {"open", "shut"} : QStringList(),
                         PropertyVisibility::Text, PropertyAppearance(), false);
    }
    const QString path = m_files.filePath(fileName);
    QString error;
    if (!writePlanFile(plan, path, &error))
        qFatal("cannot write %s", qPrintable(error));
    return path;
}

void TestNewPlanDialog::suggestions_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("rows");
    QStringList many;
    for (int i = 1; i <= 25; ++i)
        many.append(QStringLiteral("P%1").arg(i));
    const QString fixedRows = QStringLiteral("Priority*, Status*, Cost:2, Due date:3");
    QTest::newRow("no readable file")
        << QStringList {"missing.tv", "garbage.tv"} << "Title*, " + fixedRows;
    QTest::newRow("file without properties") << QStringList {"empty.tv"} << "Title*, " + fixedRows;
    QTest::newRow("a file's Status takes the fixed row's place")
        << QStringList {"status.tv", "missing.tv", "again.tv"}
        << "Title*, Status, Owner:2, title2, Priority, Cost:2, Due date:3";
    QTest::newRow("at most 20 rows") << QStringList {"many.tv", "status.tv"}
                                     << "Title*, " + many.mid(0, 19).join(QStringLiteral(", "));
}

void TestNewPlanDialog::suggestions()
{
    QFETCH(QStringList, files);
    QFETCH(QString, rows);
    QStringList paths;
    for (const QString &file : files) {
        if (file == QLatin1String("garbage.tv"))
            paths.append(writeBytes(m_files.filePath(file), "<root>not a plan"));
        else if (file == QLatin1String("empty.tv"))
            paths.append(planFile(file, {}));
        else if (file == QLatin1String("status.tv"))
            paths.append(planFile(file, {"Status", "Owner", "title"}));
        else if (file == QLatin1String("again.tv"))
            paths.append(planFile(file, {"OWNER", "title2"}));
        else if (file == QLatin1String("many.tv")) {
            QStringList names;
            for (int i = 1; i <= 25; ++i)
                names.append(QStringLiteral("P%1").arg(i));
            paths.append(planFile(file, names));
        } else
            paths.append(m_files.filePath(file));
    }
    NewPlanDialog dialog(nullptr, paths);
    QCOMPARE(rowsText(&dialog), rows);
    if (files.first() == QLatin1String("status.tv")) {
        const int status = rowNamed(&dialog, QStringLiteral("Status"));
        QCOMPARE(table(&dialog)->item(status, 2)->text(), QStringLiteral("open,shut"));
        QCOMPARE(table(&dialog)->item(status, 3)->text(), QStringLiteral("open"));
    }
}

void TestNewPlanDialog::tickedRowsBecomeProperties_data()
{
    QTest::addColumn<QString>("edits");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("properties");
    // Edits: "row=name", "row+" ticks, "row-" unticks, "row|values" sets the pre-defined
    // values; properties: name[type](default){pre-defined values}, the first one shown.
    QTest::newRow("as offered") << ""
                                << ""
                                << "Title[1]()*, Priority[1](medium){high|low|medium}, "
                                   "Status[1](todo){blocked|doing|done|todo}";
    QTest::newRow("blanks after commas are no part of the values")
        << "Priority|a, b ,c;Status-"
        << ""
        << "Title[1]()*, Priority[1](medium){a|b|c}";
    QTest::newRow("empty values are kept") << "Priority|a,,b;Status-;Title-"
                                           << ""
                                           << "Priority[1](medium){|a|b}*";
    QTest::newRow("Cost and cost") << "Due date=cost;cost+;Cost+"
                                   << "You can't add 2 properties called 'cost' (case is not "
                                      "important)."
                                   << "";
    QTest::newRow("name too long for the property dialog")
        << "Status=" + QString(31, QLatin1Char('s'))
        << "The maximum property name length is 30 characters."
        << "";
    QTest::newRow("no name") << "Priority=  "
                             << "You can't add a property with no name."
                             << "";
    QTest::newRow("notes") << "Status= NOTES "
                           << "\"Notes\" is a reserved name."
                           << "";
    QTest::newRow("links") << "Status= links "
                           << "\"Links\" is a reserved name."
                           << "";
    QTest::newRow("images") << "Status=IMAGES"
                            << "\"Images\" is a reserved name."
                            << "";
    QTest::newRow("placeholder's name") << "Status=<select>"
                                        << "A property with the name '<select>' already exists."
                                        << "";
}

void TestNewPlanDialog::tickedRowsBecomeProperties()
{
    QFETCH(QString, edits);
    QFETCH(QString, message);
    QFETCH(QString, properties);
    NewPlanDialog dialog(nullptr, {});
    QTableWidget *rows = table(&dialog);
    for (const QString &edit : edits.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const int at = edit.indexOf(QRegularExpression(QStringLiteral("[=+|-]")));
        const int row = rowNamed(&dialog, edit.left(at));
        QVERIFY2(row != -1, qPrintable(edit));
        const QString rest = edit.mid(at + 1);
        switch (edit.at(at).toLatin1()) {
        case '=':
            rows->item(row, 0)->setText(rest);
            break;
        case '+':
            rows->item(row, 0)->setCheckState(Qt::Checked);
            break;
        case '-':
            rows->item(row, 0)->setCheckState(Qt::Unchecked);
            break;
        default:
            rows->item(row, 2)->setText(rest);
            break;
        }
    }
    DocumentRecorder recorder(*doc());
    std::unique_ptr<ModalAnswer> answer;
    if (!message.isEmpty())
        answer = std::make_unique<ModalAnswer>(QStringLiteral("OK"));
    dialog.accept();
    if (!message.isEmpty()) {
        QVERIFY(answer->answered());
        QCOMPARE(answer->shownText(), message);
        QVERIFY(recorder.isSilent());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        return;
    }
    QStringList added;
    for (int property = 1; property < doc()->propertyCount(); ++property) {
        QString text = QStringLiteral("%1[%2](%3)")
                           .arg(doc()->propertyName(property))
                           .arg(doc()->propertyType(property))
                           .arg(doc()->propertyDefaultValue(property));
        const QStringList predefined = doc()->predefinedValues(property);
        if (!predefined.isEmpty())
            text += QStringLiteral("{%1}").arg(predefined.join(QLatin1Char('|')));
        if (doc()->propertyVisibility(property) == PropertyVisibility::Text)
            text += QLatin1Char('*');
        added.append(text);
    }
    QCOMPARE(added.join(QStringLiteral(", ")), properties);
    QCOMPARE(recorder.undoTexts.size(), added.size());
    QCOMPARE(recorder.undoTexts.value(0), QStringLiteral("Add Property"));
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
}

// File > New with suggestions switched on: the dialog lists the open plan's properties (the
// recent plans' head) and the ticked rows become the new plan's properties, saved with it.
void TestNewPlanDialog::fileNewOffersTheRecentPlansProperties()
{
    const QString team = planFile(QStringLiteral("team.tv"), {"Status", "Owner"});
    presetQuietStartup(team);
    settings()->setSuggestPropertiesNewPlan(true);
    MainWindow window;
    QCOMPARE(doc()->propertyName(2), QStringLiteral("Owner"));
    QString offered;
    ModalAnswer answer(QStringLiteral("OK"), {}, [&offered](QWidget *modal) {
        if (!qobject_cast<NewPlanDialog *>(modal))
            return;
        offered = rowsText(modal);
        table(modal)->item(rowNamed(modal, QStringLiteral("Owner")), 0)->setCheckState(Qt::Checked);
    });
    const QString created = m_files.filePath(QStringLiteral("new.tv"));
    ScriptedFileDialogs dialogs({created});
    window.onFileNewAction();
    QVERIFY(answer.answered());
    QCOMPARE(offered, QStringLiteral("Title*, Status, Owner:2, Priority, Cost:2, Due date:3"));
    QCOMPARE(window.fileName(), created);
    Document saved;
    QString error;
    bool later = false;
    QVERIFY(readPlanFile(saved, created, &error, &later));
    QCOMPARE(saved.propertyCount(), 3);
    QCOMPARE(saved.propertyName(1), QStringLiteral("Title"));
    QCOMPARE(saved.propertyName(2), QStringLiteral("Owner"));
    QCOMPARE(saved.propertyType(2), int(PropertyType::Numeric));
}

TAVROLO_TEST_MAIN(TestNewPlanDialog)
#include "tst_newplandialog.moc"

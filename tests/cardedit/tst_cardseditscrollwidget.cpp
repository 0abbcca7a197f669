#include "cardedit/CardsEditScrollWidget.h"
#include "cardedit/HyperLinkWidget.h"
#include "cardedit/TaskDialog.h"
#include "common/app/Accessors.h"
#include "common/core/NumberDateText.h"
#include "common/widgets/DelayedEditComboBox.h"
#include "common/widgets/Settings.h"
#include "harness/DocumentRecorder.h"
#include "harness/TestMain.h"
#include "model/Document.h"
#include "storage/PlanSamples.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

namespace {

enum { Name = 1, Priority = 2, Due = 3 };

QPixmap picture(const QColor &color)
{
    QPixmap pixmap(4, 4);
    pixmap.fill(color);
    return pixmap;
}

// Three cards: ("One", High), ("Two", Low), ("Three", High); Due is a date property.
void fillPlan()
{
    Document *plan = doc();
    plan->clear(false);
    for (const QString &name : QStringList {"Name", "Priority", "Due"})
        plan->addProperty(name, QString(),
                          name == QLatin1String("Due") ? PropertyType::Date
                                                       : PropertyType::Automatic,
                          {}, PropertyVisibility::Text, PropertyAppearance(), false);
    plan->addTaskWithValues({{Name, "One"}, {Priority, "High"}}, QStringLiteral("same"), {}, -1,
                            false);
    plan->addTaskWithValues({{Name, "Two"}, {Priority, "Low"}}, QStringLiteral("same"), {}, -1,
                            false);
    plan->addTaskWithValues({{Name, "Three"}, {Priority, "High"}}, QStringLiteral("same"), {}, -1,
                            false);
}

CardsEditScrollWidget *editor(QWidget *dialog)
{
    return dialog->findChild<CardsEditScrollWidget *>();
}

QComboBox *imageCombo(QWidget *dialog)
{
    QComboBox *found = nullptr;
    for (QComboBox *combo : editor(dialog)->findChildren<QComboBox *>()) {
        if (!qobject_cast<DelayedEditComboBox *>(combo))
            found = combo;
    }
    return found;
}

// Pixels of the notes field's text area that differ from its empty background.
int inkedPixels(QPlainTextEdit *field)
{
    const QImage shot = field->viewport()->grab().toImage();
    const QRgb background = field->viewport()->palette().color(QPalette::Base).rgb();
    int inked = 0;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x)
            inked += shot.pixelColor(x, y).rgb() != background;
    }
    return inked;
}

// The links of the card as the plan file holds them: written and read back.
QList<HyperLink> linksInPlanFile(TaskIndex card)
{
    Document read;
    if (!PlanSamples::readBackAsFiled(*doc(), read))
        return {};
    return read.taskLinks(card);
}

// Answers the next Link dialog by typing into its fields as the user does, then pressing OK,
// which is enabled only once both are filled. Sets answered when it did.
void typeLinkIntoNextDialog(const QString &address, const QString &name, bool *answered)
{
    QTimer::singleShot(0, [address, name, answered] {
        QWidget *dialog = QApplication::activeModalWidget();
        if (!dialog)
            return;
        auto *urlEdit = dialog->findChild<QLineEdit *>(QStringLiteral("m_urlEdit"));
        auto *nameEdit = dialog->findChild<QLineEdit *>(QStringLiteral("m_nameEdit"));
        urlEdit->selectAll();
        QTest::keyClicks(urlEdit, address);
        nameEdit->selectAll();
        QTest::keyClicks(nameEdit, name);
        dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
        *answered = true;
    });
}

QStringList entries(const QComboBox *combo)
{
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts.append(combo->itemText(i));
    return texts;
}

} // namespace

class TestCardsEditScrollWidget : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void editedFieldsAreWrittenOnce_data();
    void editedFieldsAreWrittenOnce();
    void notesAreWrittenOnlyWhenChanged();
    void differingNotesTakeOnlyWhatIsTyped_data();
    void differingNotesTakeOnlyWhatIsTyped();
    void differingNotesShowTheirHint_data();
    void differingNotesShowTheirHint();
    void longValuesSurviveAnUntouchedOk_data();
    void longValuesSurviveAnUntouchedOk();
    void addedLinksJoinDifferingLists();
    void clearedLinksAreWritten();
    void linkAddressesAreKeptAsTyped_data();
    void linkAddressesAreKeptAsTyped();
    void imagesAreSortedAndKeptAcrossLibraryEdits();
    void keptPictureStaysChosenThroughLibraryEdit_data();
    void keptPictureStaysChosenThroughLibraryEdit();
    void pickedDateIsAppended();
    void propertyDeletedFromItsOwnRow();
    void hiddenCardsAreCountedAfterTheWrites();
    void propertyLabelsShowNamesAsWritten();
};

void TestCardsEditScrollWidget::init()
{
    settings()->clear();
    fillPlan();
}

void TestCardsEditScrollWidget::editedFieldsAreWrittenOnce_data()
{
    QTest::addColumn<QList<TaskIndex>>("cards");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("undoTexts");
    QTest::addColumn<QStringList>("priorities");
    QTest::newRow("differing values untouched")
        << QList<TaskIndex> {0, 1} << "<varies>"
        << "" << QStringList() << QStringList {"High", "Low", "High"};
    QTest::newRow("one card, one value")
        << QList<TaskIndex> {1} << "Low"
        << "Medium" << QStringList {"Update Value"} << QStringList {"High", "Medium", "High"};
    QTest::newRow("three cards take a value one had")
        << QList<TaskIndex> {0, 1, 2} << "<varies>"
        << "Low" << QStringList {"Update Values"} << QStringList {"Low", "Low", "Low"};
    QTest::newRow("letter case differs")
        << QList<TaskIndex> {0, 1} << "<varies>"
        << "" << QStringList() << QStringList {"high", "Low", "High"};
}

void TestCardsEditScrollWidget::editedFieldsAreWrittenOnce()
{
    QFETCH(QList<TaskIndex>, cards);
    QFETCH(QString, shown);
    QFETCH(QString, typed);
    QFETCH(QStringList, undoTexts);
    QFETCH(QStringList, priorities);
    if (QByteArray(QTest::currentDataTag()) == "letter case differs") {
        QString lower = QStringLiteral("high");
        doc()->setValue(0, Priority, lower, false);
    }
    const QStringList names {"One", "Two", "Three"};
    DocumentRecorder recorder(*doc());
    TaskDialog dialog(nullptr, nullptr, {}, cards);
    QCOMPARE(dialog.windowTitle(),
             cards.size() == 1 ? QStringLiteral("Edit 1 Card")
                               : QStringLiteral("Edit %1 Cards").arg(cards.size()));
    DelayedEditComboBox *field = editor(&dialog)->valueCombo(Priority - 1);
    QCOMPARE(field->currentText(), shown);
    if (shown == QLatin1String("<varies>"))
        QCOMPARE(field->itemText(0), shown);
    if (!typed.isEmpty())
        field->setEditText(typed);
    dialog.accept();
    QCOMPARE(recorder.undoTexts, undoTexts);
    QStringList found;
    for (TaskIndex card = 0; card < 3; ++card) {
        found.append(doc()->value(card, Priority));
        QCOMPARE(doc()->value(card, Name), names.at(card));
    }
    QCOMPARE(found, priorities);
}

void TestCardsEditScrollWidget::notesAreWrittenOnlyWhenChanged()
{
    DocumentRecorder recorder(*doc());
    {
        TaskDialog dialog(nullptr, nullptr, {}, {0, 1, 2});
        auto *notes = editor(&dialog)->findChild<QPlainTextEdit *>();
        QCOMPARE(notes->toPlainText(), QStringLiteral("same"));
        notes->setPlainText(QStringLiteral("new"));
        dialog.accept();
    }
    QCOMPARE(recorder.undoTexts,
             (QStringList {"Set Card Notes", "Set Card Notes", "Set Card Notes"}));
    doc()->setTaskNotes(1, QStringLiteral("other"), false);
    recorder.clear();
    TaskDialog dialog(nullptr, nullptr, {}, {0, 1});
    auto *notes = editor(&dialog)->findChild<QPlainTextEdit *>();
    QVERIFY(notes->toPlainText().isEmpty());
    QCOMPARE(notes->placeholderText(), QStringLiteral("<varies>"));
    // Typing a character and taking it back leaves every card its own notes.
    notes->moveCursor(QTextCursor::End);
    QTest::keyClick(notes, Qt::Key_X);
    QTest::keyClick(notes, Qt::Key_Backspace);
    dialog.accept();
    QVERIFY(recorder.undoTexts.isEmpty());
    QCOMPARE(doc()->taskNotes(0), QStringLiteral("new"));
    QCOMPARE(doc()->taskNotes(1), QStringLiteral("other"));
}

void TestCardsEditScrollWidget::differingNotesTakeOnlyWhatIsTyped_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("erased");
    QTest::addColumn<QStringList>("notes");
    QTest::addColumn<QStringList>("undoTexts");
    QTest::newRow("untouched") << QString() << 0 << QStringList {"alpha", "beta", "gamma"}
                               << QStringList();
    QTest::newRow("typed after the placeholder")
        << " extra" << 0 << QStringList {" extra", " extra", "gamma"}
        << QStringList {"Set Card Notes", "Set Card Notes"};
    QTest::newRow("the placeholder's own text")
        << "<varies>" << 0 << QStringList {"<varies>", "<varies>", "gamma"}
        << QStringList {"Set Card Notes", "Set Card Notes"};
    QTest::newRow("typed and erased")
        << "xy" << 2 << QStringList {"alpha", "beta", "gamma"} << QStringList();
}

// Two cards with different notes are edited; the third, unselected, card keeps its notes.
void TestCardsEditScrollWidget::differingNotesTakeOnlyWhatIsTyped()
{
    QFETCH(QString, typed);
    QFETCH(int, erased);
    QFETCH(QStringList, notes);
    QFETCH(QStringList, undoTexts);
    const QStringList before {"alpha", "beta", "gamma"};
    for (TaskIndex card = 0; card < 3; ++card)
        doc()->setTaskNotes(card, before.at(card), false);
    DocumentRecorder recorder(*doc());
    TaskDialog dialog(nullptr, nullptr, {}, {0, 1});
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto *field = editor(&dialog)->findChild<QPlainTextEdit *>();
    const QString placeholder = field->placeholderText();
    if (!typed.isEmpty()) {
        QTest::mouseClick(field->viewport(), Qt::LeftButton, Qt::NoModifier,
                          field->viewport()->rect().center());
        QTest::keyClick(field, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClicks(field, typed);
        for (int i = 0; i < erased; ++i)
            QTest::keyClick(field, Qt::Key_Backspace);
    }
    dialog.accept();
    QCOMPARE(recorder.undoTexts, undoTexts);
    QStringList found;
    for (TaskIndex card = 0; card < 3; ++card)
        found.append(doc()->taskNotes(card));
    QCOMPARE(found, notes);
    QCOMPARE(doc()->value(0, Name), QStringLiteral("One"));
    QCOMPARE(doc()->value(1, Priority), QStringLiteral("Low"));
    QCOMPARE(placeholder, QStringLiteral("<varies>"));
}

void TestCardsEditScrollWidget::differingNotesShowTheirHint_data()
{
    QTest::addColumn<QList<TaskIndex>>("cards");
    QTest::addColumn<bool>("hinted");
    QTest::newRow("notes differ") << QList<TaskIndex> {0, 1} << true;
    QTest::newRow("one card without notes") << QList<TaskIndex> {2} << false;
}

// The user must see that the cards' notes differ before typing over all of them; an empty field
// without the hint draws nothing.
void TestCardsEditScrollWidget::differingNotesShowTheirHint()
{
    QFETCH(QList<TaskIndex>, cards);
    QFETCH(bool, hinted);
    doc()->setTaskNotes(0, QStringLiteral("alpha"), false);
    doc()->setTaskNotes(1, QStringLiteral("beta"), false);
    doc()->setTaskNotes(2, QString(), false);
    TaskDialog dialog(nullptr, nullptr, {}, cards);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto *field = editor(&dialog)->findChild<QPlainTextEdit *>();
    QVERIFY(field->toPlainText().isEmpty());
    QCOMPARE(inkedPixels(field) > 0, hinted);
}

void TestCardsEditScrollWidget::longValuesSurviveAnUntouchedOk_data()
{
    QTest::addColumn<QList<TaskIndex>>("cards");
    QTest::addColumn<QStringList>("undoTexts");
    QTest::newRow("one card") << QList<TaskIndex> {0} << QStringList();
    QTest::newRow("two cards sharing it") << QList<TaskIndex> {0, 2} << QStringList();
    QTest::newRow("a new card preset with it") << QList<TaskIndex>() << QStringList {"Add Card"};
}

// Longer than a line edit takes by default; CSV imports and plan files keep such values.
void TestCardsEditScrollWidget::longValuesSurviveAnUntouchedOk()
{
    QFETCH(QList<TaskIndex>, cards);
    QFETCH(QStringList, undoTexts);
    const QString longValue = QStringLiteral("0123456789").repeated(4000);
    for (const TaskIndex card : {0, 2}) {
        QString stored = longValue;
        doc()->setValue(card, Name, stored, false);
    }
    DocumentRecorder recorder(*doc());
    TaskDialog dialog(nullptr, nullptr, {PropertyIndexAndValue(Name, longValue)}, cards);
    QCOMPARE(editor(&dialog)->valueCombo(Name - 1)->currentText().size(), longValue.size());
    dialog.accept();
    QCOMPARE(recorder.undoTexts, undoTexts);
    QCOMPARE(doc()->value(0, Name), longValue);
    QCOMPARE(doc()->value(1, Name), QStringLiteral("Two"));
    QCOMPARE(doc()->value(2, Name), longValue);
    if (cards.isEmpty())
        QCOMPARE(doc()->value(dialog.createdTaskIndex(), Name), longValue);
}

void TestCardsEditScrollWidget::addedLinksJoinDifferingLists()
{
    const HyperLink a(QStringLiteral("a"), QUrl(QStringLiteral("https://a.example")));
    const HyperLink b(QStringLiteral("b"), QUrl(QStringLiteral("https://b.example")));
    doc()->setTaskLinks(0, {a}, false);
    doc()->setTaskLinks(1, {b}, false);
    DocumentRecorder recorder(*doc());
    TaskDialog dialog(nullptr, nullptr, {}, {0, 1});
    HyperLinkWidget *links = editor(&dialog)->linksWidget();
    QVERIFY(links->varies());
    QMimeData data;
    data.setText(QStringLiteral("https://new.example/page"));
    links->addUrls(&data);
    dialog.accept();
    const HyperLink added(QUrl(QStringLiteral("https://new.example/page")));
    QCOMPARE(doc()->taskLinks(0), (QList<HyperLink> {a, added}));
    QCOMPARE(doc()->taskLinks(1), (QList<HyperLink> {b, added}));
    QCOMPARE(recorder.undoTexts, (QStringList {"Add Links", "Add Links"}));
}

void TestCardsEditScrollWidget::clearedLinksAreWritten()
{
    doc()->setTaskLinks(2, {HyperLink(QUrl(QStringLiteral("https://a.example")))}, false);
    TaskDialog dialog(nullptr, nullptr, {}, {2});
    editor(&dialog)->linksWidget()->onClear();
    dialog.accept();
    QVERIFY(doc()->taskLinks(2).isEmpty());
}

void TestCardsEditScrollWidget::linkAddressesAreKeptAsTyped_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");
    for (const QString &before : {QString(), QStringLiteral("https://old.example")}) {
        const char *road = before.isEmpty() ? "Add Link" : "Edit Link";
        QTest::addRow("%s, blank in the host", road) << before << "https://my server.example/doc"
                                                     << "https://my server.example/doc";
        QTest::addRow("%s, ampersand in the host", road) << before << "https://ex&mple.com/x"
                                                         << "https://ex&mple.com/x";
        // An address the parser takes is kept in its own writing, as always.
        QTest::addRow("%s, valid", road) << before << "HTTPS://Ok.example/a b"
                                         << "https://ok.example/a b";
    }
    // The parser keeps the same parts of both texts: only the texts tell the links apart.
    QTest::newRow("Edit Link, from one such address to another") << "https://my server.example/x"
                                                                 << "https://my&server.example/x"
                                                                 << "https://my&server.example/x";
}

// An address the URL parser rejects is still the link's address: on the card, in the plan file
// and in the Link dialog when the card is edited again.
void TestCardsEditScrollWidget::linkAddressesAreKeptAsTyped()
{
    QFETCH(QString, before);
    QFETCH(QString, typed);
    QFETCH(QString, kept);
    if (!before.isEmpty())
        doc()->setTaskLinks(0, {HyperLink::fromUrlText(QStringLiteral("Doc"), before)}, false);
    {
        TaskDialog dialog(nullptr, nullptr, {}, {0});
        HyperLinkWidget *links = editor(&dialog)->linksWidget();
        bool answered = false;
        typeLinkIntoNextDialog(typed, QStringLiteral("Doc"), &answered);
        if (before.isEmpty())
            links->onAdd();
        else
            qobject_cast<QToolButton *>(links->itemWidget(links->topLevelItem(0), 1))->click();
        QVERIFY(answered);
        dialog.accept();
    }
    QCOMPARE(doc()->taskLinks(0).size(), 1);
    QCOMPARE(doc()->taskLinks(0).first().name(), QStringLiteral("Doc"));
    QCOMPARE(doc()->taskLinks(0).first().displayUrl(), kept);
    const QList<HyperLink> filed = linksInPlanFile(0);
    QCOMPARE(filed.size(), 1);
    QCOMPARE(filed.first().displayUrl(), kept);
    QCOMPARE(filed.first(), doc()->taskLinks(0).first());

    TaskDialog again(nullptr, nullptr, {}, {0});
    HyperLinkWidget *links = editor(&again)->linksWidget();
    QString shown;
    ModalAnswer look(QStringLiteral("Cancel"), {}, [&shown](QWidget *dialog) {
        shown = dialog->findChild<QLineEdit *>(QStringLiteral("m_urlEdit"))->text();
    });
    qobject_cast<QToolButton *>(links->itemWidget(links->topLevelItem(0), 1))->click();
    QVERIFY(look.answered());
    QCOMPARE(shown, kept);
}

void TestCardsEditScrollWidget::imagesAreSortedAndKeptAcrossLibraryEdits()
{
    Document *plan = doc();
    {
        TaskDialog dialog(nullptr, nullptr, {}, {0});
        QComboBox *combo = imageCombo(&dialog);
        QVERIFY(!combo->isEnabled());
        QCOMPARE(entries(combo), QStringList {"<no image>"});
        QCOMPARE(combo->toolTip(), QStringLiteral("No images have been added to this plan yet."));
    }
    plan->addImage(Image(picture(Qt::red), QStringLiteral("b"), QString()), false);
    plan->addImage(Image(picture(Qt::green), QStringLiteral("A"), QString()), false);
    plan->addImage(Image(picture(Qt::blue), QStringLiteral("a"), QString()), false);
    plan->setTaskImage(0, 0, false);
    plan->setTaskImage(1, 1, false);

    // A new card with a dropped picture keeps it when the library is edited meanwhile.
    TaskDialog adding(nullptr, nullptr, {}, {}, {}, 2);
    QComboBox *combo = imageCombo(&adding);
    QCOMPARE(entries(combo), (QStringList {"<no image>", "A", "a", "b"}));
    QCOMPARE(combo->currentText(), QStringLiteral("a"));
    TaskDialog editing(nullptr, nullptr, {}, {0, 1});
    QCOMPARE(imageCombo(&editing)->currentText(), QStringLiteral("<varies>"));

    QList<Image> library = plan->images();
    library.prepend(Image(picture(Qt::yellow), QStringLiteral("c"), QString()));
    plan->editImages(library, true);
    QCOMPARE(combo->currentText(), QStringLiteral("a"));
    QCOMPARE(imageCombo(&editing)->currentText(), QStringLiteral("<varies>"));
    DocumentRecorder recorder(*plan);
    editing.accept();
    QVERIFY(recorder.undoTexts.isEmpty());
    QCOMPARE(plan->taskImage(0), 1);
    QCOMPARE(plan->taskImage(1), 2);
    adding.accept();
    QCOMPARE(plan->taskImage(adding.createdTaskIndex()), 3);
}

void TestCardsEditScrollWidget::keptPictureStaysChosenThroughLibraryEdit_data()
{
    QTest::addColumn<bool>("picked"); // in the card dialog, else the card shows it already
    QTest::addColumn<bool>("deleteOther"); // else renamed
    QTest::addColumn<bool>("keptBefore"); // another picture kept, of other bytes, before it
    QTest::addColumn<int>("index"); // of the kept picture after the edit
    QTest::newRow("picked, another renamed") << true << false << false << 1;
    QTest::newRow("picked, the one before deleted") << true << true << false << 0;
    QTest::newRow("shown, another renamed") << false << false << false << 1;
    QTest::newRow("shown, the one before deleted") << false << true << false << 0;
    QTest::newRow("picked after another kept, another renamed") << true << false << true << 2;
    QTest::newRow("shown after another kept, the one before both deleted")
        << false << true << true << 1;
}

// A picture the plan file holds but the program does not read has no pixels to be found by; the
// card dialog finds it again by its bytes after the library is edited from the dialog.
void TestCardsEditScrollWidget::keptPictureStaysChosenThroughLibraryEdit()
{
    QFETCH(bool, picked);
    QFETCH(bool, deleteOther);
    QFETCH(bool, keptBefore);
    QFETCH(int, index);
    Document *plan = doc();
    plan->addImage(Image(picture(Qt::red), QStringLiteral("b"), QString()), false);
    if (keptBefore)
        plan->addImage(Image::keptAsStored("nor is this", QStringLiteral("first"), QString()),
                       false);
    plan->addImage(
        Image::keptAsStored("not a picture the program reads", QStringLiteral("kept"), QString()),
        false);
    plan->setTaskImage(0, picked ? -1 : plan->imageCount() - 1, false);
    TaskDialog dialog(nullptr, nullptr, {}, {0});
    QComboBox *combo = imageCombo(&dialog);
    if (picked)
        combo->setCurrentIndex(combo->findText(QStringLiteral("kept")));
    QCOMPARE(combo->currentText(), QStringLiteral("kept"));

    ModalAnswer answer(QStringLiteral("OK"), {}, [deleteOther](QWidget *modal) {
        auto *list = modal->findChild<QTreeWidget *>(QStringLiteral("m_imagesTreeWidget"));
        QTreeWidgetItem *other = list->findItems(QStringLiteral("b"), Qt::MatchExactly).value(0);
        if (!other)
            return;
        if (deleteOther) {
            list->setCurrentItem(other);
            modal->findChild<QToolButton *>(QStringLiteral("m_deleteImageButton"))->click();
        } else {
            other->setText(0, QStringLiteral("renamed"));
        }
    });
    for (QToolButton *button : editor(&dialog)->findChildren<QToolButton *>()) {
        if (button->toolTip() == QLatin1String("Edit available images in this plan."))
            button->click();
    }
    QVERIFY(answer.answered());
    QCOMPARE(plan->imageCount(), (deleteOther ? 1 : 2) + (keptBefore ? 1 : 0));
    dialog.accept();
    QCOMPARE(plan->taskImage(0), index);
    Document read;
    QVERIFY(PlanSamples::readBackAsFiled(*plan, read));
    QCOMPARE(read.taskImage(0), index);
    QCOMPARE(read.image(index).name(), QStringLiteral("kept"));
    QCOMPARE(combo->currentText(), QStringLiteral("kept"));
}

void TestCardsEditScrollWidget::pickedDateIsAppended()
{
    TaskDialog dialog(nullptr, nullptr, {}, {0});
    DelayedEditComboBox *field = editor(&dialog)->valueCombo(Due - 1);
    const int count = field->count();
    const QDate date(2031, 3, 9);
    editor(&dialog)->onDatePicked(Due, date);
    QCOMPARE(field->currentText(), QString());
    QCoreApplication::sendPostedEvents(editor(&dialog));
    const QString text = dateToString(date, settings()->dateFormat(), true);
    QCOMPARE(field->currentText(), text);
    QCOMPARE(field->count(), count + 1);
    dialog.accept();
    QCOMPARE(doc()->value(0, Due), text);
}

void TestCardsEditScrollWidget::propertyDeletedFromItsOwnRow()
{
    settings()->write(Settings::Key::ShowWarningDelProperty, false);
    TaskDialog dialog(nullptr, nullptr, {}, {1});
    CardsEditScrollWidget *fields = editor(&dialog);
    QList<QToolButton *> rowButtons;
    for (QToolButton *button : fields->findChildren<QToolButton *>()) {
        if (button->toolTip().startsWith(QLatin1String("Edit/Delete this property")))
            rowButtons.append(button);
    }
    QCOMPARE(rowButtons.size(), 3);
    ModalAnswer answer(QStringLiteral("Delete Property"));
    rowButtons.at(Priority - 1)->click();
    QVERIFY(answer.answered());
    QCOMPARE(fields->rowCount(), 2);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    fields->valueCombo(1)->setEditText(QStringLiteral("1/2/2030"));
    dialog.accept();
    QCOMPARE(doc()->taskValues(1), (QStringList {"Two", "1/2/2030"}));
}

void TestCardsEditScrollWidget::hiddenCardsAreCountedAfterTheWrites()
{
    doc()->setFilter(false, true, false, {FilterTerm(Priority, MatchType::Is, "high")}, false,
                     false);
    TaskDialog dialog(nullptr, nullptr, {}, {0, 1, 2});
    editor(&dialog)->valueCombo(Priority - 1)->setEditText(QStringLiteral("Low"));
    ModalAnswer answer(QStringLiteral("Hide cards"));
    dialog.accept();
    QVERIFY(answer.answered());
    QCOMPARE(answer.shownText(),
             QStringLiteral("3 edited cards are hidden by the current filter."));
}

// A property name goes into its row's label as written, in both modes of the dialog and after
// a rename while the dialog is open.
void TestCardsEditScrollWidget::propertyLabelsShowNamesAsWritten()
{
    doc()->setPropertyName(Priority, QStringLiteral("<b>x</b>%1"), false);
    TaskDialog editing(nullptr, nullptr, {}, {0});
    QCOMPARE(editor(&editing)->propertyLabel(Priority - 1)->text(), QStringLiteral("<b>x</b>%1:"));
    TaskDialog adding(nullptr, nullptr, {}, {});
    doc()->setPropertyName(Name, QStringLiteral("<img src=\"x.png\">"), true);
    QCOMPARE(editor(&editing)->propertyLabel(Name - 1)->text(),
             QStringLiteral("<img src=\"x.png\">:"));
    QVERIFY(!labelsShowMarkup(&editing));
    QVERIFY(!labelsShowMarkup(&adding));
}

TAVROLO_TEST_MAIN(TestCardsEditScrollWidget)
#include "tst_cardseditscrollwidget.moc"

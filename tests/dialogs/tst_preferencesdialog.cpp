#include "app/Application.h"
#include "app/MainWindow.h"
#include "app/StartupRules.h"
#include "common/app/Accessors.h"
#include "common/widgets/DialogHelpers.h"
#include "common/widgets/Settings.h"
#include "dialogs/PreferencesDialog.h"
#include "harness/NamedChild.h"
#include "harness/SettingsStores.h"
#include "harness/TestMain.h"
#include "storage/PlanFileWriter.h"

#include <memory>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QSpinBox>

namespace {

QCheckBox *boxWithText(QObject *dialog, const QString &text)
{
    const QList<QCheckBox *> boxes = dialog->findChildren<QCheckBox *>();
    for (QCheckBox *box : boxes) {
        if (box->text() == text)
            return box;
    }
    return nullptr;
}

} // namespace

// Each case starts on an empty platform store, with the application folder in a fresh folder.
class TestPreferencesDialog : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void okWritesEveryControlAndCancelOnlyTheGeometry_data();
    void okWritesEveryControlAndCancelOnlyTheGeometry();
    void backupFolderIsStoredTrimmedAndBlankMeansTheDefault_data();
    void backupFolderIsStoredTrimmedAndBlankMeansTheDefault();
    void transparencyIsPreviewedOnTheDialog();
    void toolbarBoxesStandInColumnsOfNine();
    void toolbarChoiceHoldsAfterARestart_data();
    void toolbarChoiceHoldsAfterARestart();
    void storeMovesBothWaysWithEveryKey();
    void failedMoveSaysSoAndSwitchesNothing_data();
    void failedMoveSaysSoAndSwitchesNothing();

private:
    SettingsStores m_stores;
};

void TestPreferencesDialog::init()
{
    QVERIFY(m_stores.start());
}

void TestPreferencesDialog::cleanup()
{
    m_stores.finish();
    // The portable file would be written again into the removed folder at the end.
    if (settings()->isIniFormat())
        QVERIFY(app()->useSystemSettings());
}

void TestPreferencesDialog::okWritesEveryControlAndCancelOnlyTheGeometry_data()
{
    QTest::addColumn<bool>("ok");
    QTest::newRow("OK") << true;
    QTest::newRow("Cancel") << false;
}

void TestPreferencesDialog::okWritesEveryControlAndCancelOnlyTheGeometry()
{
    QFETCH(bool, ok);
    // Values the dialog cannot change, and a number format that the C locale offers no choice
    // for: OK must write them back as they were.
    settings()->setUiStyle(1);
    settings()->setShowToolbarFullscreen(true);
    settings()->setNumberFormat(1);
    const QStringList before = settings()->allKeys();
    {
        PreferencesDialog dialog(nullptr);
        auto *numbers = child<QComboBox>(&dialog, "m_numberFormatComboBox");
        QVERIFY(!numbers->isEnabled());
        QCOMPARE(numbers->itemText(0), QStringLiteral("From operating system (e.g. 1,234.5)"));
        child<QComboBox>(&dialog, "m_dateFormatComboBox")->setCurrentIndex(2);
        child<QSpinBox>(&dialog, "m_backupFrequencySpinBox")->setValue(30);
        QCheckBox *prompt = boxWithText(&dialog, QStringLiteral("Warn on delete column"));
        QVERIFY(prompt && prompt->isChecked());
        prompt->setChecked(false);
        if (ok)
            dialog.accept();
        else
            dialog.reject();
    }
    QVERIFY(settings()->contains(QStringLiteral("prefs_window_geometry")));
    if (!ok) {
        QCOMPARE(settings()->allKeys().size(), before.size() + 1);
        QVERIFY(!settings()->contains(QStringLiteral("date_format")));
        return;
    }
    QCOMPARE(settings()->dateFormat(), 2);
    QCOMPARE(settings()->backupInterval(), 30);
    QCOMPARE(settings()->numberFormat(), 1);
    QCOMPARE(settings()->uiStyle(), 1);
    QVERIFY(settings()->showToolbarFullscreen());
    QCOMPARE(settings()->value(QStringLiteral("show_warning_del_col")), QVariant(false));
    // A prompt never answered shows ticked and is stored as such.
    QCOMPARE(settings()->value(QStringLiteral("show_question_filter")), QVariant(true));
}

void TestPreferencesDialog::backupFolderIsStoredTrimmedAndBlankMeansTheDefault_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored"); // empty: no key
    QTest::newRow("blank") << "   "
                           << "";
    QTest::newRow("emptied") << ""
                             << "";
    QTest::newRow("padded, not made yet") << "  /nowhere yet/My backups "
                                          << "/nowhere yet/My backups";
}

void TestPreferencesDialog::backupFolderIsStoredTrimmedAndBlankMeansTheDefault()
{
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    settings()->setBackupFolder(QStringLiteral("/earlier/choice"));
    PreferencesDialog dialog(nullptr);
    child<QLineEdit>(&dialog, "m_backupFolderEdit")->setText(typed);
    dialog.accept();
    QCOMPARE(settings()->value(QStringLiteral("backup_folder")).toString(), stored);
    if (stored.isEmpty())
        QVERIFY(settings()->backupFolder().endsWith(QStringLiteral("/Tavrolo/Backups")));
}

void TestPreferencesDialog::transparencyIsPreviewedOnTheDialog()
{
    settings()->setWindowTransparency(10);
    PreferencesDialog dialog(nullptr);
    // The window keeps its opacity in eight bits.
    QVERIFY(qAbs(dialog.windowOpacity() - 0.9) < 0.01);
    child<QSpinBox>(&dialog, "m_transparencySpinBox")->setValue(20);
    QVERIFY(qAbs(dialog.windowOpacity() - 0.8) < 0.01);
    QCOMPARE(settings()->windowTransparency(), 10);
}

void TestPreferencesDialog::toolbarBoxesStandInColumnsOfNine()
{
    QObject owner;
    QList<QAction *> available;
    QList<QAction *> shown;
    for (int i = 0; i < 20; ++i) {
        available << new QAction(QStringLiteral("Do %1/this").arg(i), &owner);
        if (i % 2 == 0)
            shown << available.last();
        if (i == 4) {
            available << new QAction(&owner);
            available.last()->setSeparator(true);
            available << new QAction(QStringLiteral("_spacer"), &owner);
        }
    }
    PreferencesDialog dialog(nullptr, available, shown);
    auto *grid = dialog.findChild<QGridLayout *>();
    QList<int> columnSizes {0, 0, 0};
    QCOMPARE(grid->count(), 20);
    for (QAction *action : qAsConst(available)) {
        if (isSpacerAction(action))
            continue;
        QCheckBox *box = boxWithText(&dialog, action->iconText());
        QCOMPARE(box->isChecked(), shown.contains(action));
        int row, column, rowSpan, columnSpan;
        grid->getItemPosition(grid->indexOf(box), &row, &column, &rowSpan, &columnSpan);
        QCOMPARE(row, columnSizes[column]++);
    }
    QCOMPARE(columnSizes, QList<int>({9, 9, 2}));
    QVERIFY(!dialog.toolbarChanged());
    QCheckBox *box = boxWithText(&dialog, QStringLiteral("Do 3/this"));
    box->toggle();
    box->toggle();
    QVERIFY(dialog.toolbarChanged());
    boxWithText(&dialog, QStringLiteral("Do 0/this"))->setChecked(false);
    dialog.accept();
    QCOMPARE(settings()->value(QStringLiteral("toolbar_show_do_0_this")), QVariant(false));
    QCOMPARE(settings()->value(QStringLiteral("toolbar_show_do_2_this")), QVariant(true));
    QCOMPARE(settings()->value(QStringLiteral("toolbar_show_do_3_this")), QVariant(false));
}

void TestPreferencesDialog::toolbarChoiceHoldsAfterARestart_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<QString>("lastVersionKey"); // the choice kept by the last version instead
    QTest::newRow("Add Property unticked") << "m_editAddPropertyAction" << false << QString();
    QTest::newRow("Undo ticked") << "m_editUndoAction" << true << QString();
    QTest::newRow("Redo ticked") << "m_editRedoAction" << true << QString();
    QTest::newRow("Undo kept by the last version")
        << "m_editUndoAction" << true << "toolbar_show_&undo";
    QTest::newRow("Redo kept by the last version")
        << "m_editRedoAction" << true << "toolbar_show_&redo";
}

// The undo state is shown once the window stands, after its toolbar was set up from the
// preferences: the choice holds on both sides of it.
void TestPreferencesDialog::toolbarChoiceHoldsAfterARestart()
{
    QFETCH(QString, action);
    QFETCH(bool, shown);
    QFETCH(QString, lastVersionKey);
    // The window asks nothing at start-up: the samples were offered, the install page was
    // shown, and the last plan is a real file.
    settings()->setValue(samplesOfferKey(), 1);
    settings()->setValue(Settings::installPageKey(), false);
    const QString plan = m_stores.appFilePath(QStringLiteral("Plan.tv"));
    QString error;
    QVERIFY(writePlanFile(Document(), plan, &error));
    settings()->write(Settings::Key::LastPlan, plan);
    if (!lastVersionKey.isEmpty())
        settings()->setValue(lastVersionKey, shown);
    auto window = std::make_unique<MainWindow>();
    if (lastVersionKey.isEmpty()) {
        const QList<QAction *> before = window->toolBarActions();
        QAction *chosen = window->findChild<QAction *>(action);
        QCOMPARE(before.contains(chosen), !shown);
        PreferencesDialog dialog(window.get(), window->availableToolBarActions(),
                                 window->toolBarActions());
        boxWithText(&dialog, chosen->iconText())->setChecked(shown);
        dialog.accept();
        window->setupToolBar();
        QCOMPARE(window->toolBarActions().contains(chosen), shown);
        if (!shown) {
            QList<QAction *> expected = before;
            expected.removeOne(chosen);
            QCOMPARE(window->toolBarActions(), expected);
        }
    }
    window.reset();
    MainWindow restarted;
    QAction *chosen = restarted.findChild<QAction *>(action);
    QCOMPARE(restarted.toolBarActions().contains(chosen), shown);
}

void TestPreferencesDialog::storeMovesBothWaysWithEveryKey()
{
    settings()->setBackupInterval(44);
    settings()->setValue(QStringLiteral("cards_appearances/Mine"), QStringLiteral("<a/>"));
    {
        PreferencesDialog dialog(nullptr);
        auto *location = child<QComboBox>(&dialog, "m_prefsLocationComboBox");
        QCOMPARE(location->currentIndex(), 0);
        location->setCurrentIndex(1);
        QVERIFY(settings()->isIniFormat());
        dialog.reject();
    }
    {
        // Written at once, with the geometry of the dialog that was open meanwhile.
        Settings portable(app()->iniFilePath());
        QCOMPARE(portable.backupInterval(), 44);
        QVERIFY(portable.contains(QStringLiteral("cards_appearances/Mine")));
        QVERIFY(portable.contains(QStringLiteral("prefs_window_geometry")));
    }
    // Opened on the portable file, the dialog shows it and moves nothing until asked.
    Settings *current = settings();
    PreferencesDialog dialog(nullptr);
    auto *location = child<QComboBox>(&dialog, "m_prefsLocationComboBox");
    QCOMPARE(location->currentIndex(), 1);
    QCOMPARE(settings(), current);
    location->setCurrentIndex(0);
    dialog.reject();
    QVERIFY(!settings()->isIniFormat());
    QVERIFY(!QFileInfo::exists(app()->iniFilePath()));
    QCOMPARE(settings()->backupInterval(), 44);
    QVERIFY(settings()->contains(QStringLiteral("cards_appearances/Mine")));
}

void TestPreferencesDialog::failedMoveSaysSoAndSwitchesNothing_data()
{
    QTest::addColumn<bool>("toPortable");
    QTest::newRow("to the portable file") << true;
    QTest::newRow("to the platform store") << false;
}

void TestPreferencesDialog::failedMoveSaysSoAndSwitchesNothing()
{
    QFETCH(bool, toPortable);
    if (!toPortable)
        QVERIFY(app()->usePortableSettings());
    settings()->setBackupInterval(44);
    settings()->sync();
    const QString blocker = m_stores.blockStore(toPortable);
    QVERIFY(!blocker.isEmpty());
    const QString iniFile = app()->iniFilePath();
    if (toPortable)
        Application::setAppDirOverride(blocker + QStringLiteral("/app"));
    const QString target = toPortable
        ? app()->iniFilePath()
        : SettingsStores::platformStoreFolder() + QStringLiteral("/Tavrolo.conf");
    Settings *before = settings();
    PreferencesDialog dialog(nullptr);
    auto *location = child<QComboBox>(&dialog, "m_prefsLocationComboBox");

    ModalAnswer answer(QStringLiteral("OK"));
    location->setCurrentIndex(toPortable ? 1 : 0);
    QVERIFY(answer.answered());
    QCOMPARE(answer.shownText(),
             QStringLiteral("Cannot write to '%1'.\nMake sure the file and folder have write "
                            "permission.")
                 .arg(target));
    QCOMPARE(location->currentIndex(), toPortable ? 0 : 1);
    QCOMPARE(settings(), before);
    QCOMPARE(settings()->backupInterval(), 44);
    if (!toPortable)
        QCOMPARE(Settings(iniFile).backupInterval(), 44);
}

TAVROLO_TEST_MAIN(TestPreferencesDialog)
#include "tst_preferencesdialog.moc"

#include "common/app/Accessors.h"
#include "common/widgets/Settings.h"
#include "dialogs/PreferencesDialog.h"
#include "harness/TestMain.h"

#include <QComboBox>
#include <QLocale>

namespace {

// Every other test runs in the C locale, which the test home pins before the application
// starts. Qt reads the system locale once, when it is first asked, so asking before main keeps
// the German locale this program is about.
const QString startLocale = [] {
    qputenv("LC_ALL", "de_DE.UTF-8");
    qputenv("LANG", "de_DE.UTF-8");
    return QLocale::system().name();
}();

} // namespace

// The number-format choice under a system locale that writes numbers as 1.234,5.
class TestPreferencesLocale : public QObject
{
    Q_OBJECT

private slots:
    void numberFormatIsOfferedWhereTheSystemDiffers();
};

void TestPreferencesLocale::numberFormatIsOfferedWhereTheSystemDiffers()
{
    QCOMPARE(startLocale, QStringLiteral("de_DE"));
    QCOMPARE(QLocale::system().name(), QStringLiteral("de_DE"));
    settings()->setNumberFormat(1);
    PreferencesDialog dialog(nullptr);
    auto *numbers = dialog.findChild<QComboBox *>(QStringLiteral("m_numberFormatComboBox"));
    QVERIFY(numbers->isEnabled());
    QCOMPARE(numbers->itemText(0), QStringLiteral("From operating system (e.g. 1.234,5)"));
    QCOMPARE(numbers->currentIndex(), 1);
    numbers->setCurrentIndex(0);
    dialog.accept();
    QCOMPARE(settings()->numberFormat(), 0);
}

TAVROLO_TEST_MAIN(TestPreferencesLocale)
#include "tst_preferenceslocale.moc"

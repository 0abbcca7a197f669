#include "common/app/Accessors.h"
#include "common/widgets/Settings.h"
#include "dialogs/PreferencesDialog.h"
#include "harness/SystemLocale.h"
#include "harness/TestMain.h"

#include <QComboBox>
#include <QLocale>

namespace {

const QString startLocale = startUnderSystemLocale("de_DE.UTF-8");

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

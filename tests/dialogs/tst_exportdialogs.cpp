#include "dialogs/ExportCSVDialog.h"
#include "dialogs/ExportPDFDialog.h"
#include "harness/NamedChild.h"
#include "harness/TestMain.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QPainter>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

// Picks an entry the way the user does, so that only "activated" reaches the dialog.
void choose(QComboBox *combo, int index)
{
    QTest::keyClick(combo, Qt::Key_Home);
    for (int i = 0; i < index; ++i)
        QTest::keyClick(combo, Qt::Key_Down);
    QCOMPARE(combo->currentIndex(), index);
}

const int customEntry = 14;

} // namespace

class TestExportDialogs : public QObject
{
    Q_OBJECT

private slots:
    void pdfDialogOpensAtTheStoredSize_data();
    void pdfDialogOpensAtTheStoredSize();
    void unitsConvertTheCustomPage();
    void acceptedPdfDialogSetsUpThePage_data();
    void acceptedPdfDialogSetsUpThePage();
    void csvDialogOffersOnlyRealChoices_data();
    void csvDialogOffersOnlyRealChoices();
};

void TestExportDialogs::pdfDialogOpensAtTheStoredSize_data()
{
    QTest::addColumn<int>("stored");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("rows");
    QTest::newRow("Letter") << 2 << "Letter" << 2;
    QTest::newRow("Executive, not offered") << 4 << "A4" << 2;
    QTest::newRow("A6, not offered") << 10 << "A4" << 2;
    QTest::newRow("unknown") << 99 << "A4" << 2;
    QTest::newRow("custom") << 30 << "<custom>" << 4;
}

void TestExportDialogs::pdfDialogOpensAtTheStoredSize()
{
    QFETCH(int, stored);
    QFETCH(QString, shown);
    QFETCH(int, rows);
    ExportPDFDialog dialog(nullptr, QPrinter::Landscape, stored, QPrinter::Millimeter, nullptr);
    QCOMPARE(child<QComboBox>(&dialog, "m_pageSizeCombo")->currentText(), shown);
    QCOMPARE(child<QFormLayout>(&dialog, "m_formLayout")->rowCount(), rows);
    QCOMPARE(child<QComboBox>(&dialog, "m_orientationCombo")->isVisibleTo(&dialog), rows == 2);
    QCOMPARE(child<QDoubleSpinBox>(&dialog, "m_widthSpinBox")->value(), 210.0);
    QCOMPARE(child<QDoubleSpinBox>(&dialog, "m_heightSpinBox")->value(), 297.0);
    QCOMPARE(int(dialog.paperSize()), shown == "A4" ? 0 : stored);
}

void TestExportDialogs::unitsConvertTheCustomPage()
{
    ExportPDFDialog dialog(nullptr, QPrinter::Landscape, 0, QPrinter::Millimeter, nullptr);
    auto *sizes = child<QComboBox>(&dialog, "m_pageSizeCombo");
    auto *units = child<QComboBox>(&dialog, "m_unitsComboBox");
    auto *width = child<QDoubleSpinBox>(&dialog, "m_widthSpinBox");
    auto *height = child<QDoubleSpinBox>(&dialog, "m_heightSpinBox");
    choose(sizes, customEntry);
    QCOMPARE(child<QFormLayout>(&dialog, "m_formLayout")->rowCount(), 4);
    choose(units, 1);
    QCOMPARE(width->value(), 8.27);
    QCOMPARE(height->value(), 11.69);
    choose(units, 1); // the unit already shown converts nothing
    QCOMPARE(width->value(), 8.27);
    choose(units, 0);
    QCOMPARE(width->value(), 210.06);
    QCOMPARE(height->value(), 296.93);
    width->setValue(20);
    choose(units, 1);
    QCOMPARE(width->value(), 1.0); // 0.79 raised to the smallest page
    choose(sizes, 2);
    QCOMPARE(child<QFormLayout>(&dialog, "m_formLayout")->rowCount(), 2);
}

void TestExportDialogs::acceptedPdfDialogSetsUpThePage_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("orientation");
    QTest::addColumn<int>("units"); // of the custom page
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::addColumn<int>("paperSize");
    QTest::addColumn<QSize>("pagePoints");
    QTest::newRow("Letter, landscape") << 13 << 0 << 0 << 0.0 << 0.0 << 2 << QSize(792, 612);
    QTest::newRow("A5, portrait") << 5 << 1 << 0 << 0.0 << 0.0 << 9 << QSize(420, 595);
    QTest::newRow("custom A4 in mm, never turned")
        << customEntry << 0 << 0 << 210.0 << 297.0 << 30 << QSize(595, 842);
    QTest::newRow("custom wide page in inches")
        << customEntry << 1 << 1 << 5.0 << 3.0 << 30 << QSize(360, 216);
    QTest::newRow("custom a hair off A4")
        << customEntry << 1 << 0 << 209.0 << 297.0 << 30 << QSize(592, 842);
}

void TestExportDialogs::acceptedPdfDialogSetsUpThePage()
{
    QFETCH(int, size);
    QFETCH(int, orientation);
    QFETCH(int, units);
    QFETCH(double, width);
    QFETCH(double, height);
    QFETCH(int, paperSize);
    QFETCH(QSize, pagePoints);
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("page.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFileName(file);
    ExportPDFDialog dialog(nullptr, QPrinter::Landscape, 0, QPrinter::Millimeter, &printer);
    choose(child<QComboBox>(&dialog, "m_pageSizeCombo"), size);
    if (size == customEntry) {
        choose(child<QComboBox>(&dialog, "m_unitsComboBox"), units);
        child<QDoubleSpinBox>(&dialog, "m_widthSpinBox")->setValue(width);
        child<QDoubleSpinBox>(&dialog, "m_heightSpinBox")->setValue(height);
    } else {
        choose(child<QComboBox>(&dialog, "m_orientationCombo"), orientation);
    }
    dialog.accept();
    QCOMPARE(int(dialog.paperSize()), paperSize);
    QCOMPARE(printer.outputFormat(), QPrinter::PdfFormat);
    QCOMPARE(printer.pageLayout().orientation(),
             size != customEntry && orientation == 0 ? QPageLayout::Landscape
                                                     : QPageLayout::Portrait);
    QPainter painter(&printer);
    painter.drawRect(10, 10, 100, 100);
    QVERIFY(painter.end());
    QFile pdf(file);
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    QVERIFY(bytes.startsWith("%PDF"));
    const QRegularExpression boxPattern(QStringLiteral("/MediaBox \\[0 0 ([0-9.]+) ([0-9.]+)\\]"));
    const QRegularExpressionMatch box
        = boxPattern.match(QString::fromLatin1(bytes.constData(), bytes.size()));
    QVERIFY(box.hasMatch());
    QCOMPARE(QSize(qRound(box.captured(1).toDouble()), qRound(box.captured(2).toDouble())),
             pagePoints);
}

void TestExportDialogs::csvDialogOffersOnlyRealChoices_data()
{
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<QList<int>>("visible");
    QTest::addColumn<QString>("chosen"); // the radio button pressed before OK
    QTest::addColumn<QList<int>>("exported");
    const QList<int> all {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    QTest::newRow("3 selected, none hidden, OK at once")
        << QList<int>({2, 5, 7}) << all << "" << all;
    QTest::newRow("3 selected, export them")
        << QList<int>({2, 5, 7}) << all << "m_selectedRadioButton" << QList<int>({2, 5, 7});
    QTest::newRow("none selected, 4 visible")
        << QList<int>() << QList<int>({1, 2, 3, 4}) << "m_filteredRadioButton"
        << QList<int>({1, 2, 3, 4});
}

void TestExportDialogs::csvDialogOffersOnlyRealChoices()
{
    QFETCH(QList<int>, selected);
    QFETCH(QList<int>, visible);
    QFETCH(QString, chosen);
    QFETCH(QList<int>, exported);
    const QList<int> all {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    ExportCSVDialog dialog(nullptr, all, selected, visible);
    auto *allButton = child<QRadioButton>(&dialog, "m_allRadioButton");
    auto *selectedButton = child<QRadioButton>(&dialog, "m_selectedRadioButton");
    auto *visibleButton = child<QRadioButton>(&dialog, "m_filteredRadioButton");
    QVERIFY(allButton->isChecked());
    QCOMPARE(allButton->text(), QStringLiteral("Export all cards (10)."));
    QCOMPARE(selectedButton->isVisibleTo(&dialog), !selected.isEmpty());
    QCOMPARE(selectedButton->text(),
             QStringLiteral("Export only selected cards (%1).").arg(selected.size()));
    QCOMPARE(visibleButton->isVisibleTo(&dialog), visible.size() != all.size());
    QCOMPARE(visibleButton->text(),
             QStringLiteral("Export only visible (not hidden by filter) cards (%1).")
                 .arg(visible.size()));
    if (!chosen.isEmpty())
        dialog.findChild<QRadioButton *>(chosen)->click();
    dialog.accept();
    QCOMPARE(dialog.tasks(), exported);
}

TAVROLO_TEST_MAIN(TestExportDialogs)
#include "tst_exportdialogs.moc"

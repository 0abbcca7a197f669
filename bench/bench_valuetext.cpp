#include "common/core/NumberDateText.h"
#include "common/core/RelativeDates.h"
#include "harness/PlainTestMain.h"

// Type detection reads every value of a plan as a number and then as a date: a
// 10,000-card plan with 20 properties means 200,000 values.
class BenchValueText : public QObject
{
    Q_OBJECT

private slots:
    void guessTypesOfMixedValues();
    void normalizeRelativeDates();

private:
    QStringList mixedValues() const;
};

QStringList BenchValueText::mixedValues() const
{
    QStringList values;
    for (int i = 0; i < 200000; ++i) {
        switch (i % 4) {
        case 0:
            values.append(QString::number(i * 1.25));
            break;
        case 1:
            values.append(QStringLiteral("%1/%2/2024").arg(i % 28 + 1).arg(i % 12 + 1));
            break;
        case 2:
            values.append(QStringLiteral("Task %1 in progress").arg(i));
            break;
        default:
            values.append(QStringLiteral("%1 Mar").arg(i % 28 + 1));
        }
    }
    return values;
}

void BenchValueText::guessTypesOfMixedValues()
{
    const QStringList values = mixedValues();
    int numeric = 0;
    QBENCHMARK
    {
        numeric = 0;
        for (const QString &value : values)
            numeric += guessValueType(value, ValueFormats()) == 1 ? 1 : 0;
    }
    QCOMPARE(numeric, 50000);
}

void BenchValueText::normalizeRelativeDates()
{
    const QStringList texts {QStringLiteral("today"), QStringLiteral("+3"),
                             QStringLiteral("friday"), QStringLiteral("14/3/2024")};
    QBENCHMARK
    {
        for (int i = 0; i < 10000; ++i)
            normalizeDateText(texts.at(i % texts.size()), ValueFormats());
    }
}

TAVROLO_GUI_TEST_MAIN(BenchValueText)
#include "bench_valuetext.moc"

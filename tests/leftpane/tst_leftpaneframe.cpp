#include "harness/TestMain.h"
#include "leftpane/Concertina.h"
#include "leftpane/HeaderButton.h"
#include "leftpane/LeftPane.h"
#include "leftpane/LeftPaneWidget.h"

#include <QLabel>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {

// A section panel of a given width and height.
class SectionPanel : public LeftPaneWidget
{
public:
    SectionPanel(QWidget *parent, int width, int height) : LeftPaneWidget(parent)
    {
        auto *layout = new QVBoxLayout(this);
        auto *label = new QLabel(QStringLiteral("panel"), this);
        label->setMinimumSize(width, height);
        layout->addWidget(label);
    }
    void giveFocus() override { }
};

// A pane of three sections, built the way each tab builds its own.
class TestPane : public LeftPane
{
public:
    explicit TestPane(const QList<bool> &open = {true, false, false})
    {
        const int widths[] = {150, 320, 120};
        const QStringList titles = {QStringLiteral("Layout/Color"), QStringLiteral("Filter"),
                                    QStringLiteral("A rather long section title")};
        const QStringList keys = {QStringLiteral("Ctrl+B"), QStringLiteral("Ctrl+F"), QString()};
        for (int i = 0; i < 3; ++i) {
            panels.append(new SectionPanel(m_concertina, widths[i], 300));
            headers.append(
                m_concertina->addWidget(titles.at(i), panels.last(), open.value(i), keys.at(i)));
        }
        m_concertina->addStretch();
        m_concertina->adjustSize();
        onSizeChanged();
    }
    Concertina *concertina() const { return m_concertina; }

    QList<SectionPanel *> panels;
    QList<HeaderButton *> headers;
};

// The signals of the concertina in the order they came: "size", or "opened N" with N the
// panel's position.
class SignalLog : public QObject
{
public:
    explicit SignalLog(TestPane &pane)
    {
        connect(pane.concertina(), &Concertina::sizeChanged, this,
                [this] { entries << QStringLiteral("size"); });
        connect(pane.concertina(), &Concertina::childOpened, this, [this, &pane](QWidget *w) {
            entries << QStringLiteral("opened %1")
                           .arg(pane.panels.indexOf(static_cast<SectionPanel *>(w)));
        });
    }
    QStringList entries;
};

// The dark pixels left of the header's text: the arrow.
QVector<QPoint> arrowPixels(const QImage &image)
{
    QVector<QPoint> pixels;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < 25; ++x) {
            if (qGray(image.pixel(x, y)) < 200)
                pixels << QPoint(x, y);
        }
    }
    return pixels;
}

} // namespace

class TestLeftPaneFrame : public QObject
{
    Q_OBJECT
private slots:
    void headerClickOpensAndClosesItsSection();
    void setChildOpenEmitsEvenWhenNothingChanges_data();
    void setChildOpenEmitsEvenWhenNothingChanges();
    void paneIsNeverNarrowerThanItsOpenSections();
    void escapeIsReportedAndArrowsDoNotScroll();
    void headerToolTipNamesTheKey_data();
    void headerToolTipNamesTheKey();
    void arrowPointsDownWhenOpenRightWhenClosed();
};

void TestLeftPaneFrame::headerClickOpensAndClosesItsSection()
{
    TestPane pane;
    pane.resize(400, 200);
    pane.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pane));
    SignalLog log(pane);

    QTest::mouseClick(pane.headers.at(2), Qt::LeftButton);
    QCOMPARE(log.entries, QStringList({"size", "opened 2"}));
    QVERIFY(pane.headers.at(2)->isOpen());
    QVERIFY(pane.panels.at(2)->isVisible());
    // The opened section lies below the first one's 300 pixels: the pane scrolled to it.
    QVERIFY(pane.verticalScrollBar()->value() > 0);

    log.entries.clear();
    QTest::mouseClick(pane.headers.at(2), Qt::LeftButton);
    QCOMPARE(log.entries, QStringList({"size"}));
    QVERIFY(!pane.headers.at(2)->isOpen());
    QVERIFY(pane.panels.at(2)->isHidden());
}

void TestLeftPaneFrame::setChildOpenEmitsEvenWhenNothingChanges_data()
{
    QTest::addColumn<int>("section");
    QTest::addColumn<bool>("open");
    QTest::addColumn<QStringList>("signalsEmitted");
    QTest::newRow("open an open section") << 0 << true << QStringList({"size", "opened 0"});
    QTest::newRow("open a closed section") << 1 << true << QStringList({"size", "opened 1"});
    QTest::newRow("close an open section") << 0 << false << QStringList({"size"});
    QTest::newRow("close a closed section") << 1 << false << QStringList({"size"});
}

void TestLeftPaneFrame::setChildOpenEmitsEvenWhenNothingChanges()
{
    QFETCH(int, section);
    QFETCH(bool, open);
    QFETCH(QStringList, signalsEmitted);
    TestPane pane;
    pane.show();
    SignalLog log(pane);
    pane.setChildOpen(pane.panels.at(section), open);
    QCOMPARE(log.entries, signalsEmitted);
    QCOMPARE(pane.headers.at(section)->isOpen(), open);
    QCOMPARE(pane.panels.at(section)->isVisible(), open);

    // A panel that was never added opens nothing.
    log.entries.clear();
    SectionPanel stranger(nullptr, 10, 10);
    pane.setChildOpen(&stranger, true);
    QVERIFY(log.entries.isEmpty());
}

void TestLeftPaneFrame::paneIsNeverNarrowerThanItsOpenSections()
{
    // Computed before the pane is first shown, as the tabs' panes do in their constructors.
    TestPane pane({true, false, false});
    const int first = pane.panels.at(0)->sizeHint().width() + 10;
    int widestHeader = 0;
    for (HeaderButton *header : qAsConst(pane.headers))
        widestHeader = std::max(widestHeader, header->sizeHint().width() + 10);
    QCOMPARE(pane.minimumWidth(), std::max(first, widestHeader));

    pane.show();
    QTest::mouseClick(pane.headers.at(1), Qt::LeftButton);
    QCOMPARE(pane.minimumWidth(), pane.panels.at(1)->sizeHint().width() + 10);
    QVERIFY(pane.minimumWidth() > widestHeader);

    // Everything closed: the widest header alone.
    QTest::mouseClick(pane.headers.at(1), Qt::LeftButton);
    QTest::mouseClick(pane.headers.at(0), Qt::LeftButton);
    QCOMPARE(pane.minimumWidth(), widestHeader);
}

void TestLeftPaneFrame::escapeIsReportedAndArrowsDoNotScroll()
{
    TestPane pane({true, true, true});
    pane.resize(400, 200);
    pane.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pane));
    QSignalSpy escapes(&pane, &LeftPane::escapeKeyPressed);
    const int scrolled = pane.verticalScrollBar()->value();
    for (Qt::Key key : {Qt::Key_Down, Qt::Key_PageDown, Qt::Key_End, Qt::Key_A})
        QTest::keyClick(&pane, key);
    QCOMPARE(pane.verticalScrollBar()->value(), scrolled);
    QCOMPARE(escapes.count(), 0);
    QTest::keyClick(&pane, Qt::Key_Escape);
    QCOMPARE(escapes.count(), 1);
}

void TestLeftPaneFrame::headerToolTipNamesTheKey_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("shortcut");
    QTest::addColumn<QString>("toolTip");
    QTest::newRow("key") << "Filter"
                         << "Ctrl+F" << QString::fromUtf8("Filter (⌘F open/close)");
    QTest::newRow("no key") << "Display"
                            << ""
                            << "Display";
}

void TestLeftPaneFrame::headerToolTipNamesTheKey()
{
    QFETCH(QString, title);
    QFETCH(QString, shortcut);
    QFETCH(QString, toolTip);
    Concertina concertina;
    HeaderButton *header
        = concertina.addWidget(title, new SectionPanel(&concertina, 10, 10), false, shortcut);
    QCOMPARE(header->toolTip(), toolTip);
    QCOMPARE(header->text(), title);
    QVERIFY(header->font().bold());
    QVERIFY(!header->isCheckable());
}

void TestLeftPaneFrame::arrowPointsDownWhenOpenRightWhenClosed()
{
    TestPane pane({true, false, false});
    pane.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pane));
    for (HeaderButton *header : {pane.headers.at(0), pane.headers.at(1)}) {
        const QVector<QPoint> pixels = arrowPixels(header->grab().toImage());
        QVERIFY2(!pixels.isEmpty(), qPrintable(header->text()));
        QRect box;
        QPointF centroid;
        for (const QPoint &pixel : pixels) {
            box |= QRect(pixel, QSize(1, 1));
            centroid += pixel;
        }
        centroid /= pixels.size();
        const QPointF centre = QRectF(box).center() - QPointF(0.5, 0.5);
        QVERIFY(box.left() == 10 || box.left() == 11);
        QVERIFY(box.width() <= 11 && box.height() <= 11);
        // A triangle's mass lies towards its base: up for the arrow pointing down, left for
        // the arrow pointing right.
        if (header->isOpen()) {
            QVERIFY(centroid.y() < centre.y() - 0.5);
            QVERIFY(qAbs(centroid.x() - centre.x()) < 0.5);
        } else {
            QVERIFY(centroid.x() < centre.x() - 0.5);
            QVERIFY(qAbs(centroid.y() - centre.y()) < 0.5);
        }
    }
}

TAVROLO_TEST_MAIN(TestLeftPaneFrame)
#include "tst_leftpaneframe.moc"

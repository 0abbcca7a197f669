#include "MainWindowFixture.h"
#include "app/CheckUpdatesDlg.h"
#include "app/HttpLoader.h"
#include "app/UpdateRules.h"
#include "common/core/TextHelpers.h"
#include "common/core/UrlOpener.h"
#include "common/widgets/BalloonTip.h"
#include "harness/TestMain.h"

#include <QAction>
#include <QMessageBox>
#include <QTabWidget>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

namespace {

// Answers every request on the loopback address with one canned HTTP/1.0 answer, or keeps
// silent; remembers the request lines.
class CannedServer : public QObject
{
public:
    CannedServer()
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(socket); });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }

    QString address() const
    {
        return QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort());
    }

    QByteArray answer; // empty: no answer at all
    QStringList requests;

private:
    void serve(QTcpSocket *socket)
    {
        QByteArray &request = m_requests[socket];
        request += socket->readAll();
        if (!request.contains("\r\n\r\n"))
            return;
        requests.append(QString::fromLatin1(request.left(request.indexOf("\r\n"))));
        if (answer.isEmpty())
            return;
        socket->write(answer);
        socket->disconnectFromHost();
    }

    QTcpServer m_server;
    QMap<QTcpSocket *, QByteArray> m_requests;
};

// Takes the events of one type from their receiver, counting them.
class EventCatcher : public QObject
{
public:
    EventCatcher(QEvent::Type type, int *count) : m_type(type), m_count(count) { }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != m_type)
            return QObject::eventFilter(watched, event);
        ++*m_count;
        return true;
    }

private:
    QEvent::Type m_type;
    int *m_count;
};

QByteArray ok(const QByteArray &body)
{
    return "HTTP/1.0 200 OK\r\nContent-Type: text/xml\r\nContent-Length: "
        + QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

QByteArray latest(const QByteArray &version, const QByteArray &url = "http://get.example/v3")
{
    return ok("<?xml version=\"1.0\"?><tavrolo><mac><latest version=\"" + version + "\" url=\""
              + url + "\"/></mac></tavrolo>");
}

const QString unreachable
    = QStringLiteral("Unable to retrieve updates information. Please ensure you have a working "
                     "Internet connection and your firewall is not blocking Tavrolo. You can "
                     "check for updates manually at:\n")
    + webSiteUrl();
const QString malformed = QStringLiteral("Unable to retrieve update information.");
const QString noVersion = QStringLiteral("Unable to retrieve latest version information.");
const QString upToDate = QStringLiteral("You are using v2.4.1. This is the latest production "
                                        "version.");

QString newer(const QString &version)
{
    return QStringLiteral("New version available!\nYou are using v2.4.1. The latest production "
                          "version is v%1.\nClick \"OK\" to go to the download page and find out "
                          "more.")
        .arg(version);
}

QString older(const QString &version)
{
    return QStringLiteral("You are using v2.4.1. The latest production version is v%1.")
        .arg(version);
}

} // namespace

class TestUpdateCheck : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void theAutomaticCheckIsDueByItsInterval_data();
    void theAutomaticCheckIsDueByItsInterval();
    void aStartWithoutACheckDueOffersATip_data();
    void aStartWithoutACheckDueOffersATip();
    void theQueryCarriesTheFourKeys();
    void eachAnswerGivesItsMessage_data();
    void eachAnswerGivesItsMessage();
    void theWindowStaysUsableWhileTheAnswerIsAwaited();

private:
    QTemporaryDir m_folder;
    std::unique_ptr<CannedServer> m_server;
    QList<QUrl> m_opened;
};

void TestUpdateCheck::initTestCase()
{
    // Five rounds of 200 ms: a server that never answers costs a second.
    HttpLoader::setRoundDuration(200);
    setUrlOpener([this](const QUrl &url) {
        m_opened.append(url);
        return true;
    });
}

void TestUpdateCheck::init()
{
    const QString plan = m_folder.filePath("Plan.tv");
    QVERIFY(writeTestPlan(plan, 3));
    presetQuietStartup(plan);
    m_server.reset(new CannedServer);
    UpdateChecker::setUpdateServerAddress(m_server->address());
    m_opened.clear();
}

void TestUpdateCheck::cleanup()
{
    UpdateChecker::setUpdateServerAddress(QString());
    m_server.reset();
}

void TestUpdateCheck::theAutomaticCheckIsDueByItsInterval_data()
{
    QTest::addColumn<int>("sessions");
    QTest::addColumn<int>("interval"); // 0 daily, 1 weekly, 2 monthly, 3 never
    QTest::addColumn<int>("daysAgo"); // -1000: never checked
    QTest::addColumn<bool>("due");
    QTest::newRow("first run") << 0 << 1 << -1000 << false;
    QTest::newRow("second run") << 1 << 0 << 5 << false;
    QTest::newRow("never") << 9 << 3 << 100 << false;
    QTest::newRow("never checked") << 2 << 1 << -1000 << true;
    QTest::newRow("daily, today") << 2 << 0 << 0 << false;
    QTest::newRow("daily, yesterday") << 2 << 0 << 1 << true;
    QTest::newRow("weekly, 6 days") << 2 << 1 << 6 << false;
    QTest::newRow("weekly, 7 days") << 2 << 1 << 7 << true;
    QTest::newRow("monthly, 30 days") << 2 << 2 << 30 << true;
    QTest::newRow("date in the future") << 2 << 0 << -3 << false;
}

void TestUpdateCheck::theAutomaticCheckIsDueByItsInterval()
{
    QFETCH(int, sessions);
    QFETCH(int, interval);
    QFETCH(int, daysAgo);
    QFETCH(bool, due);
    const QDate today(2016, 9, 26);
    const QDate last = daysAgo == -1000 ? QDate() : today.addDays(-daysAgo);
    QCOMPARE(isUpdateCheckDue(sessions, interval, last, today), due);
}

void TestUpdateCheck::aStartWithoutACheckDueOffersATip_data()
{
    QTest::addColumn<int>("sessions");
    QTest::addColumn<bool>("property");
    QTest::addColumn<QString>("tip"); // the key set afterwards; "" when the check is due
    QTest::newRow("first run, a property") << 0 << true << "tip_add_card";
    QTest::newRow("first run, no property") << 0 << false << "tip_add_property";
    QTest::newRow("check due") << 2 << true << "";
}

// Start-up either asks for the update check (which then runs from the event loop) or offers
// the tip that fits the plan; switching tabs marks the tabs tip as seen without showing it.
void TestUpdateCheck::aStartWithoutACheckDueOffersATip()
{
    QFETCH(int, sessions);
    QFETCH(bool, property);
    QFETCH(QString, tip);
    settings()->write(Settings::Key::Sessions, sessions);
    MainWindow window;
    if (!property)
        doc()->deleteProperties({1}, false);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    int checksAsked = 0;
    EventCatcher catcher(MainWindow::updateCheckDueEvent, &checksAsked);
    window.installEventFilter(&catcher);
    window.onAutoCheckForUpdates();
    QCoreApplication::sendPostedEvents(&window, MainWindow::updateCheckDueEvent);
    QCOMPARE(checksAsked, tip.isEmpty() ? 1 : 0);
    for (const char *key : {"tip_add_card", "tip_add_property"})
        QCOMPARE(settings()->value(QLatin1String(key), false).toBool(), tip == QLatin1String(key));
    BalloonTip::hideBalloon();
    window.findChild<QTabWidget *>()->setCurrentIndex(2);
    QVERIFY(settings()->value(QStringLiteral("tip_tabs"), false).toBool());
    QVERIFY(!BalloonTip::currentBalloon());
}

void TestUpdateCheck::theQueryCarriesTheFourKeys()
{
    const QMap<QString, QString> weekly {
        {"f", "7"}, {"p", "macOS 10.12"}, {"s", "5"}, {"v", "2.4.1"}};
    QCOMPARE(HttpLoader::requestUrl("http://a.example/updates.php", weekly),
             QStringLiteral("http://a.example/updates.php?f=7&p=macOS%2010.12&s=5&v=2.4.1"));
    settings()->write(Settings::Key::Sessions, 5);
    settings()->setAutoUpdateInterval(1);
    QMap<QString, QString> automatic = weekly;
    automatic["p"] = osVersionText();
    QCOMPARE(updateQueryParameters(true, *settings()), automatic);
    QCOMPARE(updateQueryParameters(false, *settings()).value("f"), QStringLiteral("m"));
}

void TestUpdateCheck::eachAnswerGivesItsMessage_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("opened"); // the page handed to the desktop, "" for none
    const QString page = QStringLiteral("http://get.example/v3?v=2_4_1");
    QTest::newRow("2.4.2") << latest("2.4.2") << "OK" << newer("2.4.2") << page;
    QTest::newRow("2.5.0") << latest("2.5.0") << "Cancel" << newer("2.5.0") << "";
    QTest::newRow("3.0.0") << latest("3.0.0") << "Cancel" << newer("3.0.0") << "";
    QTest::newRow("2.4.1") << latest("2.4.1") << "OK" << upToDate << "";
    QTest::newRow(".2..4.1.") << latest(".2..4.1.") << "OK" << upToDate << "";
    QTest::newRow("2.4.0") << latest("2.4.0") << "OK" << older("2.4.0") << "";
    QTest::newRow("2.3.9") << latest("2.3.9") << "OK" << older("2.3.9") << "";
    QTest::newRow("2.4") << latest("2.4") << "OK" << noVersion << "";
    QTest::newRow("2.4.1.0") << latest("2.4.1.0") << "OK" << noVersion << "";
    QTest::newRow("2.x.1") << latest("2.x.1") << "OK" << noVersion << "";
    QTest::newRow("no mac") << ok("<tavrolo><win><latest version=\"3.0.0\" url=\"http://a.b/\"/>"
                                  "</win></tavrolo>")
                            << "OK" << noVersion << "";
    QTest::newRow("file page") << latest("3.0.0", "file:///etc/passwd") << "OK" << noVersion << "";
    QTest::newRow("encoded file page")
        << latest("3.0.0", "file%3A%2F%2F%2Fetc%2Fpasswd") << "OK" << noVersion << "";
    QTest::newRow("malformed") << ok("<tavrolo><mac>") << "OK" << malformed << "";
    QTest::newRow("404") << QByteArray("HTTP/1.0 404 Not Found\r\n\r\n") << "OK" << unreachable
                         << "";
    QTest::newRow("longer than 64 KB")
        << ok(QByteArray(70 * 1024, ' ') + "<a/>") << "OK" << unreachable << "";
    QTest::newRow("silence") << QByteArray() << "OK" << unreachable << "";
}

void TestUpdateCheck::eachAnswerGivesItsMessage()
{
    QFETCH(QByteArray, answer);
    QFETCH(QString, button);
    QFETCH(QString, message);
    QFETCH(QString, opened);
    MainWindow window;
    m_server->answer = answer;
    Qt::TextFormat format = Qt::AutoText;
    ModalAnswer box(button, {}, [&](QWidget *modal) {
        format = qobject_cast<QMessageBox *>(modal)->textFormat();
    });
    window.checkForUpdates(false);
    QVERIFY(box.answered());
    QCOMPARE(box.shownText(), message);
    // What the server sent is shown as it is, never as markup.
    if (message.contains("latest production version is"))
        QCOMPARE(format, Qt::PlainText);
    QCOMPARE(m_opened.isEmpty() ? QString() : m_opened.first().toString(), opened);
    // The network layer may send a request again when the server closed early; each is the
    // same one.
    QVERIFY(!m_server->requests.isEmpty());
    const QString query
        = HttpLoader::requestUrl("/updates.php", updateQueryParameters(false, *settings()));
    for (const QString &request : qAsConst(m_server->requests))
        QCOMPARE(request, QStringLiteral("GET %1 HTTP/1.1").arg(query));
    QCOMPARE(settings()->lastUpdatedCheck(), QDate::currentDate());
}

// Every command stays usable while the answer is awaited; closing the window ends the check
// without a word.
void TestUpdateCheck::theWindowStaysUsableWhileTheAnswerIsAwaited()
{
    MainWindow window;
    auto *check = window.findChild<QAction *>("m_helpCheckForUpdatesAction");
    bool disabledMeanwhile = false;
    QString busyText;
    QTimer::singleShot(100, &window, [&] {
        disabledMeanwhile = !check->isEnabled();
        if (auto *busy = window.findChild<CheckUpdatesDlg *>())
            busyText = busy->message();
        window.close();
    });
    ModalAnswer nothing(QStringLiteral("OK"), {}, {}, 1500);
    window.checkForUpdates(true);
    QVERIFY(disabledMeanwhile);
    QCOMPARE(busyText,
             QStringLiteral("Automatically checking for Tavrolo software updates\n(you "
                            "can change this in the Preferences window)"));
    QVERIFY(check->isEnabled());
    QVERIFY(!window.findChild<CheckUpdatesDlg *>());
    QTest::qWait(300);
    QVERIFY(!nothing.answered());
}

TAVROLO_TEST_MAIN(TestUpdateCheck)
#include "tst_updatecheck.moc"

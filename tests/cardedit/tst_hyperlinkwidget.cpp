#include "cardedit/HyperLinkDialog.h"
#include "cardedit/HyperLinkWidget.h"
#include "cardedit/HyperLinkWidgetItem.h"
#include "common/app/Accessors.h"
#include "common/core/BusyCursor.h"
#include "common/core/UrlOpener.h"
#include "common/widgets/Settings.h"
#include "harness/TestMain.h"

#include <QClipboard>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QToolButton>

namespace {

// Drops the data on the list's viewport the way a drag from another program does.
bool drop(HyperLinkWidget *list, QMimeData *data)
{
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(list->viewport(), &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent event(QPointF(5, 5), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(list->viewport(), &event);
    return true;
}

QStringList names(const QList<HyperLink> &links)
{
    QStringList list;
    for (const HyperLink &link : links)
        list.append(link.name());
    return list;
}

QToolButton *editButton(HyperLinkWidget *list, int row)
{
    return qobject_cast<QToolButton *>(list->itemWidget(list->topLevelItem(row), 1));
}

QLineEdit *field(QWidget *dialog, const char *name)
{
    return dialog->findChild<QLineEdit *>(QLatin1String(name));
}

QPushButton *button(QWidget *dialog, const char *text)
{
    for (QPushButton *candidate : dialog->findChildren<QPushButton *>()) {
        if (candidate->text() == QLatin1String(text))
            return candidate;
    }
    return nullptr;
}

QPushButton *okButton(QWidget *dialog)
{
    return dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok);
}

} // namespace

class TestHyperLinkWidget : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void urlsOfDroppedData_data();
    void urlsOfDroppedData();
    void droppedUrlsAreAddedInOrder();
    void pastedLinkClearsVaries();
    void deletingThroughTheRowButton();
    void clickingTheNameOpensTheLink();
    void handCursorIsGivenBackOnlyWhenOurs();
    void dialogNamesTheLinkFromItsAddress();
    void dialogNeedsNameAndAddress_data();
    void dialogNeedsNameAndAddress();

private:
    QList<QUrl> m_opened;
};

void TestHyperLinkWidget::init()
{
    settings()->clear();
    m_opened.clear();
    setUrlOpener([this](const QUrl &url) {
        m_opened.append(url);
        return url.host() != QLatin1String("broken.example");
    });
}

void TestHyperLinkWidget::cleanup()
{
    setUrlOpener(UrlOpenerFunction());
    QGuiApplication::clipboard()->clear();
}

void TestHyperLinkWidget::urlsOfDroppedData_data()
{
    QTest::addColumn<QList<QUrl>>("urls");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("count");
    const QList<QUrl> none;
    QTest::newRow("upper-case scheme") << none << "  HTTPS://x.example  " << 1;
    QTest::newRow("mail address") << none << "mailto:me@x.example" << 1;
    QTest::newRow("file address") << none << "file:///tmp/plan.txt" << 1;
    QTest::newRow("plain words") << none << "buy milk" << 0;
    // It would become a link without an address; the Link dialog keeps such a text.
    QTest::newRow("web address the parser rejects") << none << "https://my server.example/doc" << 0;
    QTest::newRow("any scheme as URLs")
        << QList<QUrl> {QUrl("ftp://x.example"), QUrl("https://y.example")} << "" << 2;
    QTest::newRow("nothing") << none << "" << 0;
}

void TestHyperLinkWidget::urlsOfDroppedData()
{
    QFETCH(QList<QUrl>, urls);
    QFETCH(QString, text);
    QFETCH(int, count);
    QMimeData data;
    if (!urls.isEmpty())
        data.setUrls(urls);
    if (!text.isEmpty())
        data.setText(text);
    QCOMPARE(HyperLinkWidget::getUrls(&data).size(), count);
    settings()->write(Settings::Key::WarnOnFileHyperlink, true);
    HyperLinkWidget list;
    QCOMPARE(drop(&list, &data), count > 0);
    QCOMPARE(list.topLevelItemCount(), count);
}

void TestHyperLinkWidget::droppedUrlsAreAddedInOrder()
{
    HyperLinkWidget list;
    list.setVaries(true);
    QSignalSpy changed(&list, &HyperLinkWidget::linksChanged);
    QMimeData data;
    data.setUrls({QUrl("https://a.example/x/"), QUrl::fromLocalFile("/tmp/notes.txt"),
                  QUrl("https://b.example")});
    {
        ModalAnswer note(QStringLiteral("OK"));
        QVERIFY(drop(&list, &data));
        QVERIFY(note.answered());
        QVERIFY(note.shownText().startsWith(QLatin1String("Tavrolo only stores links.")));
    }
    QCOMPARE(changed.count(), 3);
    QVERIFY(!list.varies());
    QCOMPARE(names(list.links()), (QStringList {"a.example/x", "tmp/notes.txt", "b.example"}));
    // The file note is shown once ever.
    ModalAnswer again(QStringLiteral("OK"), {}, ModalAnswer::Action(), 200);
    QVERIFY(drop(&list, &data));
    QVERIFY(!again.answered());
    QCOMPARE(list.topLevelItemCount(), 6);
}

void TestHyperLinkWidget::pastedLinkClearsVaries()
{
    HyperLinkWidget list;
    list.setVaries(true);
    QSignalSpy changed(&list, &HyperLinkWidget::linksChanged);
    list.onPaste();
    QCOMPARE(changed.count(), 0);
    QGuiApplication::clipboard()->setText(QStringLiteral("https://x.example/a"));
    list.onPaste();
    QCOMPARE(changed.count(), 1);
    QVERIFY(!list.varies());
    // Adding through the dialog leaves "<varies>" alone.
    list.setVaries(true);
    // OK is enabled only once both fields are filled, so type before answering; the name
    // follows the address.
    bool filled = false;
    QTimer::singleShot(0, [&filled] {
        QWidget *dialog = QApplication::activeModalWidget();
        if (!dialog)
            return;
        QTest::keyClicks(field(dialog, "m_urlEdit"), QStringLiteral("https://y.example"));
        filled = true;
        okButton(dialog)->click();
    });
    list.onAdd();
    QVERIFY(filled);
    QCOMPARE(changed.count(), 2);
    QVERIFY(list.varies());
    QCOMPARE(names(list.links()), (QStringList {"x.example/a", "y.example"}));
}

void TestHyperLinkWidget::deletingThroughTheRowButton()
{
    HyperLinkWidget list;
    list.setLinks({HyperLink(QUrl("https://a.example")), HyperLink(QUrl("https://b.example"))});
    QSignalSpy changed(&list, &HyperLinkWidget::linksChanged);
    {
        ModalAnswer cancel(QStringLiteral("Cancel"));
        editButton(&list, 0)->click();
        QVERIFY(cancel.answered());
    }
    QCOMPARE(changed.count(), 0);
    ModalAnswer answer(QStringLiteral("Delete Link"));
    editButton(&list, 0)->click();
    QVERIFY(answer.answered());
    QCOMPARE(changed.count(), 1);
    QCOMPARE(names(list.links()), QStringList {"b.example"});
    // The row's item and button are freed once the click is over.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(list.findChildren<HyperLinkWidgetItem *>().size(), 1);
}

void TestHyperLinkWidget::clickingTheNameOpensTheLink()
{
    HyperLinkWidget list;
    list.resize(300, 120);
    list.setLinks({HyperLink(QStringLiteral("good"), QUrl("https://good.example/a")),
                   HyperLink(QStringLiteral("bad"), QUrl("https://broken.example"))});
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    const QRect first = list.visualItemRect(list.topLevelItem(0));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::NoModifier,
                      first.topLeft() + QPoint(20, 4));
    QCOMPARE(m_opened, QList<QUrl> {QUrl("https://good.example/a")});
    // The edit button is no link.
    ModalAnswer cancel(QStringLiteral("Cancel"));
    editButton(&list, 0)->click();
    QCOMPARE(m_opened.size(), 1);
    ModalAnswer failure(QStringLiteral("OK"));
    const QRect second = list.visualItemRect(list.topLevelItem(1));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::NoModifier,
                      second.topLeft() + QPoint(20, 4));
    QVERIFY(failure.answered());
    QCOMPARE(failure.shownText(), QStringLiteral("Unable to open link 'https://broken.example'."));
}

void TestHyperLinkWidget::handCursorIsGivenBackOnlyWhenOurs()
{
    HyperLinkWidget list;
    list.resize(300, 120);
    list.setLinks({HyperLink(QUrl("https://a.example"))});
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    const QPoint onLink = list.visualItemRect(list.topLevelItem(0)).center();
    const auto moveTo = [&list](const QPoint &point) {
        QMouseEvent move(QEvent::MouseMove, point, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(list.viewport(), &move);
    };
    moveTo(onLink);
    QVERIFY(QGuiApplication::overrideCursor());
    QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::PointingHandCursor);
    // Closed under the pointer: no leave event, yet the hand goes.
    list.hide();
    QVERIFY(!QGuiApplication::overrideCursor());

    list.show();
    moveTo(onLink);
    {
        BusyCursor busy;
    } // takes only its own wait cursor away
    QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::PointingHandCursor);
    {
        BusyCursor busy;
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        list.hide();
        QVERIFY(QGuiApplication::overrideCursor());
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }
    QVERIFY(!QGuiApplication::overrideCursor());
}

void TestHyperLinkWidget::dialogNamesTheLinkFromItsAddress()
{
    HyperLinkDialog adding(nullptr, QString(), QString(), true);
    QCOMPARE(adding.windowTitle(), QStringLiteral("Add Link"));
    QVERIFY(!button(&adding, "Delete Link"));
    QTest::keyClicks(field(&adding, "m_urlEdit"), QStringLiteral("https://host/a%20b?q=1#f"));
    QCOMPARE(adding.name(), QStringLiteral("host/a b"));
    QTest::keyClicks(field(&adding, "m_nameEdit"), QStringLiteral("!"));
    QTest::keyClicks(field(&adding, "m_urlEdit"), QStringLiteral("x"));
    QCOMPARE(adding.name(), QStringLiteral("host/a b!"));

    HyperLinkDialog editing(nullptr, QStringLiteral("https://a.example"), QStringLiteral("A"),
                            false);
    QCOMPARE(editing.windowTitle(), QStringLiteral("Edit Link"));
    QTest::keyClicks(field(&editing, "m_urlEdit"), QStringLiteral("/b"));
    QCOMPARE(editing.name(), QStringLiteral("A"));
    QPushButton *deleteButton = button(&editing, "Delete Link");
    QVERIFY(deleteButton);
    deleteButton->click();
    QVERIFY(editing.isDeleted());
    QCOMPARE(editing.result(), int(QDialog::Rejected));
}

void TestHyperLinkWidget::dialogNeedsNameAndAddress_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("both") << " https://x "
                          << " X " << true;
    QTest::newRow("blank name") << "https://x"
                                << "   " << false;
    QTest::newRow("blank address") << " "
                                   << "X" << false;
}

void TestHyperLinkWidget::dialogNeedsNameAndAddress()
{
    QFETCH(QString, url);
    QFETCH(QString, name);
    QFETCH(bool, enabled);
    HyperLinkDialog dialog(nullptr, QString(), QString(), true);
    QTest::keyClicks(field(&dialog, "m_nameEdit"), name);
    QTest::keyClicks(field(&dialog, "m_urlEdit"), url);
    QCOMPARE(okButton(&dialog)->isEnabled(), enabled);
    QCOMPARE(dialog.url(), url);
    QCOMPARE(dialog.name(), name);
}

TAVROLO_TEST_MAIN(TestHyperLinkWidget)
#include "tst_hyperlinkwidget.moc"

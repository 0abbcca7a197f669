#pragma once

#include <QMap>
#include <QObject>
#include <QPointer>
#include <QString>

class QEventLoop;
class QNetworkAccessManager;
class QNetworkReply;

// Fetches one small text over HTTP for the update check, waiting for it with the event loop
// running, so that the window repaints and every command stays usable meanwhile; a wait has
// a bound, and whatever arrives after it is dropped with the loader.
class HttpLoader : public QObject
{
    Q_OBJECT

public:
    // Answers longer than this are no answer: the update check expects a few hundred bytes.
    static constexpr int maximumAnswerBytes = 64 * 1024;

    explicit HttpLoader(QObject *parent = nullptr);
    ~HttpLoader() override;

    // Starts the GET of the url with the parameters as its query (see requestUrl); true when
    // the request went out. Replaces any earlier request.
    bool get(const QString &url, const QMap<QString, QString> &parameters);
    bool isFinished() const { return m_finished; }
    // The answer's text (UTF-8, up to a first NUL); empty until it came and after a failure.
    QString data() const { return m_data; }
    // Runs the event loop until the answer came, the rounds are over or cancel() was called;
    // true when the request ended in time.
    bool waitForAnswer(int rounds);

    // get and waitForAnswer on a loader of its own, which it destroys with any request still
    // running. While it waits, running (when given) points at that loader, so that other
    // slots can cancel the wait.
    static QString download(const QString &url, const QMap<QString, QString> &parameters,
                            int rounds, QPointer<HttpLoader> *running = nullptr);
    // The url, then each key and value percent-encoded as UTF-8, in ascending key order:
    // "url?k1=v1&k2=v2".
    static QString requestUrl(const QString &url, const QMap<QString, QString> &parameters);
    // How long one round of waiting lasts, 1000 ms unless changed (tests shorten it).
    // Returns the previous length.
    static int setRoundDuration(int milliseconds);

public slots:
    void onSlotFinished(QNetworkReply *reply);
    // Ends a wait at once, without an answer.
    void cancel();

private slots:
    void onReadyRead();

private:
    void readBody(QNetworkReply *reply);
    void endWait();

    QNetworkAccessManager *m_manager = nullptr;
    QString m_data;
    bool m_finished = false;
    QByteArray m_body;
    bool m_tooLarge = false;
    QPointer<QEventLoop> m_loop;
};

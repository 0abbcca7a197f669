#include "app/HttpLoader.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

namespace {

int roundDurationMs = 1000;

} // namespace

HttpLoader::HttpLoader(QObject *parent) : QObject(parent) { }

// A request still running goes with the manager; its end is no longer of interest.
HttpLoader::~HttpLoader()
{
    if (m_manager)
        m_manager->disconnect(this);
    endWait();
}

int HttpLoader::setRoundDuration(int milliseconds)
{
    const int previous = roundDurationMs;
    roundDurationMs = milliseconds;
    return previous;
}

QString HttpLoader::requestUrl(const QString &url, const QMap<QString, QString> &parameters)
{
    QString text = url;
    bool first = true;
    for (auto it = parameters.cbegin(); it != parameters.cend(); ++it) {
        text += first ? QLatin1Char('?') : QLatin1Char('&');
        first = false;
        text += QString::fromLatin1(QUrl::toPercentEncoding(it.key())) + QLatin1Char('=')
            + QString::fromLatin1(QUrl::toPercentEncoding(it.value()));
    }
    return text;
}

bool HttpLoader::get(const QString &url, const QMap<QString, QString> &parameters)
{
    if (m_manager) {
        m_manager->disconnect(this);
        delete m_manager;
    }
    m_finished = false;
    m_data.clear();
    m_body.clear();
    m_tooLarge = false;
    m_manager = new QNetworkAccessManager(this);
    connect(m_manager, &QNetworkAccessManager::finished, this, &HttpLoader::onSlotFinished);
    QNetworkReply *reply
        = m_manager->get(QNetworkRequest(QUrl(requestUrl(url, parameters), QUrl::TolerantMode)));
    if (!reply) {
        m_finished = true;
        return false;
    }
    connect(reply, &QNetworkReply::readyRead, this, &HttpLoader::onReadyRead);
    return true;
}

// The answer is gathered as it arrives, so that an endless one is cut off instead of filling
// the memory.
void HttpLoader::onReadyRead()
{
    readBody(qobject_cast<QNetworkReply *>(sender()));
}

void HttpLoader::readBody(QNetworkReply *reply)
{
    if (!reply || m_tooLarge)
        return;
    m_body += reply->read(maximumAnswerBytes + 1 - m_body.size());
    if (m_body.size() > maximumAnswerBytes || reply->bytesAvailable() > 0) {
        m_tooLarge = true;
        m_body.clear();
        reply->abort();
    }
}

void HttpLoader::onSlotFinished(QNetworkReply *reply)
{
    m_data.clear();
    if (!reply) {
        qWarning("Couldn't download url, no reply");
    } else if (m_tooLarge) {
        qWarning("Couldn't download url, answer longer than %d bytes", maximumAnswerBytes);
    } else if (reply->error() != QNetworkReply::NoError) {
        qWarning("Couldn't download url, error code %d", int(reply->error()));
    } else {
        readBody(reply);
        if (!m_tooLarge) {
            QByteArray body = m_body;
            const int nul = body.indexOf('\0');
            if (nul >= 0)
                body.truncate(nul);
            m_data = QString::fromUtf8(body);
        }
    }
    m_body.clear();
    m_finished = true;
    endWait();
}

bool HttpLoader::waitForAnswer(int rounds)
{
    if (m_finished || rounds <= 0)
        return m_finished;
    QEventLoop loop;
    m_loop = &loop;
    QTimer::singleShot(rounds * roundDurationMs, &loop, &QEventLoop::quit);
    loop.exec();
    m_loop = nullptr;
    return m_finished;
}

void HttpLoader::cancel()
{
    if (m_manager) {
        m_manager->disconnect(this);
        m_manager->deleteLater();
        m_manager = nullptr;
    }
    m_data.clear();
    m_body.clear();
    endWait();
}

void HttpLoader::endWait()
{
    if (m_loop)
        m_loop->quit();
}

QString HttpLoader::download(const QString &url, const QMap<QString, QString> &parameters,
                             int rounds, QPointer<HttpLoader> *running)
{
    HttpLoader loader;
    if (loader.get(url, parameters) && rounds > 0) {
        if (running)
            *running = &loader;
        loader.waitForAnswer(rounds);
        if (running)
            *running = nullptr;
    }
    return loader.data();
}

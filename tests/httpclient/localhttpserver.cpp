#include "localhttpserver.h"

#include <QMutex>
#include <QMutexLocker>
#include <QSemaphore>
#include <QSslServer>
#include <QSslSocket>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>

#include <sys/socket.h>

namespace tarnelo::testing {

struct LocalHttpServer::Shared {
    mutable QMutex mutex;
    Responder responder;
    std::vector<ReceivedRequest> requests;
    int connections = 0;
    quint16 port = 0;
};

namespace {

constexpr qint64 fillerChunk = 64 * 1024;

// One accepted connection: reads the request head, then plays the reply.
class Connection : public QObject
{
public:
    Connection(QTcpSocket *socket, std::shared_ptr<LocalHttpServer::Shared> shared)
        : QObject(socket), m_socket(socket), m_shared(std::move(shared))
    {
        connect(socket, &QTcpSocket::readyRead, this, [this] { readHead(); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::bytesWritten, this, [this] { written(); });
        readHead();
    }

private:
    void readHead()
    {
        m_head += m_socket->readAll();
        const qsizetype end = m_head.indexOf("\r\n\r\n");
        if (m_index >= 0 || end < 0)
            return;
        m_head.truncate(end + 4);
        Responder responder;
        {
            QMutexLocker lock(&m_shared->mutex);
            m_index = qsizetype(m_shared->requests.size());
            m_shared->requests.push_back({m_head, steadyNowNs(), 0});
            responder = m_shared->responder;
        }
        m_reply = responder(m_head);
        QTimer::singleShot(m_reply.delay, this, [this] { startReply(); });
    }

    void startReply()
    {
        m_started = true;
        m_socket->write(m_reply.bytes);
        if (m_reply.ending == ScriptedReply::Ending::Reset)
            QTimer::singleShot(200, this, [this] { reset(); });
        written();
    }

    void written()
    {
        if (!m_started || (m_socket->bytesToWrite() > 0 && m_reply.ending != ScriptedReply::Ending::Endless))
            return;
        switch (m_reply.ending) {
        case ScriptedReply::Ending::Close:
            markAnswered();
            m_socket->disconnectFromHost();
            break;
        case ScriptedReply::Ending::Endless:
            if (m_socket->bytesToWrite() < fillerChunk)
                m_socket->write(QByteArray(fillerChunk, 'x'));
            break;
        case ScriptedReply::Ending::Reset:
        case ScriptedReply::Ending::Hold:
            break;
        }
    }

    void reset()
    {
        m_socket->flush();
        const linger abortive{1, 0};
        ::setsockopt(int(m_socket->socketDescriptor()), SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
        markAnswered();
        m_socket->abort();
        m_socket->deleteLater();
    }

    void markAnswered()
    {
        QMutexLocker lock(&m_shared->mutex);
        m_shared->requests[std::size_t(m_index)].answeredNs = steadyNowNs();
    }

    QTcpSocket *m_socket = nullptr;
    std::shared_ptr<LocalHttpServer::Shared> m_shared;
    QByteArray m_head;
    qsizetype m_index = -1;
    ScriptedReply m_reply;
    bool m_started = false;
};

std::unique_ptr<QTcpServer> makeServer(const std::optional<QSslConfiguration> &tls)
{
    if (!tls)
        return std::make_unique<QTcpServer>();
    auto server = std::make_unique<QSslServer>();
    server->setSslConfiguration(*tls);
    return server;
}

} // namespace

class LocalHttpServer::Thread : public QThread
{
public:
    Thread(std::shared_ptr<Shared> shared, std::optional<QSslConfiguration> tls)
        : m_shared(std::move(shared)), m_tls(std::move(tls))
    {
    }

    QSemaphore listening;

private:
    void run() override
    {
        const std::unique_ptr<QTcpServer> server = makeServer(m_tls);
        QObject::connect(server.get(), &QTcpServer::pendingConnectionAvailable, server.get(), [&] {
            while (QTcpSocket *socket = server->nextPendingConnection())
                new Connection(socket, m_shared);  // owned by the socket
        });
        if (auto *ssl = qobject_cast<QSslServer *>(server.get()))
            QObject::connect(ssl, &QSslServer::startedEncryptionHandshake, ssl, [this] { countConnection(); });
        else
            QObject::connect(server.get(), &QTcpServer::newConnection, server.get(), [this] { countConnection(); });
        server->listen(QHostAddress::LocalHost);
        m_shared->port = server->serverPort();
        listening.release();
        exec();
    }

    void countConnection()
    {
        QMutexLocker lock(&m_shared->mutex);
        ++m_shared->connections;
    }

    std::shared_ptr<Shared> m_shared;
    std::optional<QSslConfiguration> m_tls;
};

QByteArray httpReply(const QByteArray &body, const QByteArray &status, const QByteArray &extraHeaders)
{
    return "HTTP/1.0 " + status + "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n" + extraHeaders
        + "\r\n" + body;
}

QByteArray headerValue(const QByteArray &request, const QByteArray &name)
{
    for (const QByteArray &line : request.split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return line.mid(colon + 1).trimmed();
    }
    return QByteArray();
}

qint64 steadyNowNs()
{
    using namespace std::chrono;
    return duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
}

LocalHttpServer::LocalHttpServer(Responder responder, std::optional<QSslConfiguration> tls)
    : m_shared(std::make_shared<Shared>())
{
    m_shared->responder = std::move(responder);
    m_thread = std::make_unique<Thread>(m_shared, std::move(tls));
    m_thread->start();
    m_thread->listening.acquire();
}

LocalHttpServer::~LocalHttpServer()
{
    m_thread->quit();
    m_thread->wait();
}

quint16 LocalHttpServer::port() const
{
    return m_shared->port;
}

void LocalHttpServer::setResponder(Responder responder)
{
    QMutexLocker lock(&m_shared->mutex);
    m_shared->responder = std::move(responder);
}

std::vector<ReceivedRequest> LocalHttpServer::requests() const
{
    QMutexLocker lock(&m_shared->mutex);
    return m_shared->requests;
}

int LocalHttpServer::connections() const
{
    QMutexLocker lock(&m_shared->mutex);
    return m_shared->connections;
}

} // namespace tarnelo::testing

#pragma once

// A real HTTP server for the tests and benchmarks of the action code: it
// listens on 127.0.0.1 on a thread of its own (the client under test blocks the
// main thread), answers every request with the reply its responder scripts,
// byte for byte, and records what arrived and when.

#include <QByteArray>
#include <QSslConfiguration>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace tarnelo::testing {

struct ScriptedReply {
    enum class Ending {
        Close,    // the bytes, then an orderly close
        Reset,    // the bytes, then a moment later a TCP reset
        Hold,     // the bytes, then the connection stays open and silent
        Endless,  // the bytes, then filler for as long as the client reads
    };
    QByteArray bytes;  // status line, headers and body exactly as sent
    Ending ending = Ending::Close;
    std::chrono::milliseconds delay{0};  // before the first byte
};

struct ReceivedRequest {
    QByteArray raw;         // the request up to and including the blank line
    qint64 arrivedNs = 0;   // steady clock when the blank line arrived
    qint64 answeredNs = 0;  // steady clock when the reply was out and closed; 0 if never
};

// Responders run on the server's thread.
using Responder = std::function<ScriptedReply(const QByteArray &request)>;

// "HTTP/1.0 <status>", Content-Length and the extra header lines, then the body.
QByteArray httpReply(const QByteArray &body, const QByteArray &status = "200 OK",
                     const QByteArray &extraHeaders = {});

// The value of header `name` in a raw request (first one), or a null array.
QByteArray headerValue(const QByteArray &request, const QByteArray &name);

qint64 steadyNowNs();

class LocalHttpServer
{
public:
    explicit LocalHttpServer(Responder responder, std::optional<QSslConfiguration> tls = std::nullopt);
    ~LocalHttpServer();
    LocalHttpServer(const LocalHttpServer &) = delete;
    LocalHttpServer &operator=(const LocalHttpServer &) = delete;

    quint16 port() const;
    void setResponder(Responder responder);
    std::vector<ReceivedRequest> requests() const;
    // Accepted connections, also those that never sent a whole request.
    int connections() const;

    struct Shared;

private:
    std::shared_ptr<Shared> m_shared;
    class Thread;
    std::unique_ptr<Thread> m_thread;
};

} // namespace tarnelo::testing

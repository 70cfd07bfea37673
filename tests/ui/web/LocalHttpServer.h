#pragma once

// A small HTTP/1.1 server on 127.0.0.1 inside the test process. It serves one request per
// connection from a handler and records every request it saw. The client under test waits in
// a local event loop on the same thread, which also runs this server's sockets.

#include <QByteArray>
#include <QHostAddress>
#include <QMap>
#include <QSslCertificate>
#include <QSslKey>
#include <QSslSocket>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>

#include <functional>
#include <ostream>
#include <vector>

// Readable texts in failure messages.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QStringList& l, std::ostream* os)
{
    *os << '[' << l.join("|").toStdString() << ']';
}

namespace webtest {

struct SeenRequest {
    QByteArray method;
    QByteArray target;                     // as in the request line (a full URL through a proxy)
    QMap<QByteArray, QByteArray> headers;  // names in lower case
    QByteArray body;
};

struct CannedAnswer {
    int status = 200;
    QByteArray reason = "OK";
    QByteArray contentType = "text/xml; charset=utf-8";
    QByteArray body;
    bool silent = false;  // read the request, never answer (a server that hangs)
};

inline CannedAnswer Silent()
{
    CannedAnswer a;
    a.silent = true;
    return a;
}

class LocalHttpServer : public QTcpServer {
public:
    using Handler = std::function<CannedAnswer(const SeenRequest&)>;

    explicit LocalHttpServer(Handler handler = {}) : handler_(std::move(handler))
    {
        listen(QHostAddress::LocalHost, 0);
    }

    void SetHandler(Handler handler) { handler_ = std::move(handler); }
    QString Base() const { return QString("%1://127.0.0.1:%2").arg(Scheme()).arg(serverPort()); }
    QString Url(const QString& pathAndQuery) const { return Base() + pathAndQuery; }
    std::vector<SeenRequest> seen;

protected:
    virtual QString Scheme() const { return "http"; }
    virtual QTcpSocket* Accept(qintptr descriptor)
    {
        auto* socket = new QTcpSocket(this);
        socket->setSocketDescriptor(descriptor);
        return socket;
    }

    void incomingConnection(qintptr descriptor) override
    {
        QTcpSocket* socket = Accept(descriptor);
        auto* buffer = new QByteArray;
        connect(socket, &QTcpSocket::readyRead, this, [this, socket, buffer] {
            buffer->append(socket->readAll());
            SeenRequest request;
            if (!Complete(*buffer, request))
                return;
            buffer->clear();
            disconnect(socket, &QTcpSocket::readyRead, this, nullptr);
            Answer(*socket, request);
        });
        connect(socket, &QTcpSocket::disconnected, socket, [socket, buffer] {
            delete buffer;
            socket->deleteLater();
        });
    }

private:
    static bool Complete(const QByteArray& data, SeenRequest& request)
    {
        const int end = data.indexOf("\r\n\r\n");
        if (end < 0)
            return false;
        const QList<QByteArray> lines = data.left(end).split('\n');
        const QList<QByteArray> first = lines.front().trimmed().split(' ');
        if (first.size() < 2)
            return false;
        request.method = first[0];
        request.target = first[1];
        for (int i = 1; i < lines.size(); ++i) {
            const int colon = lines[i].indexOf(':');
            if (colon > 0)
                request.headers.insert(lines[i].left(colon).trimmed().toLower(), lines[i].mid(colon + 1).trimmed());
        }
        const int length = request.headers.value("content-length", "0").toInt();
        if (data.size() < end + 4 + length)
            return false;
        request.body = data.mid(end + 4, length);
        return true;
    }

    void Answer(QTcpSocket& socket, const SeenRequest& request)
    {
        seen.push_back(request);
        const CannedAnswer a = handler_ ? handler_(request) : CannedAnswer{404, "Not Found", "text/plain", ""};
        if (a.silent)
            return;
        QByteArray out = "HTTP/1.1 " + QByteArray::number(a.status) + " " + a.reason + "\r\n";
        out += "Content-Type: " + a.contentType + "\r\n";
        out += "Content-Length: " + QByteArray::number(a.body.size()) + "\r\n";
        out += "Connection: close\r\n\r\n";
        out += a.body;
        socket.write(out);
        socket.disconnectFromHost();
    }

    Handler handler_;
};

// The same server behind TLS with a certificate that no client trusts.
class LocalTlsServer : public LocalHttpServer {
public:
    LocalTlsServer(const QByteArray& certificate, const QByteArray& key, Handler handler = {})
        : LocalHttpServer(std::move(handler)), certificate_(certificate), key_(key, QSsl::Rsa)
    { }

protected:
    QString Scheme() const override { return "https"; }
    QTcpSocket* Accept(qintptr descriptor) override
    {
        auto* socket = new QSslSocket(this);
        socket->setSocketDescriptor(descriptor);
        socket->setLocalCertificate(certificate_);
        socket->setPrivateKey(key_);
        socket->startServerEncryption();
        return socket;
    }

private:
    QSslCertificate certificate_;
    QSslKey key_;
};

// A port on 127.0.0.1 where nothing listens.
inline quint16 ClosedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

}  // namespace webtest

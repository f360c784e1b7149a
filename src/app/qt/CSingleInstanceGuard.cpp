#include "app/qt/CSingleInstanceGuard.h"

#include <QLocalSocket>

namespace {

constexpr int kConnectTimeoutMs = 1000;
constexpr char kOpenPrefix[] = "open ";
constexpr char kActivate[] = "activate";

} // namespace

CSingleInstanceGuard::CSingleInstanceGuard(QString serverName, QObject* parent)
    : QObject(parent), m_serverName(std::move(serverName)) {
    connect(&m_server, &QLocalServer::newConnection, this, &CSingleInstanceGuard::OnNewConnection);
}

CSingleInstanceGuard::~CSingleInstanceGuard() = default;

QString CSingleInstanceGuard::DefaultServerName() {
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = QStringLiteral("default");
    return QStringLiteral("VireoEditor-") + user;
}

bool CSingleInstanceGuard::Acquire(const QString& filePath) {
    QLocalSocket socket;
    socket.connectToServer(m_serverName);
    if (socket.waitForConnected(kConnectTimeoutMs)) {
        const QByteArray message =
            filePath.isEmpty() ? QByteArray(kActivate) : QByteArray(kOpenPrefix) + filePath.toUtf8();
        socket.write(message);
        socket.waitForBytesWritten(kConnectTimeoutMs);
        socket.disconnectFromServer();
        if (socket.state() != QLocalSocket::UnconnectedState)
            socket.waitForDisconnected(kConnectTimeoutMs);
        return false;
    }
    // Nobody answers: a socket file left by a copy that crashed is taken over.
    if (!m_server.listen(m_serverName)) {
        QLocalServer::removeServer(m_serverName);
        if (!m_server.listen(m_serverName))
            qWarning("Single-instance guard unavailable: %s", qPrintable(m_server.errorString()));
    }
    return true;
}

void CSingleInstanceGuard::OnNewConnection() {
    while (QLocalSocket* socket = m_server.nextPendingConnection()) {
        auto buffer = std::make_shared<QByteArray>();
        connect(socket, &QLocalSocket::readyRead, socket,
                [socket, buffer] { buffer->append(socket->readAll()); });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket, buffer] {
            buffer->append(socket->readAll());
            socket->deleteLater();
            if (buffer->startsWith(kOpenPrefix))
                emit handOver(QString::fromUtf8(buffer->mid(int(sizeof kOpenPrefix) - 1)));
            else
                emit handOver(QString());
        });
    }
}

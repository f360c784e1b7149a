#include "app/qt/CSingleInstanceGuard.h"

#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QStandardPaths>

#include <sys/stat.h>
#include <unistd.h>

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

namespace {

// A folder only this user can reach: owned by the user, not a link, mode 0700.
bool IsPrivateFolder(const QString& folder) {
    struct stat info {};
    return !folder.isEmpty() && lstat(QFile::encodeName(folder).constData(), &info) == 0 &&
           S_ISDIR(info.st_mode) && info.st_uid == getuid() && (info.st_mode & 0777) == 0700;
}

// The user's runtime folder, or else a private folder of the user's in the temporary folder.
QString RuntimeFolder() {
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (IsPrivateFolder(runtime))
        return runtime;
    const QString own = QDir::tempPath() + QStringLiteral("/vireo-editor-%1").arg(getuid());
    mkdir(QFile::encodeName(own).constData(), 0700);
    return IsPrivateFolder(own) ? own : QString();
}

} // namespace

QString CSingleInstanceGuard::DefaultServerName() {
    const QString folder = RuntimeFolder();
    if (folder.isEmpty())
        return QString();
    return folder + QStringLiteral("/VireoEditor-%1").arg(getuid());
}

bool CSingleInstanceGuard::Acquire(const QByteArray& fileName) {
    if (m_serverName.isEmpty()) {
        qWarning("Single-instance guard unavailable: no private folder for its socket");
        return true;
    }
    QLocalSocket socket;
    socket.connectToServer(m_serverName);
    if (socket.waitForConnected(kConnectTimeoutMs)) {
        const QByteArray message =
            fileName.isEmpty() ? QByteArray(kActivate) : QByteArray(kOpenPrefix) + fileName;
        socket.write(message);
        socket.waitForBytesWritten(kConnectTimeoutMs);
        socket.disconnectFromServer();
        if (socket.state() != QLocalSocket::UnconnectedState)
            socket.waitForDisconnected(kConnectTimeoutMs);
        return false;
    }
    // Nobody answers: a socket file left by a copy that crashed is taken over.
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
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
        // Reads what arrived; false once the message is longer than any path can be.
        const auto read = [socket, buffer] {
            buffer->append(socket->read(kMaxMessage + 1 - buffer->size()));
            return buffer->size() <= kMaxMessage;
        };
        connect(socket, &QLocalSocket::readyRead, socket, [socket, read] {
            if (!read())
                socket->abort();
        });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket, buffer, read] {
            const bool whole = read();
            socket->deleteLater();
            if (!whole)
                qWarning("Single-instance guard: a hand-over longer than %lld bytes was dropped",
                         static_cast<long long>(kMaxMessage));
            else if (buffer->startsWith(kOpenPrefix))
                emit handOver(buffer->mid(qsizetype(sizeof kOpenPrefix) - 1));
            else
                emit handOver(QByteArray());
        });
    }
}

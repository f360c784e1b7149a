#pragma once
// Keeps the editor to one running copy per user. The first copy listens on a local
// socket; a later copy connects, hands over its command-line file (or asks the first copy
// to come to the front) and ends.

#include <QLocalServer>
#include <QObject>
#include <QString>

class CSingleInstanceGuard : public QObject {
    Q_OBJECT
public:
    explicit CSingleInstanceGuard(QString serverName, QObject* parent = nullptr);
    ~CSingleInstanceGuard() override;

    // The per-user name of the editor's socket.
    static QString DefaultServerName();

    // Becomes the first copy, or hands filePath (empty: just "come to the front") to the
    // running copy. Returns true when this process is the first copy and should go on.
    bool Acquire(const QString& filePath);

signals:
    // A later copy asked this one to come to the front, with the file it was given (empty
    // when none).
    void handOver(const QString& filePath);

private:
    void OnNewConnection();

    QString m_serverName;
    QLocalServer m_server;
};

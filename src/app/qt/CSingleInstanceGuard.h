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

    // The editor's socket: "VireoEditor-<uid>" in the user's runtime folder, or in a
    // private folder of the user's when there is none. Empty when neither can be had;
    // the guard then lets every copy run.
    static QString DefaultServerName();

    // Becomes the first copy, or hands fileName (the file system's bytes; empty: just
    // "come to the front") to the running copy. Returns true when this process is the
    // first copy and should go on.
    bool Acquire(const QByteArray& fileName);

    // The longest hand-over message taken; a longer one is dropped.
    static constexpr qsizetype kMaxMessage = 8192;

signals:
    // A later copy asked this one to come to the front, with the file it was given (empty
    // when none), in the file system's bytes.
    void handOver(const QByteArray& fileName);

private:
    void OnNewConnection();

    QString m_serverName;
    QLocalServer m_server;
};

// The single-instance guard: a second copy hands its file to the first and ends.

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QUuid>
#include <gtest/gtest.h>
#include <optional>

#include "app/qt/CSingleInstanceGuard.h"
#include "support/TestSupport.h"

#include <sys/stat.h>
#include <unistd.h>

namespace {

QString UniqueName() {
    return QStringLiteral("vireo-test-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
}

// Processes events until the value arrives or two seconds pass.
std::optional<QByteArray> WaitForHandOver(std::optional<QByteArray>& received) {
    QElapsedTimer timer;
    timer.start();
    while (!received && timer.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return received;
}

} // namespace

TEST(SingleInstanceGuard, SecondCopyHandsItsFileToTheFirstAndStops) {
    const QString name = UniqueName();
    CSingleInstanceGuard first(name);
    ASSERT_TRUE(first.Acquire(QByteArray()));
    std::optional<QByteArray> received;
    QObject::connect(&first, &CSingleInstanceGuard::handOver,
                     [&](const QByteArray& path) { received = path; });

    CSingleInstanceGuard second(name);
    EXPECT_FALSE(second.Acquire("/home/user/My Songs/set 1.vro"));
    EXPECT_EQ(WaitForHandOver(received), QByteArray("/home/user/My Songs/set 1.vro"));

    // A name that is not valid UTF-8 arrives byte for byte; one longer than any path is dropped.
    received.reset();
    const QByteArray latin1("/home/user/Lieder/S\xe4tze.vro");
    EXPECT_FALSE(CSingleInstanceGuard(name).Acquire(latin1));
    EXPECT_EQ(WaitForHandOver(received), latin1);
    std::vector<QByteArray> all;
    QObject::connect(&first, &CSingleInstanceGuard::handOver,
                     [&](const QByteArray& path) { all.push_back(path); });
    received.reset();
    EXPECT_FALSE(CSingleInstanceGuard(name).Acquire(QByteArray(CSingleInstanceGuard::kMaxMessage, 'x')));
    EXPECT_FALSE(CSingleInstanceGuard(name).Acquire("/short.vro"));
    EXPECT_EQ(WaitForHandOver(received), QByteArray("/short.vro"));
    EXPECT_EQ(all, std::vector<QByteArray>{"/short.vro"});
}

TEST(SingleInstanceGuard, SecondCopyWithoutAFileOnlyAsksForTheFront) {
    const QString name = UniqueName();
    CSingleInstanceGuard first(name);
    ASSERT_TRUE(first.Acquire(QByteArray()));
    std::optional<QByteArray> received;
    QObject::connect(&first, &CSingleInstanceGuard::handOver,
                     [&](const QByteArray& path) { received = path; });

    CSingleInstanceGuard second(name);
    EXPECT_FALSE(second.Acquire(QByteArray()));
    EXPECT_EQ(WaitForHandOver(received), QByteArray());
}

TEST(SingleInstanceGuard, GuardIsFreeAgainAfterTheFirstCopyEnds) {
    const QString name = UniqueName();
    {
        CSingleInstanceGuard first(name);
        ASSERT_TRUE(first.Acquire(QByteArray()));
    }
    CSingleInstanceGuard next(name);
    EXPECT_TRUE(next.Acquire(QByteArray()));
}

TEST(SingleInstanceGuard, SocketLeftByACrashedCopyIsTakenOver) {
    const QString name = UniqueName();
    const QString leftOver = QDir::tempPath() + QLatin1Char('/') + name;
    QFile file(leftOver);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    CSingleInstanceGuard guard(name);
    EXPECT_TRUE(guard.Acquire(QByteArray()));
    std::optional<QByteArray> received;
    QObject::connect(&guard, &CSingleInstanceGuard::handOver,
                     [&](const QByteArray& path) { received = path; });
    CSingleInstanceGuard second(name);
    EXPECT_FALSE(second.Acquire(QByteArray()));
    EXPECT_EQ(WaitForHandOver(received), QByteArray());
}

namespace {

// Sets an environment variable for a scope and restores it after.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const std::optional<std::string>& value)
        : m_name(name),
          m_saved(qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt) {
        if (value)
            qputenv(name, QByteArray::fromStdString(*value));
        else
            qunsetenv(name);
    }
    ~ScopedEnvironment() {
        if (m_saved)
            qputenv(m_name, *m_saved);
        else
            qunsetenv(m_name);
    }

private:
    const char* m_name;
    std::optional<QByteArray> m_saved;
};

mode_t Mode(const QString& path) {
    struct stat info {};
    return lstat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode : 0;
}

} // namespace

TEST(SingleInstanceGuard, SocketIsTheUsersOwnInTheRuntimeFolderKeyedByUserId) {
    const QString ownName = QStringLiteral("/VireoEditor-%1").arg(getuid());
    test::TempDir runtime;
    ASSERT_EQ(chmod(runtime.Path().c_str(), 0700), 0);
    {
        // Without USER the name still belongs to this account alone.
        const ScopedEnvironment user("USER", std::nullopt);
        const ScopedEnvironment folder("XDG_RUNTIME_DIR", runtime.Path().string());
        const QString name = CSingleInstanceGuard::DefaultServerName();
        EXPECT_EQ(name, QString::fromStdString(runtime.Path().string()) + ownName);
        CSingleInstanceGuard guard(name);
        ASSERT_TRUE(guard.Acquire(QByteArray()));
        EXPECT_TRUE(S_ISSOCK(Mode(name)));
        EXPECT_EQ(Mode(name) & 0077, 0u) << std::oct << Mode(name);
    }
    // Without a runtime folder the socket goes into a folder only this user can reach.
    const ScopedEnvironment folder("XDG_RUNTIME_DIR", std::nullopt);
    const QString name = CSingleInstanceGuard::DefaultServerName();
    ASSERT_TRUE(name.endsWith(ownName)) << name.toStdString();
    const QString parent = name.left(name.size() - ownName.size());
    EXPECT_TRUE(S_ISDIR(Mode(parent)));
    EXPECT_EQ(Mode(parent) & 0777, 0700u) << std::oct << Mode(parent);
}

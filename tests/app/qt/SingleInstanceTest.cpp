// The single-instance guard: a second copy hands its file to the first and ends.

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QUuid>
#include <gtest/gtest.h>
#include <optional>

#include "app/qt/CSingleInstanceGuard.h"

namespace {

QString UniqueName() {
    return QStringLiteral("vireo-test-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
}

// Processes events until the value arrives or two seconds pass.
std::optional<QString> WaitForHandOver(std::optional<QString>& received) {
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
    ASSERT_TRUE(first.Acquire(QString()));
    std::optional<QString> received;
    QObject::connect(&first, &CSingleInstanceGuard::handOver, [&](const QString& path) { received = path; });

    CSingleInstanceGuard second(name);
    EXPECT_FALSE(second.Acquire(QStringLiteral("/home/user/My Songs/set 1.vro")));
    EXPECT_EQ(WaitForHandOver(received), QStringLiteral("/home/user/My Songs/set 1.vro"));
}

TEST(SingleInstanceGuard, SecondCopyWithoutAFileOnlyAsksForTheFront) {
    const QString name = UniqueName();
    CSingleInstanceGuard first(name);
    ASSERT_TRUE(first.Acquire(QString()));
    std::optional<QString> received;
    QObject::connect(&first, &CSingleInstanceGuard::handOver, [&](const QString& path) { received = path; });

    CSingleInstanceGuard second(name);
    EXPECT_FALSE(second.Acquire(QString()));
    EXPECT_EQ(WaitForHandOver(received), QString());
}

TEST(SingleInstanceGuard, GuardIsFreeAgainAfterTheFirstCopyEnds) {
    const QString name = UniqueName();
    {
        CSingleInstanceGuard first(name);
        ASSERT_TRUE(first.Acquire(QString()));
    }
    CSingleInstanceGuard next(name);
    EXPECT_TRUE(next.Acquire(QString()));
}

TEST(SingleInstanceGuard, SocketLeftByACrashedCopyIsTakenOver) {
    const QString name = UniqueName();
    const QString leftOver = QDir::tempPath() + QLatin1Char('/') + name;
    QFile file(leftOver);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    CSingleInstanceGuard guard(name);
    EXPECT_TRUE(guard.Acquire(QString()));
    std::optional<QString> received;
    QObject::connect(&guard, &CSingleInstanceGuard::handOver, [&](const QString& path) { received = path; });
    CSingleInstanceGuard second(name);
    EXPECT_FALSE(second.Acquire(QString()));
    EXPECT_EQ(WaitForHandOver(received), QString());
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SingleInstance.h"
#include "InstanceSecondCodes.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace kx;
using app::HandOverResult;
using app::HandOverStatus;
using app::SingleInstance;

namespace {

// Records what the window would see, in order.
struct Window {
    QStringList events;
    QStringList files;
    QList<int> counts;
    explicit Window(SingleInstance& instance) {
        QObject::connect(&instance, &SingleInstance::raiseRequested, [this] { events << "raise"; });
        QObject::connect(&instance, &SingleInstance::fileHandedOver, [this](const QString& f, int n) {
            events << "file";
            files << f;
            counts << n;
        });
        QObject::connect(&instance, &SingleInstance::fileIgnored,
                         [this](const QString&, int) { events << "ignored"; });
    }
    // The primary reads the hand-over in its own time; poll its event loop until something arrived.
    bool waitForEvent(int ms = 5000) {
        QDeadlineTimer deadline(ms);
        while (events.isEmpty() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return !events.isEmpty();
    }
};

class SingleInstanceTest : public ::testing::Test {
protected:
    static QString uniqueName(const QString& tag) {
        static int serial = 0;
        return QStringLiteral("kxtest-%1-%2-%3_Mutex_951413_04")
            .arg(QCoreApplication::applicationPid())
            .arg(tag)
            .arg(++serial);
    }

    // Runs a second start while this process keeps serving its primary.
    static int runSecond(const QStringList& args, const QString& workDir = QString()) {
        QProcess process;
        if (!workDir.isEmpty()) process.setWorkingDirectory(workDir);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QSignalSpy finished(&process, &QProcess::finished);
        process.start(QStringLiteral(KX_INSTANCE_SECOND), args);
        if (!process.waitForStarted(5000)) return -1;
        if (!finished.wait(15000)) {
            process.kill();
            process.waitForFinished();
            return -2;
        }
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -3;
    }

    static int handOver(const QString& name, const QString& file, int count) {
        return runSecond({name, QStringLiteral("handover"), file, QString::number(count)});
    }

    static int code(HandOverStatus status, bool raise) { return secondstart::exitCodeFor({status, raise}); }
};

} // namespace

TEST_F(SingleInstanceTest, IdlePrimaryIsRaisedAndGetsTheFileAndTheCount) {
    SingleInstance primary(uniqueName("idle"));
    ASSERT_TRUE(primary.becomePrimary());
    ASSERT_TRUE(primary.listening()) << primary.errorString().toStdString();
    primary.setBusy(false);
    Window window(primary);

    const struct {
        const char* file;
        int count;
    } cases[] = {{"/tmp/kx/Setup.KxS", 1}, {"/tmp/kx/wave.kxg", 3}, {"/tmp/kx/Осциллограмма.kxd", 2}};
    for (const auto& c : cases) {
        window.events.clear();
        window.files.clear();
        window.counts.clear();
        EXPECT_EQ(handOver(primary.name(), QString::fromUtf8(c.file), c.count),
                  code(HandOverStatus::Idle, true));
        ASSERT_TRUE(window.waitForEvent());
        QCoreApplication::processEvents();
        EXPECT_EQ(window.events, QStringList({"raise", "file"}));
        EXPECT_EQ(window.files, QStringList{QString::fromUtf8(c.file)});
        EXPECT_EQ(window.counts, QList<int>{c.count});
    }
}

TEST_F(SingleInstanceTest, RelativeNameArrivesAgainstTheSecondStartsFolder) {
    SingleInstance primary(uniqueName("relative"));
    ASSERT_TRUE(primary.becomePrimary());
    primary.setBusy(false);
    Window window(primary);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());

    EXPECT_EQ(runSecond({primary.name(), "handover", "shot.kxd", "1"}, dir.path()),
              code(HandOverStatus::Idle, true));
    ASSERT_TRUE(window.waitForEvent());
    QCoreApplication::processEvents();
    ASSERT_EQ(window.files.size(), 1);
    EXPECT_EQ(window.files[0], QDir(dir.path()).absoluteFilePath("shot.kxd"));
}

TEST_F(SingleInstanceTest, BusyPrimaryIgnoresTheFileAndIsNotRaised) {
    const struct {
        const char* what;
        bool startingUp;
    } cases[] = {{"starting up", true}, {"inside a marked operation", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SingleInstance primary(uniqueName("busy"));
        ASSERT_TRUE(primary.becomePrimary());
        primary.setBusy(c.startingUp);
        app::BusyMark mark(primary.busyFlag());
        Window window(primary);

        EXPECT_EQ(handOver(primary.name(), "/tmp/kx/setup.kxs", 1), code(HandOverStatus::Busy, false));
        ASSERT_TRUE(window.waitForEvent());
        QCoreApplication::processEvents();
        EXPECT_EQ(window.events, QStringList{"ignored"});
    }
}

TEST_F(SingleInstanceTest, NoParametersOrAnEmptyNameOnlyRaise) {
    const struct {
        const char* what;
        bool busy;
        const char* file;
        int count;
        HandOverStatus status;
        bool secondRaises;
    } cases[] = {
        {"idle, no parameters", false, "", 0, HandOverStatus::Idle, true},
        {"busy, no parameters", true, "", 0, HandOverStatus::Busy, true},
        {"idle, empty last parameter", false, "", 1, HandOverStatus::Idle, true},
        // The running instance restores itself for an empty name even when busy.
        {"busy, empty last parameter", true, "", 1, HandOverStatus::Busy, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SingleInstance primary(uniqueName("raise"));
        ASSERT_TRUE(primary.becomePrimary());
        primary.setBusy(c.busy);
        Window window(primary);

        EXPECT_EQ(handOver(primary.name(), c.file, c.count), code(c.status, c.secondRaises));
        ASSERT_TRUE(window.waitForEvent());
        QCoreApplication::processEvents();
        EXPECT_EQ(window.events, QStringList{"raise"});
    }
}

TEST_F(SingleInstanceTest, DifferentNamesRunSideBySide) {
    SingleInstance first(uniqueName("copyA"));
    SingleInstance second(uniqueName("copyB"));
    ASSERT_TRUE(first.becomePrimary());
    ASSERT_TRUE(second.becomePrimary());
    EXPECT_NE(SingleInstance::socketPath(first.name()), SingleInstance::socketPath(second.name()));
    first.setBusy(false);
    second.setBusy(false);
    Window windowA(first);
    Window windowB(second);

    // A third copy under yet another name starts as its own primary.
    EXPECT_EQ(handOver(uniqueName("copyC"), "/tmp/kx/a.kxd", 1), secondstart::kBecamePrimary);
    // A start under an existing name reaches that copy only.
    EXPECT_EQ(handOver(second.name(), "/tmp/kx/b.kxd", 1), code(HandOverStatus::Idle, true));
    ASSERT_TRUE(windowB.waitForEvent());
    QCoreApplication::processEvents();
    EXPECT_EQ(windowB.files, QStringList{"/tmp/kx/b.kxd"});
    EXPECT_TRUE(windowA.events.isEmpty());
}

TEST_F(SingleInstanceTest, ASecondClaimOfTheNameFailsAndLeavesThePrimaryReachable) {
    SingleInstance primary(uniqueName("claim"));
    ASSERT_TRUE(primary.becomePrimary());
    primary.setBusy(false);
    Window window(primary);

    SingleInstance again(primary.name());
    EXPECT_FALSE(again.becomePrimary());
    EXPECT_FALSE(again.listening());
    EXPECT_TRUE(QFileInfo::exists(SingleInstance::socketPath(primary.name())));

    EXPECT_EQ(handOver(primary.name(), "/tmp/kx/c.kxs", 1), code(HandOverStatus::Idle, true));
    ASSERT_TRUE(window.waitForEvent());
}

TEST_F(SingleInstanceTest, SocketOfADeadInstanceDoesNotBlockANewPrimary) {
    const QString name = uniqueName("stale");
    ASSERT_EQ(runSecond({name, "die"}), secondstart::kBecamePrimary);
    ASSERT_TRUE(QFileInfo::exists(SingleInstance::socketPath(name))) << "the dead instance left its socket";

    SingleInstance primary(name);
    ASSERT_TRUE(primary.becomePrimary());
    ASSERT_TRUE(primary.listening()) << primary.errorString().toStdString();
    primary.setBusy(false);
    Window window(primary);
    EXPECT_EQ(handOver(name, "/tmp/kx/d.kxd", 1), code(HandOverStatus::Idle, true));
    ASSERT_TRUE(window.waitForEvent());
    QCoreApplication::processEvents();
    EXPECT_EQ(window.files, QStringList{"/tmp/kx/d.kxd"});
}

TEST_F(SingleInstanceTest, StuckPrimaryDoesNotHoldTheSecondStart) {
    SingleInstance primary(uniqueName("stuck"));
    ASSERT_TRUE(primary.becomePrimary());
    primary.setBusy(false);
    Window window(primary);

    // Our event loop does not run while we block on the process: the primary cannot answer.
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QStringLiteral(KX_INSTANCE_SECOND),
                  {primary.name(), "handover", "/tmp/kx/e.kxs", "1", "300"});
    ASSERT_TRUE(process.waitForFinished(10000));
    EXPECT_EQ(process.exitCode(), code(HandOverStatus::NoAnswer, false));

    // Once it runs again it finds the file waiting and, being idle, opens it.
    ASSERT_TRUE(window.waitForEvent());
    QCoreApplication::processEvents();
    EXPECT_EQ(window.events, QStringList({"raise", "file"}));
    EXPECT_EQ(window.files, QStringList{"/tmp/kx/e.kxs"});
}

TEST_F(SingleInstanceTest, StartsAtTheSameMomentElectOnePrimary) {
    const QString name = uniqueName("race");
    std::vector<std::unique_ptr<QProcess>> starts;
    for (int i = 0; i < 4; ++i) {
        starts.push_back(std::make_unique<QProcess>());
        starts.back()->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        starts.back()->start(QStringLiteral(KX_INSTANCE_SECOND), {name, "serve", "2000"});
    }
    int primaries = 0;
    int handedOver = 0;
    for (auto& p : starts) {
        ASSERT_TRUE(p->waitForFinished(15000));
        const int exit = p->exitCode();
        if (exit == secondstart::kBecamePrimary) ++primaries;
        // The winner is still starting up, hence busy; with no parameters it is raised anyway.
        if (exit == code(HandOverStatus::Busy, true)) ++handedOver;
    }
    EXPECT_EQ(primaries, 1);
    EXPECT_EQ(handedOver, 3);
}

TEST_F(SingleInstanceTest, NothingToReachWhenNoPrimaryRuns) {
    SingleInstance nobody(uniqueName("nobody"));
    const HandOverResult r = nobody.handOver("/tmp/kx/f.kxd", 1, 300);
    EXPECT_EQ(r.status, HandOverStatus::NotSent);
    EXPECT_FALSE(r.raise);
}

TEST_F(SingleInstanceTest, GarbageFromAPeerEndsOnlyItsConnection) {
    SingleInstance primary(uniqueName("garbage"));
    ASSERT_TRUE(primary.becomePrimary());
    primary.setBusy(false);
    Window window(primary);

    const QByteArray garbage[] = {
        QByteArray("X"), QByteArray("F\x01\x00\x00\x00\x07", 6), // raise flag out of range
        QByteArray("F\x01\x00\x00\x00\x00\xff\xff\xff\x7f", 10), // absurd name length
    };
    for (const QByteArray& bytes : garbage) {
        QLocalSocket peer;
        peer.connectToServer(SingleInstance::socketPath(primary.name()));
        ASSERT_TRUE(peer.waitForConnected(1000));
        QSignalSpy gone(&peer, &QLocalSocket::disconnected);
        peer.write(bytes);
        peer.flush();
        EXPECT_TRUE(gone.wait(3000)) << bytes.toHex().toStdString();
    }
    EXPECT_TRUE(window.events.isEmpty());
    EXPECT_EQ(handOver(primary.name(), "/tmp/kx/g.kxd", 1), code(HandOverStatus::Idle, true));
    ASSERT_TRUE(window.waitForEvent());
}

TEST_F(SingleInstanceTest, LongExecutableNamesStillMeet) {
    const QString longName = uniqueName(QString(180, QLatin1Char('k')));
    const QString otherLong = uniqueName(QString(180, QLatin1Char('k')));
    EXPECT_LE(SingleInstance::socketPath(longName).toUtf8().size(), 107);
    EXPECT_EQ(SingleInstance::socketPath(longName), SingleInstance::socketPath(longName));
    EXPECT_NE(SingleInstance::socketPath(longName), SingleInstance::socketPath(otherLong));

    SingleInstance primary(longName);
    ASSERT_TRUE(primary.becomePrimary());
    ASSERT_TRUE(primary.listening()) << primary.errorString().toStdString();
    primary.setBusy(false);
    Window window(primary);
    EXPECT_EQ(handOver(longName, "/tmp/kx/h.kxd", 1), code(HandOverStatus::Idle, true));
    ASSERT_TRUE(window.waitForEvent());
}

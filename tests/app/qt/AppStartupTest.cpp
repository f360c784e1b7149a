// The editor's start-up and shut-down sequence, with a recording message box output.

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <QUuid>
#include <gtest/gtest.h>

#include "app/CTavSystem.h"
#include "app/CTavTextOut.h"
#include "app/qt/CApp.h"
#include "app/qt/CMainFrame.h"
#include "device/CTavBufferAccessor.h"
#include "midi/qt/CMidiService.h"
#include "model/CTavBufferManager.h"
#include "support/RecordingTextOut.h"
#include "support/TestSupport.h"

namespace {

class AppStartup : public testing::Test {
protected:
    CApp::Options Options(const std::string& scriptDir) {
        CApp::Options options;
        options.scriptDir = QString::fromStdString(scriptDir);
        options.instanceName =
            QStringLiteral("vireo-test-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
        options.showSplash = false;
        options.makeMessageBoxOutput = [this] {
            box = new test::RecordingTextOut;
            return box;
        };
        return options;
    }

    // Runs the event loop, letting it go idle, for a short while.
    static void RunEventLoop(int milliseconds = 50) {
        QEventLoop loop;
        QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
        loop.exec();
    }

    // A copy of a test script folder, so that what the editor saves at exit (window
    // positions) stays out of the source tree.
    std::string Scripts(const std::string& name) {
        const std::filesystem::path copy = scripts.Path() / name;
        std::filesystem::create_directories(copy);
        std::filesystem::copy(test::DataDir() / "scripts" / name, copy,
                              std::filesystem::copy_options::recursive |
                                  std::filesystem::copy_options::overwrite_existing);
        return copy.string();
    }

    test::TempDir scripts;
    CTavSystem system;
    test::RecordingTextOut* box = nullptr; // owned by the system
};

} // namespace

TEST_F(AppStartup, MissingScriptShowsOnlyThatItCannotBeOpenedAndFails) {
    test::TempDir empty;
    CApp app(system, Options((empty.Path() / "Script").string()));
    EXPECT_EQ(app.InitInstance(), CApp::StartResult::Failed);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->outputs, std::vector<std::string>{"Unable to open script.\n"});
    EXPECT_EQ(app.MainFrame(), nullptr);
}

TEST_F(AppStartup, MisspeltTagShowsTheCollectedTextInOneBox) {
    CApp app(system, Options(Scripts("invalid/misspelt-top-level-tag")));
    EXPECT_EQ(app.InitInstance(), CApp::StartResult::Failed);
    EXPECT_EQ(box->outputs, std::vector<std::string>{"Unknown tag. : panell\nUnable to read script.\n"});
}

TEST_F(AppStartup, ScriptWithoutAMainPanelCannotOpenTheMainWindow) {
    CApp app(system, Options(Scripts("invalid/no-main-panel")));
    EXPECT_EQ(app.InitInstance(), CApp::StartResult::Failed);
    EXPECT_EQ(box->outputs, std::vector<std::string>{"Unable to open main panel.\n"});
    EXPECT_EQ(app.MainFrame(), nullptr);
}

TEST_F(AppStartup, ValidScriptOpensTheMainWindowAndShutDownReleasesTheOutputs) {
    CApp app(system, Options(Scripts("valid/minimal")));
    ASSERT_EQ(app.InitInstance(), CApp::StartResult::Started);
    EXPECT_TRUE(app.IsStarted());
    ASSERT_NE(app.MainFrame(), nullptr);
    EXPECT_TRUE(app.MainFrame()->isVisible());
    EXPECT_TRUE(app.MainFrame()->acceptDrops());
    EXPECT_TRUE(box->outputs.empty());
    EXPECT_EQ(system.ScriptFolder(), Scripts("valid/minimal") + "/");
    EXPECT_EQ(QCoreApplication::organizationName(), "Halden");

    app.ExitInstance();
    for (int slot = 0; slot < CTavSystem::kSlotCount; ++slot)
        EXPECT_EQ(system.TextOut(slot), nullptr);
    EXPECT_EQ(app.MainFrame(), nullptr);
}

TEST_F(AppStartup, ACommandLineFileThatCannotBeReadEndsStartUpWithItsCode) {
    test::TempDir dir;
    CApp::Options options = Options(VIREO_BUILT_SCRIPT_DIR);
    options.filePath = QString::fromStdString(dir.Write("notes.vro", std::string(300, 'x')).string());
    CApp app(system, options);
    EXPECT_EQ(app.InitInstance(), CApp::StartResult::Failed);
    EXPECT_EQ(box->reports, std::vector<int>{5}); // "Cannot read files of this type."
    EXPECT_EQ(system.PendingCode(), 0);
    app.ExitInstance();
}

TEST_F(AppStartup, IdlePassShowsOnlyTheLastPendingCodeOnce) {
    CApp app(system, Options(Scripts("valid/minimal")));
    ASSERT_EQ(app.InitInstance(), CApp::StartResult::Started);
    system.BufferOutput()->Report(4);
    system.BufferOutput()->Report(2);
    RunEventLoop();
    EXPECT_EQ(box->reports, std::vector<int>{2});
    EXPECT_EQ(system.PendingCode(), 0);

    system.BufferOutput()->Report(0);
    RunEventLoop();
    EXPECT_EQ(box->reports, std::vector<int>{2});
    app.ExitInstance();
}

TEST_F(AppStartup, SecondCopyHandsOverAndTheFirstComesToTheFront) {
    CApp::Options options = Options(Scripts("valid/minimal"));
    const QString instance = options.instanceName;
    CApp first(system, options);
    ASSERT_EQ(first.InitInstance(), CApp::StartResult::Started);
    first.MainFrame()->showMinimized();

    CTavSystem otherSystem;
    CApp::Options secondOptions = Options(Scripts("valid/minimal"));
    secondOptions.instanceName = instance;
    CApp second(otherSystem, secondOptions);
    EXPECT_EQ(second.InitInstance(), CApp::StartResult::HandedOver);
    for (int i = 0; i < 20 && first.MainFrame()->isMinimized(); ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_FALSE(first.MainFrame()->isMinimized());
    first.ExitInstance();
}

TEST_F(AppStartup, TheVirtualDeviceOptionConnectsTheFirstPortsForTheRun) {
    test::TempDir dir;
    const std::string memory = (dir.Path() / "memory.bin").string();
    qputenv("VIREO_VIRTUAL_DEVICE_MEMORY", QByteArray::fromStdString(memory));
    CApp::Options options = Options(VIREO_BUILT_SCRIPT_DIR); // the shipped script with its bitmaps
    options.virtualDevice = true;
    {
        CApp app(system, std::move(options));
        ASSERT_EQ(app.InitInstance(), CApp::StartResult::Started);
        CMidiSetup* setup = app.Midi()->Setup();
        ASSERT_NE(setup, nullptr);
        EXPECT_TRUE(setup->IsConnected());
        EXPECT_EQ(setup->InputPortName(0), "Vireo Virtual Device");
        // The MIDI setup dialog reconnects on opening; the run keeps its virtual device.
        app.Midi()->Reconnect();
        EXPECT_EQ(setup->OutputPortName(0), "Vireo Virtual Device");

        // A whole request and reply through the input thread and the GUI thread's queue, read
        // by the device layer's reader, which the first input keeps after the ports connect.
        Brio::CTavReader* reader = Brio::CTavBufferAccessor::Instance().Reader();
        ASSERT_NE(reader, nullptr);
        EXPECT_EQ(system.MidiManager().Input(0)->Reader(), reader);
        CTavValue* level = system.BufferManager().FindValue("qv.system.masterLevel");
        ASSERT_NE(level, nullptr);
        const TavRange leaf = level->Parent()->AbsoluteRange();
        EXPECT_TRUE(reader->RequestData(static_cast<uint32_t>(leaf.begin), leaf.Length()));
        EXPECT_TRUE(box->outputs.empty());
        app.ExitInstance();
    }
    qunsetenv("VIREO_VIRTUAL_DEVICE_MEMORY");
    EXPECT_TRUE(std::filesystem::exists(memory));
}

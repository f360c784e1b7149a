// The editor's start-up and shut-down sequence, with a recording message box output.

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QUuid>
#include <algorithm>
#include <gtest/gtest.h>
#include <optional>

#include "app/CTavSystem.h"
#include "app/CTavTextOut.h"
#include "app/TavCommands.h"
#include "app/qt/CApp.h"
#include "app/qt/CFileCommands.h"
#include "app/qt/CMainFrame.h"
#include "app/qt/CProgressBar.h"
#include "device/CTavBufferAccessor.h"
#include "device/CTavFunctionManager.h"
#include "midi/qt/CMidiService.h"
#include "model/CTavBufferManager.h"
#include "model/CTavStruct.h"
#include "support/RecordingTextOut.h"
#include "support/TestSupport.h"
#include "view/CTavViewManager.h"
#include "view/ITavProgress.h"
#include "virtual/CVirtualDevice.h"

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

    // A copy of the build tree's script folder, made on first use.
    std::string Built() {
        if (!built)
            built.emplace();
        return built->String();
    }

    test::TempDir scripts;
    std::optional<test::ScriptFolderCopy> built;
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
    CApp::Options options = Options(Built());
    options.filePath = QByteArray::fromStdString(dir.Write("notes.vro", std::string(300, 'x')).string());
    CApp app(system, options);
    EXPECT_EQ(app.InitInstance(), CApp::StartResult::Failed);
    EXPECT_EQ(box->reports, std::vector<int>{5}); // "Cannot read files of this type."
    EXPECT_EQ(system.PendingCode(), 0);
    app.ExitInstance();
}

TEST_F(AppStartup, ACommandLineFileOpensByItsBytesAndALinkAsItsTarget) {
    test::TempDir dir;
    const std::string latin1 = (dir.Path() / "S\xe4tze.vro").string(); // not valid UTF-8
    ASSERT_EQ(test::RunCli({"--script-dir", Built(), "new", latin1}).exitCode, 0);
    std::filesystem::create_symlink(latin1, dir.Path() / "link.vro");
    for (const std::string& given : {latin1, (dir.Path() / "link.vro").string()}) {
        SCOPED_TRACE(given);
        CTavSystem own;
        CApp::Options options = Options(Built());
        options.filePath = QByteArray::fromStdString(given);
        CApp app(own, options);
        ASSERT_EQ(app.InitInstance(), CApp::StartResult::Started);
        EXPECT_EQ(app.Files()->EncodedPath().toStdString(), latin1);
        EXPECT_EQ(app.Files()->Title("Vireo Editor"), "Vireo Editor - S\uFFFDtze.vro");
        // Saving writes the same file back, not one under a decoded name.
        EXPECT_TRUE(app.Files()->Save());
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2);
        app.ExitInstance();
    }
}

TEST_F(AppStartup, IdlePassShowsOnlyTheLastPendingCodeOnce) {
    CApp app(system, Options(Scripts("valid/minimal")));
    ASSERT_EQ(app.InitInstance(), CApp::StartResult::Started);
    box->reports.clear(); // start-up without MIDI ports
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
    CApp::Options options = Options(Built()); // the shipped script with its bitmaps
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

TEST_F(AppStartup, TheVirtualDeviceAnswersToTheChosenIdAtCableSpeed) {
    test::TempDir dir;
    qputenv("VIREO_VIRTUAL_DEVICE_MEMORY", QByteArray::fromStdString((dir.Path() / "memory.bin").string()));
    CApp::Options options = Options(Built());
    options.virtualDevice = true;
    options.virtualDeviceCable = true;
    options.virtualDeviceId = 0x13;
    options.virtualDeviceFaults.modifyError = true;
    {
        CApp app(system, std::move(options));
        ASSERT_EQ(app.InitInstance(), CApp::StartResult::Started);
        app.Midi()->VirtualDevice().WithDevice([](CVirtualDevice& device) {
            EXPECT_EQ(device.DeviceId(), 0x13);
            EXPECT_EQ(device.GetSpeed(), CVirtualDevice::Speed::Wire);
            EXPECT_TRUE(device.InjectedFaults().modifyError);
        });
        // As when the user picks "20" in the MIDI setup.
        system.MidiManager().SetDeviceId(0x13);
        CTavValue* level = system.BufferManager().FindValue("qv.system.masterLevel");
        ASSERT_NE(level, nullptr);
        const TavRange leaf = level->Parent()->AbsoluteRange();
        Brio::CTavReader* reader = Brio::CTavBufferAccessor::Instance().Reader();
        ASSERT_NE(reader, nullptr);
        EXPECT_TRUE(reader->RequestData(static_cast<uint32_t>(leaf.begin), leaf.Length()));
        EXPECT_TRUE(box->outputs.empty());
        app.ExitInstance();
    }
    qunsetenv("VIREO_VIRTUAL_DEVICE_MEMORY");
}

TEST(EditorOptions, VirtualDeviceOptionsOutOfRangeAreRefusedWithTheirReason) {
    const struct {
        std::vector<std::string> arguments;
        const char* error;
    } cases[] = {
        {{"--virtual-device-id", "33"}, "--virtual-device-id takes a device ID from 17 to 32, not \"33\"."},
        {{"--virtual-device-id=16"}, "--virtual-device-id takes a device ID from 17 to 32, not \"16\"."},
        {{"--virtual-device-id", "0x10"},
         "--virtual-device-id takes a device ID from 17 to 32, not \"0x10\"."},
        {{"--virtual-device=fast"}, "--virtual-device takes \"cable\" or \"instant\", not \"fast\"."},
        {{"--virtual-device-fault=silent,slow"},
         "--virtual-device-fault takes a comma-separated list of identity, silent, leave-pc-mode, "
         "modify-error, "
         "drop=N (N from 1) and corrupt=N (N from 0), not \"slow\"."},
        {{"--virtual-device-fault", "drop=0"},
         "--virtual-device-fault takes a comma-separated list of identity, silent, leave-pc-mode, "
         "modify-error, "
         "drop=N (N from 1) and corrupt=N (N from 0), not \"drop=0\"."},
    };
    for (const auto& c : cases) {
        const auto result = test::RunProcess(VIREO_EDITOR_PATH, c.arguments, {"QT_QPA_PLATFORM=offscreen"});
        EXPECT_EQ(result.exitCode, 1) << c.error;
        // Qt may warn about the environment before.
        const std::string expected = std::string("vireo-editor: ") + c.error + "\n";
        EXPECT_TRUE(result.err.ends_with(expected)) << result.err;
    }
}

// The editor as a program: a screenshot with a command-line file shows no box (its
// messages go to standard error) and ends.
TEST(EditorScreenshot, WithAFileItLoadsItWritesMessagesToStandardErrorAndEnds) {
    test::TempDir dir;
    test::ScriptFolderCopy scripts;
    const std::string good = (dir.Path() / "S\xe4tze.vro").string();
    ASSERT_EQ(test::RunCli({"--script-dir", scripts.String(), "new", good}).exitCode, 0);
    std::filesystem::create_symlink(good, dir.Path() / "link.vro");
    const std::string unreadable = dir.Write("notes.vro", std::string(300, 'x')).string();
    const std::string fifo = (dir.Path() / "pipe.vro").string();
    test::MakeNotAFile(test::NotAFile::kFifo, fifo);
    struct Case {
        std::string file;
        int exitCode;
        const char* message;
    };
    const Case cases[] = {
        {good, 0, "MIDI devices aren't set up correctly."},
        {(dir.Path() / "link.vro").string(), 0, "MIDI devices aren't set up correctly."},
        {unreadable, 1, "Cannot read files of this type."},
        {(dir.Path() / "missing.vro").string(), 1, "This file could not be loaded."},
        {fifo, 1, "This file could not be loaded."}, // refused, not waited on
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string picture = (dir.Path() / "main.png").string();
        std::filesystem::remove(picture);
        const auto result = test::RunProcess(
            VIREO_EDITOR_PATH, {"--script-dir", scripts.String(), "--screenshot", picture, c.file},
            {"QT_QPA_PLATFORM=offscreen", "XDG_CONFIG_HOME=" + (dir.Path() / "config").string(),
             "VIREO_VIRTUAL_DEVICE_MEMORY=" + (dir.Path() / "memory.bin").string()},
            std::chrono::seconds(20));
        EXPECT_FALSE(result.timedOut);
        EXPECT_EQ(result.exitCode, c.exitCode) << result.err;
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
        EXPECT_EQ(std::filesystem::exists(picture), c.exitCode == 0);
    }
}

namespace {

// The progress bar, recording the message code of each begin and its value at each step.
class RecordingProgressBar : public CProgressBar {
public:
    void Begin(int steps, int code, bool cancelAllowed) override {
        codes.push_back(code);
        maximum = steps;
        values.clear();
        CProgressBar::Begin(steps, code, cancelAllowed);
    }
    void Step() override {
        CProgressBar::Step();
        values.push_back(Value());
    }
    std::vector<int> codes, values;
    int maximum = 0;
};

// Real time, but the writer's pause after each data set takes none, so sending the whole
// state to the instantly replying device does not take seconds.
class NoPauseClock : public ITavClock {
public:
    TavTime Now() const override { return TavSystemClock().Now(); }
    void SleepFor(TavDuration) override {}
};

// The master level as the device holds it.
int DeviceMasterLevel(CApp& app, CTavSystem& system) {
    CTavValue* level = system.BufferManager().FindValue("qv.system.masterLevel");
    const uint32_t address = static_cast<uint32_t>(level->Parent()->AbsoluteRange().begin + level->Range().begin);
    TavBytes bytes;
    app.Midi()->VirtualDevice().WithDevice([&](CVirtualDevice& device) { device.ReadMemory(address, 1, bytes); });
    return bytes.size() == 1 ? bytes[0] : -1;
}

} // namespace

TEST_F(AppStartup, ReadsTheDeviceOrSendsTheFileWhenConnectedElseSaysSoOnce) {
    test::TempDir dir;
    // The device holds master level 5, the command-line file 90 and the opened file 33.
    const std::string memory = (dir.Path() / "memory.bin").string();
    const std::string deviceState = (dir.Path() / "device.vro").string();
    const std::string file = (dir.Path() / "start.vro").string();
    const std::string opened = (dir.Path() / "opened.vro").string();
    for (const auto& [path, level] : {std::pair{deviceState, 5}, {file, 90}, {opened, 33}}) {
        ASSERT_EQ(test::RunCli({"--script-dir", Built(), "new", path}).exitCode, 0);
        ASSERT_EQ(test::RunCli({"--script-dir", Built(), "set", path, "qv.system.masterLevel=" + std::to_string(level)})
                      .exitCode,
                  0);
    }
    const struct {
        bool withFile;
        bool connected;
        bool cable;
        int code;               // the progress bar's message code; 0: no transfer
        int editorLevel;        // the master level the editor shows after start-up
        int deviceLevel;        // and the device holds
        std::vector<int> reports;
    } cases[] = {
        {false, true, false, ITavProgress::kGettingData, 5, 5, {}},
        {false, true, true, ITavProgress::kGettingData, 5, 5, {}},
        {true, true, false, ITavProgress::kSynchronizing, 90, 90, {}},
        {false, false, false, 0, 127, -1, {3}},
        {true, false, false, 0, 90, -1, {3}},
    };
    // The device's memory as writing the device state leaves it, copied afresh for each case.
    const std::string deviceMemory = (dir.Path() / "device-memory.bin").string();
    ASSERT_EQ(test::RunCli({"--script-dir", Built(), "write", "--in", "Vireo Virtual Device", "--out",
                            "Vireo Virtual Device", deviceState},
                           {"VIREO_VIRTUAL_DEVICE_MEMORY=" + deviceMemory})
                  .exitCode,
              0);
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.withFile) + " " + std::to_string(c.connected) + " " + std::to_string(c.cable));
        std::filesystem::copy_file(deviceMemory, memory, std::filesystem::copy_options::overwrite_existing);
        qputenv("VIREO_VIRTUAL_DEVICE_MEMORY", QByteArray::fromStdString(memory));
        CTavSystem own;
        RecordingProgressBar* bar = nullptr;
        CApp::Options options = Options(Built());
        options.virtualDevice = c.connected;
        options.virtualDeviceCable = c.cable;
        options.makeProgressBar = [&bar] { return bar = new RecordingProgressBar; };
        NoPauseClock noPause;
        options.writerClock = &noPause;
        if (c.withFile)
            options.filePath = QByteArray::fromStdString(file);
        CApp app(own, options);
        ASSERT_EQ(app.InitInstance(), CApp::StartResult::Started);
        RunEventLoop(20);
        EXPECT_EQ(box->reports, c.reports);
        ASSERT_NE(bar, nullptr);
        EXPECT_EQ(bar->codes, c.code ? std::vector<int>{c.code} : std::vector<int>{});
        // The bar advanced step by step up to its end and was closed after the transfer.
        if (c.code) {
            ASSERT_FALSE(bar->values.empty());
            EXPECT_TRUE(std::is_sorted(bar->values.begin(), bar->values.end()));
            EXPECT_EQ(bar->values.back(), bar->maximum);
            // Each part's patch or rhythm set among them (without, Sync had 22 blocks): the
            // bank layout is learnt first when no names are known.
            EXPECT_GT(bar->values.size(), 90u);
        }
        EXPECT_FALSE(bar->IsRunning());
        EXPECT_TRUE(app.MainFrame()->isEnabled());
        EXPECT_EQ(own.BufferManager().FindValue("qv.system.masterLevel")->GetRaw(), c.editorLevel);
        if (c.connected) {
            EXPECT_EQ(DeviceMasterLevel(app, own), c.deviceLevel);
        }
        EXPECT_FALSE(own.BufferManager().FindRoot("qv")->IsModified());
        EXPECT_FALSE(app.Files()->IsModified());
        // With the device's banks known every part shows what it plays, and the shown
        // part's patch can be initialised and its tones copied.
        const auto partsShown = [&](bool known) {
            CTavBufferManager& buffers = own.BufferManager();
            EXPECT_EQ(buffers.FindValue("vs.control.entityType")->GetRaw(), known ? 1 : 0);
            for (int part = 0; part < 16; ++part)
                EXPECT_EQ(
                    buffers.FindValue("vs.control.partEntityType[" + std::to_string(part) + "]")->GetRaw(),
                    known ? 1 : 0)
                    << part;
            app.MainFrame()->UpdateCommandStates();
            for (const int command : {32799, 32793}) // Initialize Patch, Copy Patch Tone 1
                EXPECT_EQ(app.MainFrame()->Action(command)->isEnabled(), known) << command;
            EXPECT_EQ(app.MainFrame()->Action(32857)->isEnabled(), c.connected); // Read Names
        };
        partsShown(c.connected);

        // Opening a file sends it while the link is up, and shows what its parts play.
        app.Files()->ask = [](const QString&) { return 3; };
        own.BufferManager().FindValue("vs.control.entityType")->SetRaw(0);
        EXPECT_TRUE(app.Files()->Open(QString::fromStdString(opened)));
        if (c.connected) {
            EXPECT_EQ(DeviceMasterLevel(app, own), 33);
        }
        partsShown(c.connected);
        EXPECT_FALSE(app.Files()->IsModified());
        app.ExitInstance();
        qunsetenv("VIREO_VIRTUAL_DEVICE_MEMORY");
    }
}

// A first input without a port: the commands that need the link are disabled, and Read
// called anyway says so at once instead of waiting for a reply that cannot come.
TEST_F(AppStartup, WithoutTheInputTheLinkCommandsAreDisabledAndReadSaysSoAtOnce) {
    test::TempDir dir;
    qputenv("VIREO_VIRTUAL_DEVICE_MEMORY", QByteArray::fromStdString((dir.Path() / "memory.bin").string()));
    CApp::Options options = Options(Built());
    options.virtualDevice = true;
    {
        CApp app(system, std::move(options));
        ASSERT_EQ(app.InitInstance(), CApp::StartResult::Started);
        CTavFunctionManager& functions = system.FunctionManager();
        CMainFrame* frame = app.MainFrame();
        frame->UpdateCommandStates();
        EXPECT_TRUE(functions.IsEnabled("Read"));
        EXPECT_TRUE(frame->Action(TavCommands::kReadNames)->isEnabled());

        app.Midi()->Setup()->DisconnectInput(*system.MidiManager().Input(0));
        frame->UpdateCommandStates();
        EXPECT_FALSE(functions.IsEnabled("Read"));
        EXPECT_FALSE(functions.IsEnabled("Sync"));
        EXPECT_FALSE(frame->Action(TavCommands::kReadNames)->isEnabled());
        EXPECT_FALSE(frame->Action(TavCommands::kReadSampleNames)->isEnabled());
        box->reports.clear();
        QElapsedTimer timer;
        timer.start();
        EXPECT_FALSE(functions.Call("Read", ""));
        EXPECT_FALSE(functions.Call("Sync", ""));
        EXPECT_LT(timer.elapsed(), 2000);
        EXPECT_EQ(box->reports, (std::vector<int>{3, 3}));
        app.ExitInstance();
    }
    qunsetenv("VIREO_VIRTUAL_DEVICE_MEMORY");
}

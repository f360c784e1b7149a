// The editor on the shipped script with the virtual device answering at once: what the
// user clicks while a transfer runs, and the MIDI OUT line after each operation.

#include <QApplication>
#include <QClipboard>
#include <QEventLoop>
#include <QFileDialog>
#include <QMouseEvent>
#include <QTimer>
#include <QUuid>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>

#include "app/CTavSystem.h"
#include "app/TavCommands.h"
#include "app/qt/CApp.h"
#include "app/qt/CFileCommands.h"
#include "app/qt/CMainFrame.h"
#include "app/qt/CProfiledFileDialog.h"
#include "app/qt/CProgressBar.h"
#include "device/CTavBufferAccessor.h"
#include "device/CTavFunctionManager.h"
#include "midi/CTavMidiManager.h"
#include "midi/qt/CMidiService.h"
#include "model/CTavBufferManager.h"
#include "model/CTavStruct.h"
#include "model/CTavValue.h"
#include "support/FakeClock.h"
#include "support/RecordingTextOut.h"
#include "support/TestSupport.h"
#include "view/CTavPanel.h"
#include "view/CTavStaticTextControl.h"
#include "view/CTavViewManager.h"
#include "view/ITavProgress.h"
#include "view/qt/CPanelWidget.h"
#include "virtual/CVirtualDevice.h"

namespace {

// The progress bar, recording the message code of each begin; at its first step it runs
// what the test gives it (the user acting while the operation runs).
class SteppingProgressBar : public CProgressBar {
public:
    void Begin(int steps, int code, bool cancelAllowed) override {
        codes.push_back(code);
        stepped = false;
        CProgressBar::Begin(steps, code, cancelAllowed);
    }
    // whileRunning runs once: a click it queues that started another operation would
    // otherwise queue another.
    void Step() override {
        if (!stepped && whileRunning)
            std::exchange(whileRunning, nullptr)();
        stepped = true;
        CProgressBar::Step();
    }
    std::vector<int> codes;
    std::function<void()> whileRunning;
    bool stepped = false;
};

// The panel's buttons call their functions on the process's root object; this passes the
// call on to the test's own.
class Forward : public CTavFunctionManager::IFunctor {
public:
    Forward(CTavSystem& system, std::string name) : m_system(system), m_name(std::move(name)) {}
    bool Invoke(const std::string& arguments) override {
        return m_system.FunctionManager().Call(m_name, arguments);
    }

private:
    CTavSystem& m_system;
    std::string m_name;
};

constexpr const char* kButtonFunctions[] = {"Read", "Sync"};

class DeviceSession : public testing::Test {
protected:
    void SetUp() override {
        for (const char* name : kButtonFunctions)
            ASSERT_TRUE(CTavSystem::Instance().FunctionManager().Register(
                name, std::make_unique<Forward>(system, name)));
        qputenv("VIREO_VIRTUAL_DEVICE_MEMORY",
                QByteArray::fromStdString((dir.Path() / "memory.bin").string()));
        CApp::Options options;
        options.scriptDir = QString::fromStdString(scripts.String());
        options.instanceName =
            QStringLiteral("vireo-test-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
        options.showSplash = false;
        options.virtualDevice = true;
        options.transferAtStart = false;
        options.writerClock = &clock;
        options.makeMessageBoxOutput = [this] { return box = new test::RecordingTextOut; };
        options.makeProgressBar = [this] { return bar = new SteppingProgressBar; };
        app = std::make_unique<CApp>(system, options);
        ASSERT_EQ(app->InitInstance(), CApp::StartResult::Started);
        widget = app->MainFrame()->findChild<CPanelWidget*>();
        main = dynamic_cast<CTavPanel*>(system.ViewManager().FindRootPanel("main"));
        ASSERT_TRUE(widget && main && bar);
        app->Files()->ask = [](const QString&) { return 3; }; // No: open without saving
    }
    void TearDown() override {
        CProfiledFileDialog::SetRunner({});
        if (app)
            app->ExitInstance();
        qunsetenv("VIREO_VIRTUAL_DEVICE_MEMORY");
        for (const char* name : kButtonFunctions)
            CTavSystem::Instance().FunctionManager().Unregister(name);
    }

    CTavView* Control(const char* path) {
        CTavView* control = nullptr;
        EXPECT_TRUE(main->FindControl(path, control)) << path;
        return control;
    }
    QPoint Centre(const char* path) {
        const TavRect& rect = Control(path)->Rect();
        return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    }
    std::vector<QMouseEvent*> ClickEvents(const char* path) {
        const QPoint at = Centre(path);
        const QPointF global = widget->mapToGlobal(QPointF(at));
        return {new QMouseEvent(QEvent::MouseButtonPress, QPointF(at), global, Qt::LeftButton, Qt::LeftButton,
                                Qt::NoModifier),
                new QMouseEvent(QEvent::MouseButtonRelease, QPointF(at), global, Qt::LeftButton, Qt::NoButton,
                                Qt::NoModifier)};
    }
    // A click handled now, as the event loop hands it over.
    void Click(const char* path) {
        for (QMouseEvent* event : ClickEvents(path)) {
            QApplication::sendEvent(widget, event);
            delete event;
        }
    }
    // A click waiting in the queue for the event loop.
    void PostClick(const char* path) {
        for (QMouseEvent* event : ClickEvents(path))
            QCoreApplication::postEvent(widget, event);
    }
    static void Idle(int milliseconds = 50) {
        QEventLoop loop;
        QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
        loop.exec();
    }
    size_t StoredByDevice() {
        size_t stored = 0;
        app->Midi()->VirtualDevice().WithDevice(
            [&](CVirtualDevice& device) { stored = device.DataSetsStored(); });
        return stored;
    }
    void Edit(const char* path, int raw) {
        CTavBufferManager& buffers = system.BufferManager();
        buffers.WriteInteger(*buffers.FindValue(path), raw);
        buffers.TransmitPending();
        buffers.PublishPending();
        buffers.ClearPending();
    }
    int32_t Raw(const char* path) { return system.BufferManager().FindValue(path)->GetRaw(); }

    test::TempDir dir;
    test::ScriptFolderCopy scripts;
    FakeClock clock;
    CTavSystem system;
    std::unique_ptr<CApp> app;
    test::RecordingTextOut* box = nullptr;
    SteppingProgressBar* bar = nullptr;
    CPanelWidget* widget = nullptr;
    CTavPanel* main = nullptr;
};

const char* const kReceive = "qv.prti.part[0].receiveSwitch";

TEST_F(DeviceSession, ClicksWhileAReadRunsAreDroppedRatherThanRunAfterIt) {
    for (const char* target : {"main.sync", "main.read", "main.mixer.part1.receive", "main.tabEffects"}) {
        SCOPED_TRACE(target);
        bar->codes.clear();
        const size_t stored = StoredByDevice();
        const int32_t receive = Raw(kReceive);
        bar->whileRunning = [&] { PostClick(target); };
        Click("main.read");
        Idle();
        // One read, no sync and no edit sent: the device stored nothing.
        EXPECT_EQ(bar->codes, std::vector<int>{ITavProgress::kGettingData});
        EXPECT_EQ(StoredByDevice(), stored);
        EXPECT_EQ(Raw(kReceive), receive);
        EXPECT_EQ(Raw("vs.control.mainPage"), 0);
        EXPECT_TRUE(app->MainFrame()->isEnabled());
    }
    // Once it is over, a click works again.
    const int32_t receive = Raw(kReceive);
    Click("main.mixer.part1.receive");
    EXPECT_NE(Raw(kReceive), receive);
}

TEST_F(DeviceSession, AClickWhileTheReaderWaitsForAnAnswerRunsOnceTheAnswerIsIn) {
    // A round trip without a progress dialog is a wait the user did not see begin: the click
    // is held, not run inside the wait, and runs once when it is over.
    const int32_t receive = Raw(kReceive);
    PostClick("main.mixer.part1.receive");
    const TavRange leaf =
        system.BufferManager().FindValue("qv.system.masterLevel")->Parent()->AbsoluteRange();
    EXPECT_TRUE(Brio::CTavBufferAccessor::Instance().Reader()->RequestData(static_cast<uint32_t>(leaf.begin),
                                                                           leaf.Length()));
    EXPECT_EQ(Raw(kReceive), receive);
    Idle();
    EXPECT_TRUE(bar->codes.empty());
    EXPECT_NE(Raw(kReceive), receive);
    Idle();
    EXPECT_NE(Raw(kReceive), receive);
}

// The MIDI OUT line as the window shows it, without the blanks that pad it.
std::string Trimmed(std::string text) {
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

std::string Hex(const TavBytes& bytes) {
    std::string text;
    for (uint8_t byte : bytes) {
        char digits[4];
        std::snprintf(digits, sizeof digits, "%02X ", byte);
        text += digits;
    }
    return Trimmed(text);
}

TEST_F(DeviceSession, TheMidiOutLineAndTheClipboardShowTheLastMessageSentWhateverSentIt) {
    const std::string data = (dir.Path() / "saved.vro").string();
    const std::string smf = (dir.Path() / "parts.mid").string();
    ASSERT_EQ(test::RunCli({"--script-dir", scripts.String(), "new", data}).exitCode, 0);
    QString chosen = QString::fromStdString(smf);
    CProfiledFileDialog::SetRunner([&](QFileDialog&) { return chosen; });
    app->OnCommand(TavCommands::kExportPartInfo);
    ASSERT_TRUE(std::filesystem::exists(smf));

    const struct {
        const char* operation;
        std::function<void()> run;
        const char* command; // the command byte of the last message: data request or data set
    } cases[] = {
        {"Read", [&] { Click("main.read"); }, "11"},
        {"Sync", [&] { Click("main.sync"); }, "12"},
        {"Open", [&] { EXPECT_TRUE(app->Files()->Open(QString::fromStdString(data))); }, "12"},
        {"Import SMF", [&] { app->OnCommand(TavCommands::kImportSmf); }, "12"},
    };
    const CTavMidiOut* output = system.MidiManager().Output(0);
    auto* line = dynamic_cast<CTavStaticTextControl*>(Control("main.midiOut"));
    ASSERT_TRUE(output && line);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.operation);
        Edit("qv.system.masterLevel", 33);
        Idle();
        const std::string edited = Hex(output->LastMessage());
        ASSERT_EQ(Trimmed(line->Text()), edited);
        c.run();
        Idle();
        const std::string sent = Hex(output->LastMessage());
        EXPECT_NE(sent, edited);
        EXPECT_EQ(sent.substr(15, 2), c.command) << sent;
        EXPECT_EQ(Trimmed(line->Text()), sent);
        EXPECT_EQ(Trimmed(system.BufferManager().FindValue("vs.monitor.midiMessage")->GetText()), sent);
        app->OnCommand(TavCommands::kCopyMidiMessage);
        EXPECT_EQ(QApplication::clipboard()->text().toStdString(), sent);
    }
    EXPECT_TRUE(box->reports.empty());
}

} // namespace

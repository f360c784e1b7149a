// Recovery in the editor: the state written 30 s after an edit and removed by Save and by a
// clean exit; at start a file a dead editor left is offered, loaded as an untitled modified
// document on Yes, removed on No, and kept aside with a message when it cannot be read.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>

#include "app/CTavSystem.h"
#include "app/qt/CApp.h"
#include "app/qt/CFileCommands.h"
#include "app/qt/CMainFrame.h"
#include "app/qt/CProfiledFileDialog.h"
#include "files/CTavDataFile.h"
#include "model/CTavBufferManager.h"
#include "model/CTavValue.h"
#include "support/EditorOptions.h"
#include "support/FakeClock.h"
#include "support/RecordingTextOut.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;

class RecoveryAtStart : public testing::Test {
protected:
    void TearDown() override {
        CProfiledFileDialog::SetRunner({});
        Stop();
    }
    void Start() {
        system = std::make_unique<CTavSystem>();
        CApp::Options options = test::EditorOptions(scripts, &box);
        options.transferAtStart = true; // no ports: start-up says so and goes on
        options.recoveryFolder = QString::fromStdString(Folder());
        options.recoveryClock = &clock;
        options.askRecover = [this](const QString& question) {
            questions << question;
            return answer;
        };
        app = std::make_unique<CApp>(*system, options);
        ASSERT_EQ(app->InitInstance(), CApp::StartResult::Started);
        app->Files()->ask = [](const QString&) { return 3; }; // No: the changes are not saved
    }
    void Stop() {
        if (app)
            app->ExitInstance();
        app.reset();
        system.reset();
    }
    std::string Folder() const { return (dir.Path() / "state").string(); }
    std::string LeftFile() const { return Folder() + "/recovery-1.vro"; }
    CTavValue& Master() { return *system->BufferManager().FindValue("qv.system.masterLevel"); }
    void Edit(int raw) {
        CTavBufferManager& buffers = system->BufferManager();
        buffers.WriteInteger(Master(), raw);
        buffers.TransmitPending();
        buffers.PublishPending();
        buffers.ClearPending();
    }
    // The state a dead editor left, with the master level at raw.
    void LeaveFile(int raw) {
        Start();
        Edit(raw);
        CTavDataFile file(system->BufferManager(), nullptr);
        fs::create_directories(Folder());
        ASSERT_TRUE(file.Save(Folder() + "/left.vro"));
        Stop();
        fs::rename(Folder() + "/left.vro", LeftFile());
    }
    bool Written() {
        app->CheckRecovery();
        app->RecoveryWriter()->Flush();
        return fs::exists(app->Recovery().Path());
    }

    test::TempDir dir;
    test::ScriptFolderCopy scripts;
    FakeClock clock;
    std::unique_ptr<CTavSystem> system;
    std::unique_ptr<CApp> app;
    test::RecordingTextOut* box = nullptr;
    QStringList questions;
    bool answer = true;
};

TEST_F(RecoveryAtStart, TheStateIsWrittenThirtySecondsAfterAnEditAndGoneAfterSaveAndACleanExit) {
    Start();
    EXPECT_TRUE(questions.isEmpty());
    Edit(44);
    EXPECT_FALSE(Written());
    clock.Advance(std::chrono::seconds(30));
    EXPECT_TRUE(Written());
    const std::string path = app->Recovery().Path();
    CProfiledFileDialog::SetRunner([this](QFileDialog&) { return QString::fromStdString((dir.Path() / "s.vro").string()); });
    ASSERT_TRUE(app->Files()->SaveAs());
    EXPECT_FALSE(Written());
    Edit(45);
    clock.Advance(std::chrono::seconds(31));
    EXPECT_TRUE(Written());
    Stop();
    EXPECT_FALSE(fs::exists(path));
}

TEST_F(RecoveryAtStart, ALeftFileIsOfferedAndLoadedUntitledAndModifiedOnYesAndRemovedOnNo) {
    for (const bool yes : {true, false}) {
        SCOPED_TRACE(yes);
        LeaveFile(33);
        questions.clear();
        answer = yes;
        Start();
        ASSERT_EQ(questions.size(), 1);
        EXPECT_TRUE(questions[0].startsWith("Recover the changes that were not saved (")) << questions[0].toStdString();
        if (yes) {
            EXPECT_EQ(Master().GetRaw(), 33);
            EXPECT_TRUE(app->Files()->EncodedPath().isEmpty());
            EXPECT_TRUE(app->MainFrame()->windowTitle().endsWith("Untitled *"))
                << app->MainFrame()->windowTitle().toStdString();
        } else {
            EXPECT_NE(Master().GetRaw(), 33);
        }
        EXPECT_FALSE(fs::exists(LeftFile()));
        Stop();
    }
}

TEST_F(RecoveryAtStart, AnUnreadableFileIsKeptAsideWithAMessage) {
    fs::create_directories(Folder());
    test::TempDir scratch;
    fs::copy_file(scratch.Write("bad", "not a data file").string(), LeftFile());
    Start();
    ASSERT_EQ(questions.size(), 1);
    EXPECT_FALSE(fs::exists(LeftFile()));
    EXPECT_TRUE(fs::exists(LeftFile() + ".unreadable"));
    ASSERT_FALSE(box->outputs.empty());
    EXPECT_NE(box->outputs.back().find("kept as"), std::string::npos);
    EXPECT_NE(Master().GetRaw(), 33);
}

} // namespace

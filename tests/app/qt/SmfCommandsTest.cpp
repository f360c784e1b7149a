// The File menu's Import SMF and Export SMF commands in the editor on the shipped script:
// the SMF dialog (stubbed), the device layer's export and import, the views told after an
// import, failures shown at once, and the wait cursor while the device layer works.

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QFileDialog>
#include <QSettings>
#include <QUuid>
#include <gtest/gtest.h>

#include "app/CTavSystem.h"
#include "app/TavCommands.h"
#include "app/TavStrings.h"
#include "app/qt/CApp.h"
#include "app/qt/CFileCommands.h"
#include "app/qt/CMainFrame.h"
#include "app/qt/CProfiledFileDialog.h"
#include "device/CTavBufferAccessor.h"
#include "model/CTavBufferManager.h"
#include "model/CTavEditHistory.h"
#include "model/CTavValue.h"
#include "support/FakeClock.h"
#include "support/RecordingTextOut.h"
#include "support/TestSupport.h"

namespace {

using namespace TavCommands;

class SmfCommands : public testing::Test {
protected:
    void SetUp() override {
        CApp::Options options;
        options.scriptDir = QString::fromStdString(scripts.String());
        options.instanceName = QStringLiteral("vireo-test-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
        options.showSplash = false;
        options.writerClock = &clock;
        options.makeMessageBoxOutput = [this] {
            box = new test::RecordingTextOut;
            return box;
        };
        app = std::make_unique<CApp>(system, options);
        ASSERT_EQ(app->InitInstance(), CApp::StartResult::Started);
        box->reports.clear();
        CProfiledFileDialog::SetRunner([this](QFileDialog& shown) {
            filters = shown.nameFilters();
            suffixes << shown.defaultSuffix();
            return chosen;
        });
        level = system.BufferManager().FindValue("qv.prti.part[5].partLevel");
        ASSERT_NE(level, nullptr);
    }
    void TearDown() override {
        CProfiledFileDialog::SetRunner({});
        if (app)
            app->ExitInstance();
    }
    void Edit(int raw) {
        CTavBufferManager& buffers = system.BufferManager();
        buffers.WriteInteger(*level, raw);
        buffers.TransmitPending();
        buffers.PublishPending();
        buffers.ClearPending();
    }
    // Chooses the file in the dialog and runs the command through the menu.
    void Trigger(int id, const std::string& name) {
        chosen = name.empty() ? QString() : QString::fromStdString((dir.Path() / name).string());
        QAction* action = app->MainFrame()->Action(id);
        ASSERT_NE(action, nullptr);
        app->MainFrame()->UpdateCommandStates();
        ASSERT_TRUE(action->isEnabled()) << id;
        action->trigger();
    }
    std::string File(const std::string& name) const { return (dir.Path() / name).string(); }

    test::TempDir dir;
    test::ScriptFolderCopy scripts;
    FakeClock clock;
    CTavSystem system;
    std::unique_ptr<CApp> app;
    test::RecordingTextOut* box = nullptr;
    CTavValue* level = nullptr;
    QString chosen;
    QStringList filters, suffixes;
};

TEST_F(SmfCommands, ExportThenImportBringsThePartSettingsBack) {
    // Without a device the parts' programs are known once the user banks are.
    TavAddNameBank(Brio::CTavBufferAccessor::Instance().Entities(), TavEntityType::Patch, TavEntityArea::User, 0, 128);
    Edit(21);
    Trigger(kExportPartInfo, "parts.mid");
    Trigger(kExportPartInfoAndSets, "sets.mid");
    EXPECT_TRUE(box->reports.empty());
    const std::string parts = test::ReadFile(File("parts.mid"));
    EXPECT_EQ(parts.substr(0, 4), "MThd");
    EXPECT_GT(test::ReadFile(File("sets.mid")).size(), parts.size());
    EXPECT_EQ(filters, QStringList({"Standard MIDI Files (*.mid)", "All Files (*)"}));
    EXPECT_EQ(suffixes.constFirst(), "mid");
    EXPECT_EQ(QSettings().value("SMF/InitialFileName").toString(), "sets.mid");
    // The exports paced each data set on the writer's clock and sent nothing anywhere.
    EXPECT_FALSE(clock.Sleeps().empty());

    Edit(99);
    Trigger(kImportSmf, "parts.mid");
    EXPECT_TRUE(box->reports.empty());
    EXPECT_EQ(level->GetRaw(), 21);
    EXPECT_TRUE(system.BufferManager().PendingChanges().empty());
    // The import is one step; undone, the state before it is back.
    ASSERT_NE(app->History(), nullptr);
    EXPECT_EQ(app->History()->UndoName(), "Import SMF");
    app->OnCommand(kUndo);
    EXPECT_EQ(level->GetRaw(), 99);
}

TEST_F(SmfCommands, FailuresAreShownAtOnceAndACancelledDialogDoesNothing) {
    dir.Write("bad.mid", "MThd\0\0\0\7");
    struct Case {
        int id;
        std::string name;
        std::vector<int> reports;
    };
    const Case cases[] = {
        {kImportSmf, "bad.mid", {TavStrings::kCodeLoadFailed}},
        {kImportSmf, "missing.mid", {TavStrings::kCodeLoadFailed}},
        {kExportPartInfo, "no/such/folder/x.mid", {TavStrings::kCodeSaveFailed}},
        {kExportPartInfoAndSets, "", {}},
        {kImportSmf, "", {}},
    };
    for (const Case& c : cases) {
        box->reports.clear();
        Trigger(c.id, c.name);
        EXPECT_EQ(box->reports, c.reports) << c.id << " " << c.name;
    }
    EXPECT_EQ(TavStrings::Text(TavStrings::MessageStringId(TavStrings::kCodeSaveFailed)),
              "This file could not be saved.");
}

// Stands in for the device layer: records the paths and whether the wait cursor showed.
struct RecordingDeviceCommands : ITavDeviceCommands {
    bool IsEnabled(const MenuItem&) override { return true; }
    bool Run(const MenuItem& item, const std::string& path) override {
        runs.push_back({item.id, path});
        waitCursor = QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
        return result;
    }
    std::vector<std::pair<int, std::string>> runs;
    bool waitCursor = false;
    bool result = true;
};

TEST_F(SmfCommands, TheDialogChoosesThePathAndTheDeviceLayerRunsUnderTheWaitCursor) {
    RecordingDeviceCommands device;
    CFileCommands& files = *app->Files();
    chosen = QString::fromStdString(File("a.mid"));
    EXPECT_TRUE(files.RunSmfCommand(kExportPartInfoAndSets, device));
    EXPECT_TRUE(device.waitCursor);
    chosen.clear();
    EXPECT_FALSE(files.RunSmfCommand(kImportSmf, device)); // cancelled
    device.result = false;
    chosen = QString::fromStdString(File("b.mid"));
    EXPECT_FALSE(files.RunSmfCommand(kImportSmf, device));
    EXPECT_FALSE(files.RunSmfCommand(kOpen, device)); // not an SMF command
    EXPECT_EQ(device.runs, (std::vector<std::pair<int, std::string>>{{kExportPartInfoAndSets, File("a.mid")},
                                                                     {kImportSmf, File("b.mid")}}));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    const CProfiledFileDialog::Kind kind = CFileCommands::SmfDialogKind();
    EXPECT_EQ(kind.section, "SMF");
    EXPECT_EQ(kind.filter, "Standard MIDI Files(*.mid)|*.mid|All Files(*.*)|*.*||");
    EXPECT_EQ(kind.defaultExtension, "mid");
    EXPECT_EQ(kind.defaultDirectory, QCoreApplication::applicationDirPath() + "/SampleSMF");
}

} // namespace

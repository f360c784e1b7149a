// The File menu's Recent Files on the running editor: files saved and opened are listed
// newest first, a chosen one opens, one that is gone is taken off with a message.

#include <QAction>
#include <QMenu>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "app/CTavSystem.h"
#include "app/qt/CApp.h"
#include "app/qt/CFileCommands.h"
#include "app/qt/CMainFrame.h"
#include "app/qt/CProfiledFileDialog.h"
#include "model/CTavBufferManager.h"
#include "model/CTavValue.h"
#include "support/EditorOptions.h"

namespace {

TEST(RecentFilesMenu, SavedAndOpenedFilesAreListedAndAGoneOneIsTakenOff) {
    test::TempDir dir;
    test::ScriptFolderCopy scripts;
    CTavSystem system;
    test::RecordingTextOut* box = nullptr;
    CApp app(system, test::EditorOptions(scripts, &box));
    ASSERT_EQ(app.InitInstance(), CApp::StartResult::Started);
    app.Files()->ask = [](const QString&) { return 3; }; // No: the changes are not saved
    QMenu* menu = app.MainFrame()->RecentFilesMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_FALSE(menu->isEnabled());

    CTavValue* level = system.BufferManager().FindValue("qv.system.masterLevel");
    QString chosen;
    CProfiledFileDialog::SetRunner([&](QFileDialog&) { return chosen; });
    for (const char* name : {"one.vro", "two.vro"}) {
        system.BufferManager().WriteInteger(*level, name[0] == 'o' ? 11 : 22);
        chosen = QString::fromStdString((dir.Path() / name).string());
        ASSERT_TRUE(app.Files()->SaveAs());
    }
    ASSERT_EQ(menu->actions().size(), 2);
    EXPECT_EQ(menu->actions()[0]->text(), "&1 two.vro");
    EXPECT_EQ(menu->actions()[1]->text(), "&2 one.vro");

    menu->actions()[1]->trigger();
    EXPECT_EQ(level->GetRaw(), 11);
    EXPECT_EQ(menu->actions()[0]->text(), "&1 one.vro");

    std::filesystem::remove(dir.Path() / "two.vro");
    menu->actions()[1]->trigger();
    ASSERT_EQ(menu->actions().size(), 1);
    ASSERT_FALSE(box->outputs.empty());
    EXPECT_NE(box->outputs.back().find("no longer exists"), std::string::npos);
    EXPECT_EQ(level->GetRaw(), 11);
    CProfiledFileDialog::SetRunner({});
    app.ExitInstance();
}

} // namespace

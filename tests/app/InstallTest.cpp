// An installation under any prefix: launchers on the PATH that find the programs and
// their Script folder, the manual and the example MIDI files beside them, and the desktop
// entry, icon and document type.

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>

#include "support/TestSupport.h"

TEST(Install, LaunchersDesktopEntryIconAndDocumentType) {
    test::TempDir prefix;
    const std::string buildDir = std::filesystem::path(VIREO_CLI_PATH).parent_path().string();
    const auto install = test::RunProcess(VIREO_CMAKE_COMMAND, {"--install", buildDir, "--prefix", prefix.Path().string()});
    ASSERT_EQ(install.exitCode, 0) << install.err;

    const auto check = test::RunProcess((prefix.Path() / "bin/vireo-cli").string(), {"check"});
    EXPECT_EQ(check.exitCode, 0) << check.err;
    const auto& root = prefix.Path();
    EXPECT_TRUE(std::filesystem::exists(root / "bin/vireo-editor"));
    EXPECT_TRUE(std::filesystem::exists(root / "libexec/vireo-editor/Script/VireoEditorScript.xml"));
    // The SMF dialog opens first in the example files' folder.
    for (const char* example : {"PartSetup.mid", "PartSetupWithPatches.mid"})
        EXPECT_EQ(test::ReadFile(root / "libexec/vireo-editor/SampleSMF" / example).substr(0, 4), "MThd") << example;
    // The "Unable to read/write data" message sends the user to this section of the manual.
    const std::string manual = test::ReadFile(root / "libexec/vireo-editor/Manual/VireoEditorManual_E.htm");
    EXPECT_NE(manual.find("id=\"unable-to-read-write\""), std::string::npos);
    const std::string desktop = test::ReadFile(root / "share/applications/vireo-editor.desktop");
    EXPECT_NE(desktop.find("MimeType=application/x-vireo-edit-state;"), std::string::npos);
    EXPECT_NE(test::ReadFile(root / "share/mime/packages/vireo-editor.xml").find("*.vro"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(root / "share/icons/hicolor/scalable/apps/vireo-editor.svg"));
}

// The guard that keeps the tests out of the build tree's Script folder notices every kind
// of change: a new file, a changed one and a removed one.
TEST(ScriptFolderGuard, NamesNewChangedAndRemovedFiles) {
    test::TempDir dir;
    const std::filesystem::path folder = dir.Path() / "Script";
    std::filesystem::create_directory(folder);
    const std::string guard = (test::DataDir().parent_path() / "ScriptFolderGuard.cmake").string();
    const std::string listing = (dir.Path() / "listing.txt").string();
    auto run = [&](const char* mode) {
        return test::RunProcess(VIREO_CMAKE_COMMAND, {std::string("-DMODE=") + mode, "-DFOLDER=" + folder.string(),
                                                      "-DLISTING=" + listing, "-P", guard});
    };
    const struct {
        const char* change;
        const char* complaint; // nullptr: unchanged
    } cases[] = {
        {"", nullptr},
        {"new", "new or changed files: new.txt"},
        {"changed", "new or changed files: kept.txt"},
        {"removed", "removed files: kept.txt"},
    };
    for (const auto& c : cases) {
        std::filesystem::remove_all(folder);
        std::filesystem::create_directory(folder);
        dir.Write("Script/kept.txt", "kept");
        ASSERT_EQ(run("record").exitCode, 0);
        const std::string change = c.change;
        if (change == "new")
            dir.Write("Script/new.txt", "new");
        else if (change == "changed")
            dir.Write("Script/kept.txt", "changed");
        else if (change == "removed")
            std::filesystem::remove(folder / "kept.txt");
        const auto result = run("compare");
        EXPECT_EQ(result.exitCode, c.complaint ? 1 : 0) << change;
        // CMake wraps its messages: compare with single blanks.
        std::string text;
        for (char ch : result.err)
            if (!std::isspace(static_cast<unsigned char>(ch)))
                text += ch;
            else if (!text.empty() && text.back() != ' ')
                text += ' ';
        if (c.complaint) {
            EXPECT_NE(text.find(c.complaint), std::string::npos) << result.err;
        }
    }
}

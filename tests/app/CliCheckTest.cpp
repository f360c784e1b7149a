// vireo-cli check: start-up without windows, judged by its exit status and the text it
// writes to standard error.

#include <gtest/gtest.h>

#include <filesystem>

#include "support/TestSupport.h"

namespace {

std::string ScriptDir(const std::string& name) {
    return (test::DataDir() / "scripts" / name).string();
}

} // namespace

TEST(CliCheck, ShippedScriptPassesSilently) {
    const auto result = test::RunCli({"--script-dir", VIREO_BUILT_SCRIPT_DIR, "check"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "");
}

TEST(CliCheck, AMissingBitmapImageIsNamedByItsPath) {
    // The source tree's script folder holds no generated artwork.
    const auto result = test::RunCli({"--script-dir", VIREO_SHIPPED_SCRIPT_DIR, "check"});
    EXPECT_EQ(result.exitCode, 1);
    const std::string firstLine = result.err.substr(0, result.err.find('\n'));
    EXPECT_EQ(firstLine.rfind("Unable to load the image of bitmap ", 0), 0u) << result.err;
    EXPECT_NE(firstLine.find(" : " + std::string(VIREO_SHIPPED_SCRIPT_DIR) + "/"), std::string::npos) << result.err;
    EXPECT_TRUE(firstLine.ends_with(".bmp")) << result.err;
}

TEST(CliCheck, WhatStandsInPlaceOfABitmapIsNamedAndNotWaitedOn) {
    test::ScriptFolderCopy scripts;
    std::filesystem::path victim;
    for (const auto& entry : std::filesystem::directory_iterator(scripts.Path()))
        if (entry.path().extension() == ".bmp" && (victim.empty() || entry.path() < victim))
            victim = entry.path();
    ASSERT_FALSE(victim.empty());
    for (test::NotAFile kind : {test::NotAFile::kFifo, test::NotAFile::kFolder, test::NotAFile::kEndless}) {
        std::filesystem::remove_all(victim);
        test::MakeNotAFile(kind, victim);
        const auto result = test::RunCli({"--script-dir", scripts.String(), "check"});
        EXPECT_FALSE(result.timedOut) << test::Describe(kind);
        EXPECT_EQ(result.exitCode, 1) << test::Describe(kind);
        EXPECT_NE(result.err.find(" : " + victim.string() + "\n"), std::string::npos) << result.err;
    }
}

TEST(CliCheck, ScriptBesideTheProgramIsFoundWithoutOptions) {
    const auto result = test::RunCli({"check"}, {"VIREO_SCRIPT_DIR="});
    EXPECT_EQ(result.exitCode, 0) << result.err;
}

TEST(CliCheck, EnvironmentNamesTheScriptFolderAndTheOptionOverridesIt) {
    const auto fromEnvironment =
        test::RunCli({"check"}, {"VIREO_SCRIPT_DIR=" + ScriptDir("invalid/misspelt-top-level-tag")});
    EXPECT_EQ(fromEnvironment.exitCode, 1);
    const auto fromOption = test::RunCli({"check", "--script-dir", ScriptDir("valid/minimal")},
                                         {"VIREO_SCRIPT_DIR=" + ScriptDir("invalid/misspelt-top-level-tag")});
    EXPECT_EQ(fromOption.exitCode, 0) << fromOption.err;
}

TEST(CliCheck, MissingScriptFolderReportsOnlyThatTheScriptCannotBeOpened) {
    test::TempDir dir;
    const auto result = test::RunCli({"--script-dir", (dir.Path() / "absent").string(), "check"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "Unable to open script.\n");
    EXPECT_EQ(result.out, "");
}

TEST(CliCheck, FolderWithoutTheScriptFileCannotBeOpened) {
    test::TempDir dir;
    dir.Write("OtherScript.xml", "<script></script>");
    const auto result = test::RunCli({"--script-dir", dir.Path().string(), "check"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "Unable to open script.\n");
}

TEST(CliCheck, MisspeltTopLevelTagNamesTheTagThenStops) {
    const auto result = test::RunCli({"--script-dir", ScriptDir("invalid/misspelt-top-level-tag"), "check"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "Unknown tag. : panell\nUnable to read script.\n");
}

TEST(CliCheck, DeclarationWithoutEncodingIsAnUnknownTag) {
    const auto result =
        test::RunCli({"--script-dir", ScriptDir("invalid/declaration-without-encoding"), "check"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "Unknown tag. : ?xml version=\"1.0\"?\nUnable to read script.\n");
}

TEST(CliCheck, UsageErrorsExitWithTwo) {
    EXPECT_EQ(test::RunCli({}).exitCode, 2);
    EXPECT_EQ(test::RunCli({"frobnicate"}).exitCode, 2);
    EXPECT_EQ(test::RunCli({"check", "extra"}).exitCode, 2);
    EXPECT_EQ(test::RunCli({"--script-dir"}).exitCode, 2);
    EXPECT_EQ(test::RunCli({"--bogus", "check"}).exitCode, 2);
}

TEST(CliCheck, HelpListsTheCommands) {
    const auto result = test::RunCli({"--help"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_NE(result.out.find("check"), std::string::npos);
}

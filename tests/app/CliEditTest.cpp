// vireo-cli edit: Edit menu commands by their menu text on a data file of the shipped
// script, offline.

#include <gtest/gtest.h>

#include <filesystem>

#include "support/TestSupport.h"

namespace {

class CliEdit : public testing::Test {
protected:
    void SetUp() override {
        std::filesystem::copy_file(test::ShippedScriptDir() / "VireoEditorScript.xml",
                                   dir.Path() / "VireoEditorScript.xml");
        ASSERT_EQ(Cli({"new", File("base.vro")}).exitCode, 0);
        // Part 3 plays user rhythm set 5, part 5 does not listen to MIDI.
        const auto set = Cli({"set", File("base.vro"), "qv.prti.part[2].patchBankSelectMsb=82",
                              "qv.prti.part[2].patchProgramNumber=5", "qv.prti.part[2].partLevel=33",
                              "qv.prti.part[4].receiveSwitch=0", "qv.pat[0].tone[1].toneLevel=44"});
        ASSERT_EQ(set.exitCode, 0) << set.err;
    }
    test::ProcessResult Cli(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {"--script-dir", dir.Path().string()});
        return test::RunCli(arguments);
    }
    std::string File(const std::string& name) const { return (dir.Path() / name).string(); }
    std::string Get(const std::string& file, const std::string& path) {
        const auto result = Cli({"get", file, path});
        EXPECT_EQ(result.exitCode, 0) << result.err;
        return result.out;
    }

    test::TempDir dir;
};

TEST_F(CliEdit, RunsCommandsInOrderAndSavesTheResult) {
    const auto edit = Cli({"edit", File("base.vro"), "--part", "3", "Initialize Rhythm Set",
                           "Copy Part Info Part 3", "Paste Part Info Part 5", "-o", File("out.vro")});
    ASSERT_EQ(edit.exitCode, 0) << edit.err;
    EXPECT_EQ(edit.out, "");
    const std::string out = File("out.vro");
    // Key 0's wave bytes 01 0A 02 and key 15's 02 06 0A, as four-bit nibbles.
    EXPECT_EQ(Get(out, "qv.rhy[2].tone[0].wmtWaveNumberL[0]"), "qv.rhy[2].tone[0].wmtWaveNumberL[0]=418\n");
    EXPECT_EQ(Get(out, "qv.rhy[2].tone[15].wmtWaveNumberL[0]"), "qv.rhy[2].tone[15].wmtWaveNumberL[0]=618\n");
    EXPECT_EQ(Get(out, "qv.rhy[2].tone[15].toneName"), "qv.rhy[2].tone[15].toneName=\"INIT TONE   \"\n");
    // Part 5 took part 3's settings but kept its receive switch.
    EXPECT_EQ(Get(out, "qv.prti.part[4].partLevel"), "qv.prti.part[4].partLevel=33\n");
    EXPECT_EQ(Get(out, "qv.prti.part[4].patchBankSelectMsb"), "qv.prti.part[4].patchBankSelectMsb=82\n");
    EXPECT_EQ(Get(out, "qv.prti.part[4].receiveSwitch"), "qv.prti.part[4].receiveSwitch=0\n");
    // The input is untouched.
    EXPECT_EQ(Get(File("base.vro"), "qv.prti.part[4].partLevel"), "qv.prti.part[4].partLevel=100\n");

    // In place, on part 1 (the default): Copy Patch Tone 2, Paste Patch Tone 4.
    const auto tones = Cli({"edit", File("base.vro"), "Copy Patch Tone 2", "Paste Patch Tone 4"});
    ASSERT_EQ(tones.exitCode, 0) << tones.err;
    EXPECT_EQ(Get(File("base.vro"), "qv.pat[0].tone[3].toneLevel"), "qv.pat[0].tone[3].toneLevel=44\n");
    EXPECT_EQ(Get(File("base.vro"), "qv.pat[0].tone[2].toneLevel"), "qv.pat[0].tone[2].toneLevel=127\n");
}

TEST_F(CliEdit, InitializePartInfoLetsPart10InitializeItsRhythmSet) {
    // Part 10 plays a patch until Initialize Part Info gives it the first user rhythm set.
    EXPECT_EQ(Cli({"edit", File("base.vro"), "--part", "10", "Initialize Rhythm Set"}).exitCode, 1);
    const auto edit =
        Cli({"edit", File("base.vro"), "--part", "10", "Initialize Part Info", "Initialize Rhythm Set"});
    ASSERT_EQ(edit.exitCode, 0) << edit.err;
    EXPECT_EQ(Get(File("base.vro"), "qv.prti.part[9].patchBankSelectMsb"),
              "qv.prti.part[9].patchBankSelectMsb=82\n");
    EXPECT_EQ(Get(File("base.vro"), "qv.prti.part[4].receiveSwitch"), "qv.prti.part[4].receiveSwitch=1\n");
    EXPECT_EQ(Get(File("base.vro"), "qv.rhy[9].tone[3].wmtWaveNumberL[0]"),
              "qv.rhy[9].tone[3].wmtWaveNumberL[0]=460\n");
}

TEST_F(CliEdit, RefusedCommandsNameTheirRuleAndSaveNothing) {
    struct Case {
        std::vector<std::string> arguments;
        std::string error;
    };
    const Case cases[] = {
        {{"--part", "1", "Initialize Rhythm Set"},
         "Initialize Rhythm Set needs the part to play a rhythm set.\n"},
        {{"--part", "3", "Initialize Patch"}, "Initialize Patch needs the part to play a patch.\n"},
        {{"--part", "3", "Copy Patch Tone 1"}, "Copy Patch Tone 1 needs the part to play a patch.\n"},
        {{"Paste Patch Tone 1"}, "Paste Patch Tone 1 needs something copied first.\n"},
        {{"Copy Part Info Part 1", "Frobnicate"}, "Unknown edit command: Frobnicate\n"},
        {{"--part", "17", "Initialize Part Info"}, "--part takes a part from 1 to 16\n"},
        {{"--part", "2", "--rhythm-tone", "16", "Initialize Part Info"}, "--rhythm-tone out of range.\n"},
        {{"--part"}, "--part takes a number\n"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> arguments = {"edit", File("base.vro"), "-o", File("refused.vro")};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        const auto result = Cli(arguments);
        EXPECT_EQ(result.exitCode, 1) << c.error;
        EXPECT_EQ(result.err, c.error);
        EXPECT_FALSE(std::filesystem::exists(File("refused.vro"))) << c.error;
    }
    EXPECT_EQ(Cli({"edit", File("base.vro")}).exitCode, 1);
    EXPECT_EQ(Cli({"edit", File("absent.vro"), "Initialize Part Info"}).exitCode, 1);
}

// Each --part and --rhythm-tone holds for the commands after it, up to the next one.
TEST_F(CliEdit, PartsAndKeysApplyToTheCommandsThatFollowThemInOrder) {
    ASSERT_EQ(Cli({"set", File("base.vro"), "qv.rhy[2].tone[4].toneLevel=12"}).exitCode, 0);
    const auto edit = Cli({"edit", File("base.vro"), "--part", "1", "Copy Patch Tone 2", "--part", "4",
                           "Paste Patch Tone 3", "--part", "3", "--rhythm-tone", "4", "Copy Rhythm Set Key",
                           "--rhythm-tone", "6", "Paste Rhythm Set Key", "--part", "2", "Initialize Patch"});
    ASSERT_EQ(edit.exitCode, 0) << edit.err;
    const struct {
        const char* path;
        const char* value;
    } cases[] = {
        {"qv.pat[3].tone[2].toneLevel", "44"}, // part 1's tone 2 pasted into part 4's tone 3
        {"qv.pat[0].tone[1].toneLevel", "44"}, {"qv.pat[1].tone[2].toneLevel", "127"},
        {"qv.rhy[2].tone[6].toneLevel", "12"}, // key 4 pasted into key 6 of part 3
        {"qv.rhy[2].tone[4].toneLevel", "12"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Get(File("base.vro"), c.path), std::string(c.path) + "=" + c.value + "\n");
}

TEST_F(CliEdit, RhythmToneSelectsTheKeyTheKeyCommandsWorkOn) {
    ASSERT_EQ(Cli({"set", File("base.vro"), "qv.rhy[2].tone[4].toneLevel=12"}).exitCode, 0);
    const auto edit = Cli({"edit", File("base.vro"), "--part", "3", "--rhythm-tone", "4",
                           "Copy Rhythm Set Key", "Initialize Rhythm Set Key"});
    ASSERT_EQ(edit.exitCode, 0) << edit.err;
    EXPECT_EQ(Get(File("base.vro"), "qv.rhy[2].tone[4].toneLevel"), "qv.rhy[2].tone[4].toneLevel=127\n");
    const auto paste =
        Cli({"edit", File("base.vro"), "--part", "3", "--rhythm-tone", "6", "Paste Rhythm Set Key"});
    EXPECT_EQ(paste.exitCode, 1);
}

} // namespace

// Whatever stands where the names file belongs is no names file: one user bank of each kind.
TEST_F(CliEdit, ANamesFileThatIsNotAFileCountsAsNone) {
    for (test::NotAFile kind : test::kNotAFiles) {
        const auto names = dir.Path() / "UserName.txt";
        std::filesystem::remove_all(names);
        test::MakeNotAFile(kind, names);
        const auto edit = Cli({"edit", File("base.vro"), "--part", "3", "Initialize Rhythm Set", "-o", File("n.vro")});
        EXPECT_FALSE(edit.timedOut) << test::Describe(kind);
        EXPECT_EQ(edit.exitCode, 0) << test::Describe(kind) << edit.err;
        EXPECT_EQ(Get(File("n.vro"), "qv.rhy[2].tone[15].toneName"), "qv.rhy[2].tone[15].toneName=\"INIT TONE   \"\n");
    }
}

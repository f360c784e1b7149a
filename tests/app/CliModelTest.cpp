// vireo-cli paths, new, get and set on a small test script.

#include <gtest/gtest.h>

#include "support/TestSupport.h"

namespace {

class CliModel : public testing::Test {
protected:
    test::ProcessResult Cli(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(),
                         {"--script-dir", (test::DataDir() / "scripts/valid/model").string()});
        return test::RunCli(arguments);
    }
    std::string NewFile(const std::string& name) {
        const std::string path = (dir.Path() / name).string();
        EXPECT_EQ(Cli({"new", path}).exitCode, 0);
        return path;
    }

    test::TempDir dir;
};

} // namespace

TEST_F(CliModel, PathsListsAddressSizeTypeRangeAndDefaultOfEveryValue) {
    const auto result = Cli({"paths"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "qv.prti.common.name\t01 00 00 00\t8\tstring\t0\t127\t\"Init\"\n"
                          "qv.prti.part[0].partLevel\t01 00 01 00\t1\tint1x7\t0\t127\t100\n"
                          "qv.prti.part[0].partPan\t01 00 01 01\t1\tint1x7\t0\t127\t64\n"
                          "qv.prti.part[0].partTune\t01 00 01 02\t2\tint2x7\t0\t1000\t500\n"
                          "qv.prti.part[1].partLevel\t01 00 01 10\t1\tint1x7\t0\t127\t100\n"
                          "qv.prti.part[1].partPan\t01 00 01 11\t1\tint1x7\t0\t127\t64\n"
                          "qv.prti.part[1].partTune\t01 00 01 12\t2\tint2x7\t0\t1000\t500\n"
                          "vs.monitor.midiMessage\t7F 00 00 00\t128\tstring\t0\t127\t\"\"\n");
}

TEST_F(CliModel, PathsFiltersByPrefix) {
    const auto result = Cli({"paths", "qv.prti.part[1]."});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(std::count(result.out.begin(), result.out.end(), '\n'), 3);
    EXPECT_EQ(Cli({"paths", "nothing"}).out, "");
}

TEST_F(CliModel, NewFileHoldsEveryDefault) {
    const std::string file = NewFile("new.vro");
    const auto result = Cli({"get", file, "qv.prti.part[1].partTune", "qv.prti.common.name"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "qv.prti.part[1].partTune=500\nqv.prti.common.name=\"Init    \"\n");
    EXPECT_EQ(test::ReadFile(file).size(), 256u + 8 + 4 + 4);
}

TEST_F(CliModel, SetEditsInPlaceOrIntoAnotherFile) {
    const std::string file = NewFile("set.vro");
    const std::string copy = (dir.Path() / "copy.vro").string();
    EXPECT_EQ(Cli({"set", file, "qv.prti.part[0].partLevel=7", "qv.prti.common.name=\"Bass\"", "-o", copy})
                  .exitCode,
              0);
    EXPECT_EQ(Cli({"get", copy, "qv.prti.part[0].partLevel", "qv.prti.common.name"}).out,
              "qv.prti.part[0].partLevel=7\nqv.prti.common.name=\"Bass    \"\n");
    EXPECT_EQ(Cli({"get", file, "qv.prti.part[0].partLevel"}).out, "qv.prti.part[0].partLevel=100\n");

    EXPECT_EQ(Cli({"set", file, "qv.prti.part[1].partTune=1000"}).exitCode, 0);
    EXPECT_EQ(Cli({"get", file, "qv.prti.part[1].partTune"}).out, "qv.prti.part[1].partTune=1000\n");
}

TEST_F(CliModel, BadAssignmentsFailTheWholeCommandBeforeAnythingIsWritten) {
    const std::string file = NewFile("bad.vro");
    const std::string before = test::ReadFile(file);
    struct Case {
        std::string assignment;
        std::string message;
    };
    const Case cases[] = {
        {"qv.prti.part[9].partLevel=1", "Unknown value path: qv.prti.part[9].partLevel\n"},
        {"qv.prti.part[0].partTune=1001", "Value out of range [0,1000]: qv.prti.part[0].partTune\n"},
        {"qv.prti.part[0].partTune=-1", "Value out of range [0,1000]: qv.prti.part[0].partTune\n"},
        {"qv.prti.common.name=\"Too long!\"", "Text longer than 8 bytes: qv.prti.common.name\n"},
        {"qv.prti.part[0].partLevel=12x", "Expected a decimal number: qv.prti.part[0].partLevel\n"},
        {"qv.prti.common.name=Bass", "Expected a text in double quotes: qv.prti.common.name\n"},
        {"vs.monitor.midiMessage=\"x\"",
         "Value is not kept in data files (only qv is): vs.monitor.midiMessage\n"},
        {"qv.prti.common.name=\"Caf\xc3\xa9\"", "Text holds the byte C3, which the device cannot store (only "
                                                 "7-bit characters): qv.prti.common.name\n"},
    };
    for (const Case& c : cases) {
        const auto result = Cli({"set", file, "qv.prti.part[0].partLevel=1", c.assignment});
        EXPECT_EQ(result.exitCode, 1) << c.assignment;
        EXPECT_EQ(result.err, c.message);
        EXPECT_EQ(test::ReadFile(file), before) << c.assignment;
    }
}

TEST_F(CliModel, GetRefusesValuesTheFileDoesNotHold) {
    const std::string file = NewFile("view.vro");
    const auto result = Cli({"get", file, "qv.prti.part[0].partLevel", "vs.monitor.midiMessage"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "Value is not kept in data files (only qv is): vs.monitor.midiMessage\n");
}

TEST_F(CliModel, FilesThatDoNotLoadPrintTheirMessage) {
    const auto missing = Cli({"get", (dir.Path() / "missing.vro").string(), "qv.prti.part[0].partLevel"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err, "This file could not be loaded.\n");

    const auto foreign = dir.Write("foreign.vro", "SomethingElse000" + std::string(300, ' '));
    const auto result = Cli({"set", foreign.string(), "qv.prti.part[0].partLevel=1"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "Cannot read files of this type.\n");
    EXPECT_EQ(test::ReadFile(foreign), "SomethingElse000" + std::string(300, ' '));
}

TEST(CliShippedScript, NewSetAndGetRoundTripOnTheDeviceTree) {
    test::TempDir dir;
    const std::string file = (dir.Path() / "state.vro").string();
    const std::string scriptDir = test::ShippedScriptDir().string();
    ASSERT_EQ(test::RunCli({"--script-dir", scriptDir, "new", file}).exitCode, 0);
    const auto set = test::RunCli({"--script-dir", scriptDir, "set", file, "qv.prti.part[15].partLevel=90",
                                   "qv.pat[3].common.patchName=\"Warm Pad\""});
    ASSERT_EQ(set.exitCode, 0) << set.err;
    const auto get = test::RunCli(
        {"--script-dir", scriptDir, "get", file, "qv.prti.part[15].partLevel", "qv.pat[3].common.patchName"});
    EXPECT_EQ(get.out, "qv.prti.part[15].partLevel=90\nqv.pat[3].common.patchName=\"Warm Pad    \"\n");

    // View state is not saved, so setting it would silently do nothing.
    const std::string before = test::ReadFile(file);
    const auto view = test::RunCli({"--script-dir", scriptDir, "set", file, "vs.control.partId=1"});
    EXPECT_EQ(view.exitCode, 1);
    EXPECT_EQ(view.err, "Value is not kept in data files (only qv is): vs.control.partId\n");
    EXPECT_EQ(test::ReadFile(file), before);
}

// What changes the model runs the editor's handlers, as an edit or as data from the device
// would; a program the user banks do not know is saved as it was.
TEST(CliShippedScript, SetAndReceiveRunTheEditorsHandlers) {
    test::TempDir dir;
    const std::string file = (dir.Path() / "state.vro").string();
    const std::string scriptDir = test::ShippedScriptDir().string();
    const auto cli = [&](std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {"--script-dir", scriptDir});
        return test::RunCli(arguments);
    };
    ASSERT_EQ(cli({"new", file}).exitCode, 0);
    const struct {
        std::vector<std::string> command;
        std::string out;
        std::vector<std::string> values; // PATH=VALUE after the command
    } cases[] = {
        // The fifteen other parts keep 4 voices each: 4 are left.
        {{"set", file, "qv.prti.common.voiceReserve[0]=64"}, "", {"qv.prti.common.voiceReserve[0]=4"}},
        {{"set", file, "qv.pat[2].tmt.tmtVelocityRangeUpper[1]=30",
          "qv.pat[2].tmt.tmtVelocityRangeLower[1]=80"},
         "",
         {"qv.pat[2].tmt.tmtVelocityRangeUpper[1]=80", "qv.pat[2].tmt.tmtVelocityRangeLower[1]=80"}},
        {{"set", file, "qv.prti.part[1].patchBankSelectLsb=1", "qv.prti.part[1].patchProgramNumber=1"},
         "",
         {"qv.prti.part[1].patchBankSelectLsb=1", "qv.prti.part[1].patchProgramNumber=1"}},
        // Controller 87 (auto sync) with 64 on channel 1, controller 7 (level) with 55 on channel 3.
        {{"receive", file, "B0 57 40", "B2 07 37"},
         "qvMidi.ch[0].cc[87]\nqvMidi.ch[0].received\nqv.prti.part[0].partAutoSyncSwitch\n"
         "qvMidi.ch[2].cc[7]\nqvMidi.ch[2].cc[39]\nqvMidi.ch[2].cc2[7]\nqvMidi.ch[2].received\n"
         "qv.prti.part[2].partLevel\n",
         {"qv.prti.part[0].partAutoSyncSwitch=1", "qv.prti.part[2].partLevel=55",
          "qv.prti.part[1].patchProgramNumber=1"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command[0] + " " + c.command[2]);
        const auto result = cli(c.command);
        ASSERT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(result.out, c.out);
        for (const std::string& value : c.values) {
            const auto get = cli({"get", file, value.substr(0, value.find('='))});
            EXPECT_EQ(get.out, value + "\n");
        }
    }
}

TEST_F(CliModel, SetWithSysexPrintsTheDataSetOfTheWholeLeafOfEachEdit) {
    const std::string file = NewFile("sysex.vro");
    // part[0] at 01 00 01 00 holds level 7, pan 64 and tune 500 (03 74); the checksum
    // makes the 7-bit sum of address and data zero.
    const auto result = Cli({"set", file, "qv.prti.part[0].partLevel=7", "--sysex"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "F0 41 10 00 6A 12 01 00 01 00 07 40 03 74 40 F7\n");

    const auto two = Cli({"set", file, "qv.prti.part[1].partLevel=1", "qv.prti.common.name=\"A\"", "--sysex",
                          "--device-id", "17"});
    EXPECT_EQ(two.exitCode, 0) << two.err;
    EXPECT_EQ(two.out, "F0 41 11 00 6A 12 01 00 01 10 01 40 03 74 36 F7\n"
                       "F0 41 11 00 6A 12 01 00 00 00 41 20 20 20 20 20 20 20 5E F7\n");
}

TEST_F(CliModel, DeviceIdsOutsideSixteenToThirtyOneAreRefused) {
    const std::string file = NewFile("id.vro");
    const auto result = Cli({"set", file, "qv.prti.part[0].partLevel=7", "--sysex", "--device-id", "32"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "");
}

TEST_F(CliModel, ReceiveAppliesAValidDataSetAndIgnoresACorruptedOne) {
    const std::string file = NewFile("receive.vro");
    const std::string out = (dir.Path() / "received.vro").string();
    const auto result = Cli({"receive", file, "F0 41 10 00 6A 12 01 00 01 10 05 40 03 74 32 F7",
                             "F0 41 10 00 6A 12 01 00 01 00 09 40 03 74 00 F7", "-o", out});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "qv.prti.part[1].partLevel\nqv.prti.part[1].partPan\nqv.prti.part[1].partTune\n");
    EXPECT_EQ(Cli({"get", out, "qv.prti.part[1].partLevel", "qv.prti.part[0].partLevel"}).out,
              "qv.prti.part[1].partLevel=5\nqv.prti.part[0].partLevel=100\n");
}

TEST_F(CliModel, ReceiveDropsMessagesForAnotherDeviceId) {
    const std::string file = NewFile("other.vro");
    const auto result = Cli({"receive", file, "F0 41 11 00 6A 12 01 00 01 10 05 40 03 74 32 F7"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, "");
    const auto matching =
        Cli({"receive", file, "F0 41 11 00 6A 12 01 00 01 10 05 40 03 74 32 F7", "--device-id", "17"});
    EXPECT_EQ(matching.out, "qv.prti.part[1].partLevel\nqv.prti.part[1].partPan\nqv.prti.part[1].partTune\n");
}

TEST_F(CliModel, ReceiveRefusesTextThatIsNotHexBytes) {
    const std::string file = NewFile("hex.vro");
    const std::string before = test::ReadFile(file);
    const auto result = Cli({"receive", file, "F0 41 XY F7"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "Invalid hex message: F0 41 XY F7\n");
    EXPECT_EQ(test::ReadFile(file), before);
}

// vireo-cli against the virtual device: listing ports, and a whole edit state written to
// the device and read back in another run, the device keeping its memory in between.

#include <gtest/gtest.h>

#include "support/TestSupport.h"
#include "virtual/CVirtualDevice.h"

namespace {

const char* const kDevice = "Vireo Virtual Device";

class CliPorts : public testing::Test {
protected:
    test::ProcessResult Run(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(),
                         {"--script-dir", (test::DataDir() / "scripts/valid/model").string()});
        return test::RunCli(arguments,
                            {"VIREO_VIRTUAL_DEVICE_MEMORY=" + (dir.Path() / "memory.bin").string()});
    }
    std::string File(const char* name) const { return (dir.Path() / name).string(); }

    test::TempDir dir;
};

TEST_F(CliPorts, TheVirtualDeviceIsListedBothWays) {
    const auto result = Run({"ports"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "Inputs:\n  Vireo Virtual Device\nOutputs:\n  Vireo Virtual Device\n");
}

TEST_F(CliPorts, WriteThenReadRoundTripsTheWholeTreeThroughTheDevice) {
    ASSERT_EQ(Run({"new", File("a.vro")}).exitCode, 0);
    ASSERT_EQ(
        Run({"set", File("a.vro"), "qv.prti.part[1].partLevel=17", "qv.prti.common.name=\"Round\""}).exitCode,
        0);
    const auto write = Run({"write", "--in", kDevice, "--out", kDevice, File("a.vro")});
    ASSERT_EQ(write.exitCode, 0) << write.err;
    EXPECT_NE(write.err.find("Writing: 100%"), std::string::npos);

    const auto read = Run({"read", "--in", kDevice, "--out", kDevice, File("b.vro")});
    ASSERT_EQ(read.exitCode, 0) << read.err;
    EXPECT_EQ(test::ReadFile(File("a.vro")), test::ReadFile(File("b.vro")));
    const auto get = Run({"get", File("b.vro"), "qv.prti.part[1].partLevel"});
    EXPECT_EQ(get.out, "qv.prti.part[1].partLevel=17\n");
}

TEST_F(CliPorts, MissingPortsAndBadArgumentsFailWithAMessage) {
    ASSERT_EQ(Run({"new", File("a.vro")}).exitCode, 0);
    const auto missing = Run({"read", "--in", "No Such Port", "--out", kDevice, File("b.vro")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err, "Unable to open the MIDI input port: No Such Port\n");
    EXPECT_FALSE(std::filesystem::exists(File("b.vro")));
    EXPECT_EQ(Run({"write", "--in", kDevice, File("a.vro")}).exitCode, 1);
}

TEST_F(CliPorts, TheVirtualDeviceAnswersToTheIdGivenAsUsersCountIt) {
    ASSERT_EQ(Run({"new", File("a.vro")}).exitCode, 0);
    // 18 as users count is the byte 17 (0x11) that --device-id takes.
    const auto read = Run({"--virtual-device-id", "18", "read", "--in", kDevice, "--out", kDevice,
                           "--device-id", "17", File("b.vro")});
    ASSERT_EQ(read.exitCode, 0) << read.err;
    EXPECT_EQ(test::ReadFile(File("a.vro")), test::ReadFile(File("b.vro")));

    for (const char* id : {"16", "33", "0", "abc", "", "018"}) {
        const auto refused = Run({"--virtual-device-id", id, "ports"});
        EXPECT_EQ(refused.exitCode, 1) << id;
        EXPECT_EQ(refused.err, std::string("vireo-cli: --virtual-device-id takes a device ID from 17 to 32, not \"") +
                                   id + "\".\n");
        EXPECT_EQ(refused.out, "");
    }
    EXPECT_EQ(Run({"--virtual-device-id=32", "ports"}).exitCode, 0);
}

TEST_F(CliPorts, NamesAreStoredInTheScriptFolderAndPrintedInTheFilesOrder) {
    std::filesystem::copy_file(test::ShippedScriptDir() / "VireoEditorScript.xml",
                               dir.Path() / "VireoEditorScript.xml");
    const auto names =
        test::RunCli({"--script-dir", dir.Path().string(), "names", "--in", kDevice, "--out", kDevice},
                     {"VIREO_VIRTUAL_DEVICE_MEMORY=" + File("memory.bin")});
    ASSERT_EQ(names.exitCode, 0) << names.err;
    const std::string file = test::ReadFile(dir.Path() / "UserName.txt");
    ASSERT_EQ(file.rfind("\"Vireo Contents Name File version 1,0,0,0\"\n\n", 0), 0u);
    // One printed line per entry line, with the label's padding cut.
    size_t entries = 0, printed = 0;
    for (size_t at = file.find("\n\n") + 2; at < file.size(); at = file.find('\n', at) + 1)
        ++entries;
    for (size_t at = 0; at < names.out.size(); at = names.out.find('\n', at) + 1) {
        EXPECT_TRUE(names.out.compare(at, 6, "Patch\t") == 0 || names.out.compare(at, 7, "Rhythm\t") == 0);
        ++printed;
    }
    EXPECT_EQ(printed, entries);

    // Every entry of the device's catalog, in bank order: 130 user patches running on
    // into LSB 1, card banks of 128 and 20 at LSBs 32 and 33, 16 + 8 rhythm sets.
    CVirtualDevice device;
    ASSERT_TRUE(device.Create(test::ReadFile(test::ShippedScriptDir() / "VireoEditorScript.xml"), nullptr));
    const CVirtualCatalog& catalog = device.Catalog();
    std::string expected;
    char numbers[64];
    for (int area = 0; area < CVirtualCatalog::kAreaCount; ++area)
        for (int bank = 0; bank < catalog.BankCount(CVirtualCatalog::Area(area)); ++bank) {
            const auto& entries = catalog.Bank(CVirtualCatalog::Area(area), bank);
            for (size_t i = 0; i < entries.size(); ++i) {
                const auto program = CVirtualCatalog::ProgramIdOf(CVirtualCatalog::Area(area), bank, int(i));
                std::snprintf(numbers, sizeof numbers, "\t%d\t%d\t%d\t%d\t", program[0], program[1], program[2],
                              entries[i].category);
                expected += (area >= CVirtualCatalog::RhythmSetUser ? "Rhythm" : "Patch") + std::string(numbers) +
                            entries[i].name + "\n";
            }
        }
    EXPECT_EQ(names.out, expected);
    const char* const lines[] = {"\nPatch\t81\t0\t127\t",  "\nPatch\t81\t1\t0\t",         "\nPatch\t81\t1\t1\t",
                                 "\nPatch\t81\t32\t127\t", "\nPatch\t81\t33\t19\t",       "\nRhythm\t82\t0\t15\t39\t",
                                 "\nRhythm\t82\t32\t7\t39\t"};
    for (const char* line : lines)
        EXPECT_NE(names.out.find(line), std::string::npos) << line;
    EXPECT_EQ(names.out.find("\nPatch\t81\t1\t2\t"), std::string::npos);
    EXPECT_EQ(names.out.find("\nPatch\t81\t33\t20\t"), std::string::npos);
    EXPECT_EQ(names.out.find("\nRhythm\t82\t0\t16\t"), std::string::npos);

    // A second run, the file and the memory present, prints the same.
    const auto again =
        test::RunCli({"--script-dir", dir.Path().string(), "names", "--in", kDevice, "--out", kDevice},
                     {"VIREO_VIRTUAL_DEVICE_MEMORY=" + File("memory.bin")});
    ASSERT_EQ(again.exitCode, 0) << again.err;
    EXPECT_EQ(again.out, names.out);

    // With the samples: every user and card sample after the names, as the device lists
    // them, stereo halves as kinds 1 and 2 of one size.
    const auto samples = test::RunCli(
        {"--script-dir", dir.Path().string(), "names", "--in", kDevice, "--out", kDevice, "--samples"},
        {"VIREO_VIRTUAL_DEVICE_MEMORY=" + File("memory.bin")});
    ASSERT_EQ(samples.exitCode, 0) << samples.err;
    std::string sampleLines;
    int halves[3] = {0, 0, 0};
    for (bool card : {false, true})
        for (const CVirtualCatalog::Sample& sample : catalog.Samples(card)) {
            std::snprintf(numbers, sizeof numbers, "\t83\t%d\t%d\t%d\t%u\t", card ? 32 : 0, sample.number,
                          int(sample.kind), unsigned(sample.size));
            sampleLines += "Sample" + std::string(numbers) + sample.name + "\n";
            if (sample.kind != CVirtualCatalog::SampleKind::None)
                ++halves[std::min(2, int(sample.kind))];
        }
    EXPECT_EQ(samples.out, expected + sampleLines);
    EXPECT_GT(halves[1], 0);
    EXPECT_EQ(halves[1], halves[2]);

    EXPECT_EQ(Run({"names", "--in", kDevice}).exitCode, 1);
    EXPECT_EQ(Run({"names", "--in", kDevice, "--out", kDevice, "--bogus"}).exitCode, 1);
}

} // namespace

namespace {

// Backup and restore run the device layer, which needs the whole editor script.
class CliBackup : public testing::Test {
protected:
    test::ProcessResult Run(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {"--script-dir", script.String()});
        return test::RunCli(arguments,
                            {"VIREO_VIRTUAL_DEVICE_MEMORY=" + (dir.Path() / "memory.bin").string()});
    }
    std::string File(const char* name) const { return (dir.Path() / name).string(); }

    test::TempDir dir;
    test::ScriptFolderCopy script;
};

TEST_F(CliBackup, RestoreVerifyThenBackupRoundTripsTheWholeDevice) {
    ASSERT_EQ(Run({"new", File("a.vro")}).exitCode, 0);
    ASSERT_EQ(Run({"set", File("a.vro"), "qv.system.masterLevel=77", "qv.prti.part[1].partLevel=17",
                   "qv.setup.metronomeLevel=5"})
                  .exitCode,
              0);
    const auto restore = Run({"restore", "--in", kDevice, "--out", kDevice, "--verify", File("a.vro")});
    ASSERT_EQ(restore.exitCode, 0) << restore.err;
    EXPECT_NE(restore.err.find("Writing: 100%"), std::string::npos);
    EXPECT_NE(restore.err.find("Verifying: 100%"), std::string::npos);

    const auto backup = Run({"backup", "--in", kDevice, "--out", kDevice, File("b.vro")});
    ASSERT_EQ(backup.exitCode, 0) << backup.err;
    EXPECT_NE(backup.err.find("Reading: 100%"), std::string::npos);
    EXPECT_EQ(test::ReadFile(File("a.vro")), test::ReadFile(File("b.vro")));
    // Reading leaves the names file alone.
    EXPECT_FALSE(std::filesystem::exists(script.Path() / "UserName.txt"));

    EXPECT_EQ(Run({"backup", "--in", kDevice, File("c.vro")}).exitCode, 1);
    EXPECT_EQ(Run({"restore", "--in", kDevice, "--out", kDevice, "--verify", File("missing.vro")}).exitCode, 1);
    EXPECT_FALSE(std::filesystem::exists(File("c.vro")));
}

// The virtual device's faults, chosen on the command line, reach every failure path; each
// failure says what the editor would say and then what failed.
TEST_F(CliBackup, TheVirtualDevicesFaultsShowEveryFailureWithItsReason) {
    ASSERT_EQ(Run({"new", File("a.vro")}).exitCode, 0);
    const std::string noReply = "Unable to read/write data.";
    const struct {
        const char* faults;
        const char* command;
        int exitCode;
        std::vector<std::string> lines; // found in standard error, in this order
    } cases[] = {
        {"identity",
         "backup",
         1,
         {"It appears that the Vireo is unconnected or connected incorrectly.",
          "\nThe identity reply names another model: 14 02 00 00 00 04 00 00.\n"}},
        {"silent", "backup", 1, {noReply, "\nNo answer to the identity request for device ID 17.\n"}},
        {"drop=1",
         "restore",
         1,
         {noReply, "\nNo answer to the request for com.utility.command.patchUserBankInformation"}},
        // The first byte of every data set is stored with its lowest bit flipped: sound
        // mode 1 comes back as 0.
        {"corrupt=0",
         "restore",
         1,
         {"The device holds other data at qv.setup.\n",
          "The first byte that differs is at address 01 00 00 00: sent 01, read 00.\n"}},
        {"leave-pc-mode,modify-error,corrupt=5000", "restore", 0, {"Verifying: 100%"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.faults);
        std::vector<std::string> arguments = {
            std::string("--virtual-device-fault=") + c.faults, c.command, "--in", kDevice, "--out", kDevice};
        if (std::string(c.command) == "restore")
            arguments.push_back("--verify");
        arguments.push_back(File(std::string(c.command) == "backup" ? "b.vro" : "a.vro"));
        std::filesystem::remove(File("b.vro"));
        std::filesystem::remove(dir.Path() / "memory.bin");
        const auto result = Run(arguments);
        EXPECT_EQ(result.exitCode, c.exitCode) << result.err;
        size_t at = 0;
        for (const std::string& line : c.lines) {
            at = result.err.find(line, at);
            ASSERT_NE(at, std::string::npos) << line << " in\n" << result.err;
        }
        EXPECT_EQ(std::filesystem::exists(File("b.vro")),
                  c.exitCode == 0 && std::string(c.command) == "backup");
    }
    // The fault's own form: the space form too, and nothing unknown.
    EXPECT_EQ(Run({"--virtual-device-fault", "silent", "ports"}).exitCode, 0);
    const auto unknown = Run({"--virtual-device-fault=identity,bogus", "ports"});
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_EQ(unknown.err,
              "vireo-cli: --virtual-device-fault takes a comma-separated list of identity, silent, "
              "leave-pc-mode, modify-error, drop=N (N from 1) and corrupt=N (N from 0), not \"bogus\".\n");
    EXPECT_EQ(unknown.out, "");
}

// A part whose program no bank of the device holds: everything else is restored, and the
// user is told which part was left out.
TEST_F(CliBackup, RestoreSkipsAPartInNoBankAndSaysSo) {
    ASSERT_EQ(Run({"new", File("a.vro")}).exitCode, 0);
    ASSERT_EQ(
        Run({"set", File("a.vro"), "qv.prti.part[3].patchBankSelectLsb=5", "qv.pat[5].common.patchLevel=9"})
            .exitCode,
        0);
    const auto restore = Run({"restore", "--in", kDevice, "--out", kDevice, "--verify", File("a.vro")});
    EXPECT_EQ(restore.exitCode, 0) << restore.err;
    EXPECT_NE(
        restore.err.find("Part 4: the program is not in the device's banks; their patch or rhythm set was "
                         "not sent.\n"),
        std::string::npos)
        << restore.err;
    EXPECT_NE(restore.err.find("Verifying: 100%"), std::string::npos);
    const auto backup = Run({"backup", "--in", kDevice, "--out", kDevice, File("b.vro")});
    ASSERT_EQ(backup.exitCode, 0) << backup.err;
    EXPECT_NE(
        backup.err.find("Part 4: the program is not in the device's banks; their patch or rhythm set was "
                        "not read.\n"),
        std::string::npos)
        << backup.err;
    for (const char* path : {"qv.prti.part[3].patchBankSelectLsb=5\n", "qv.pat[5].common.patchLevel=9\n"}) {
        const std::string name(path, std::string(path).find('='));
        EXPECT_EQ(Run({"get", File("b.vro"), name}).out, path);
    }
}

} // namespace

// vireo-cli export-smf and import-smf: the device layer's export and import on data files
// of the shipped script, offline and through the virtual device, and the example files
// the build exports.

#include <gtest/gtest.h>

#include <filesystem>

#include "support/TestSupport.h"

namespace {

const char* const kDevice = "Vireo Virtual Device";

class CliSmfTransfer : public testing::Test {
protected:
    void SetUp() override {
        std::filesystem::copy_file(test::ShippedScriptDir() / "VireoEditorScript.xml",
                                   dir.Path() / "VireoEditorScript.xml");
        ASSERT_EQ(Cli({"new", File("base.vro")}).exitCode, 0);
        ASSERT_EQ(Cli({"new", File("empty.vro")}).exitCode, 0);
        // Part 2 plays user patch 7, part 3 user rhythm set 5.
        const auto set = Cli({"set", File("base.vro"), "qv.prti.part[1].patchProgramNumber=7",
                              "qv.prti.part[1].partLevel=33", "qv.prti.part[2].patchBankSelectMsb=82",
                              "qv.prti.part[2].patchProgramNumber=5", "qv.pat[1].common.patchName=\"Cli Patch\"",
                              "qv.rhy[2].common.rhythmLevel=55", "qv.pat[15].tone[3].toneLevel=44"});
        ASSERT_EQ(set.exitCode, 0) << set.err;
    }
    test::ProcessResult Cli(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {"--script-dir", dir.Path().string()});
        return test::RunCli(arguments, {"VIREO_VIRTUAL_DEVICE_MEMORY=" + File("memory.bin")});
    }
    std::string File(const std::string& name) const { return (dir.Path() / name).string(); }
    std::string Get(const std::string& file, const std::string& path) {
        const auto result = Cli({"get", file, path});
        EXPECT_EQ(result.exitCode, 0) << result.err;
        return result.out;
    }

    test::TempDir dir;
};

TEST_F(CliSmfTransfer, AnExportImportedIntoDefaultsGivesTheSameValues) {
    struct Case {
        std::vector<std::string> options;
        std::string patchName, rhythmLevel, toneLevel;
    };
    const Case cases[] = {
        {{}, "\"INIT PATCH  \"", "127", "127"},
        {{"--with-patches"}, "\"Cli Patch   \"", "55", "44"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> arguments = {"export-smf", File("base.vro"), File("out.mid")};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        const auto exported = Cli(arguments);
        ASSERT_EQ(exported.exitCode, 0) << exported.err;
        EXPECT_EQ(exported.out + exported.err, "");
        EXPECT_EQ(test::ReadFile(File("out.mid")).substr(0, 4), "MThd");

        const auto imported = Cli({"import-smf", File("out.mid"), File("empty.vro"), "-o", File("in.vro")});
        ASSERT_EQ(imported.exitCode, 0) << imported.err;
        const std::string in = File("in.vro");
        EXPECT_EQ(Get(in, "qv.prti.part[1].partLevel"), "qv.prti.part[1].partLevel=33\n");
        EXPECT_EQ(Get(in, "qv.prti.part[2].patchBankSelectMsb"), "qv.prti.part[2].patchBankSelectMsb=82\n");
        EXPECT_EQ(Get(in, "qv.pat[1].common.patchName"), "qv.pat[1].common.patchName=" + c.patchName + "\n");
        EXPECT_EQ(Get(in, "qv.rhy[2].common.rhythmLevel"), "qv.rhy[2].common.rhythmLevel=" + c.rhythmLevel + "\n");
        EXPECT_EQ(Get(in, "qv.pat[15].tone[3].toneLevel"), "qv.pat[15].tone[3].toneLevel=" + c.toneLevel + "\n");
        if (!c.options.empty()) {
            EXPECT_EQ(test::ReadFile(in), test::ReadFile(File("base.vro")));
        }
        // The input file is untouched.
        EXPECT_EQ(Get(File("empty.vro"), "qv.prti.part[1].partLevel"), "qv.prti.part[1].partLevel=100\n");
    }
}

TEST_F(CliSmfTransfer, ImportThroughPortsSendsEveryDataSetToTheDevice) {
    ASSERT_EQ(Cli({"export-smf", File("base.vro"), File("out.mid"), "--with-patches"}).exitCode, 0);
    const auto imported = Cli({"import-smf", File("out.mid"), File("empty.vro"), "--in", kDevice, "--out", kDevice});
    ASSERT_EQ(imported.exitCode, 0) << imported.err;
    // Saved in place; and the device holds the same, read back in another run.
    EXPECT_EQ(Get(File("empty.vro"), "qv.pat[1].common.patchName"), "qv.pat[1].common.patchName=\"Cli Patch   \"\n");
    const auto read = Cli({"read", "--in", kDevice, "--out", kDevice, File("device.vro")});
    ASSERT_EQ(read.exitCode, 0) << read.err;
    EXPECT_EQ(Get(File("device.vro"), "qv.pat[1].common.patchName"), "qv.pat[1].common.patchName=\"Cli Patch   \"\n");
    EXPECT_EQ(Get(File("device.vro"), "qv.rhy[2].common.rhythmLevel"), "qv.rhy[2].common.rhythmLevel=55\n");
}

TEST_F(CliSmfTransfer, FailuresSayWhatTheEditorSaysWhyAndSaveNothing) {
    ASSERT_EQ(Cli({"export-smf", File("base.vro"), File("good.mid")}).exitCode, 0);
    std::string cut = test::ReadFile(File("good.mid"));
    cut.resize(cut.size() - 10);
    dir.Write("cut.mid", cut);
    dir.Write("text.mid", "not a MIDI file");
    // The import reads as the dump does, so it stops where the dump says.
    const std::string dumped = Cli({"smf-dump", File("cut.mid")}).err;
    const std::string cutReason = dumped.substr(dumped.find(" : ") + 3);
    ASSERT_EQ(cutReason.rfind("track 1, byte ", 0), 0u) << dumped;

    struct Case {
        std::vector<std::string> arguments;
        std::string err;
    };
    const std::string loadFailed = "This file could not be loaded.\nUnable to import ";
    const Case cases[] = {
        {{"export-smf", File("base.vro"), dir.Path().string()},
         "This file could not be saved.\nUnable to export " + dir.Path().string() + " : Cannot replace " +
             dir.Path().string() + ": not a writable regular file\n"},
        {{"export-smf", File("base.vro"), File("no/such/dir/x.mid")},
         "This file could not be saved.\nUnable to export " + File("no/such/dir/x.mid") +
             " : Cannot create a temporary file beside " + File("no/such/dir/x.mid") + ": No such file or directory\n"},
        {{"import-smf", File("cut.mid"), File("base.vro"), "-o", File("out.vro")},
         loadFailed + File("cut.mid") + " : " + cutReason},
        {{"import-smf", File("text.mid"), File("base.vro"), "-o", File("out.vro")},
         loadFailed + File("text.mid") + " : byte 0: the file does not start with MThd\n"},
        {{"import-smf", File("missing.mid"), File("base.vro"), "-o", File("out.vro")},
         loadFailed + File("missing.mid") + " : No such file or directory\n"},
        {{"import-smf", dir.Path().string(), File("base.vro"), "-o", File("out.vro")},
         loadFailed + dir.Path().string() + " : a folder, not a file\n"},
        {{"export-smf", File("base.vro")}, "export-smf takes FILE.vro OUT.mid [--with-patches] [--device-id N]\n"},
        {{"import-smf", File("good.mid"), File("base.vro"), "--in", kDevice},
         "import-smf takes IN.mid FILE.vro [-o OUT.vro] [--in NAME --out NAME] [--device-id N]\n"},
        {{"export-smf", File("base.vro"), File("x.mid"), "--device-id", "40"},
         "The device ID must be 16 to 31 (shown to users as 17 to 32).\n"},
    };
    const std::string before = test::ReadFile(File("base.vro"));
    for (const Case& c : cases) {
        const auto result = Cli(c.arguments);
        EXPECT_EQ(result.exitCode, 1) << c.arguments[0] << " " << c.arguments[1];
        EXPECT_EQ(result.err, c.err) << c.arguments[0] << " " << c.arguments[1];
    }
    EXPECT_FALSE(std::filesystem::exists(File("out.vro")));
    EXPECT_FALSE(std::filesystem::exists(File("x.mid")));
    EXPECT_EQ(test::ReadFile(File("base.vro")), before);

    // Data sets for another device ID are skipped: nothing changes, and that is no fault.
    ASSERT_EQ(Cli({"export-smf", File("base.vro"), File("other.mid"), "--device-id", "17"}).exitCode, 0);
    const auto other = Cli({"import-smf", File("other.mid"), File("empty.vro"), "-o", File("other.vro")});
    ASSERT_EQ(other.exitCode, 0) << other.err;
    EXPECT_EQ(test::ReadFile(File("other.vro")), test::ReadFile(File("empty.vro")));
}

TEST_F(CliSmfTransfer, AFaultThroughPortsSavesWhatTheDeviceTookBeforeIt) {
    ASSERT_EQ(Cli({"export-smf", File("base.vro"), File("out.mid"), "--with-patches"}).exitCode, 0);
    // The part information comes first, the last part's patch last: the cut keeps the one.
    std::string cut = test::ReadFile(File("out.mid"));
    cut.resize(cut.size() / 2);
    dir.Write("cut.mid", cut);
    const auto imported = Cli({"import-smf", File("cut.mid"), File("empty.vro"), "-o", File("part.vro"), "--in",
                               kDevice, "--out", kDevice});
    EXPECT_EQ(imported.exitCode, 1);
    EXPECT_NE(imported.err.find("This file could not be loaded.\nUnable to import " + File("cut.mid") + " : track 1, byte "),
              std::string::npos)
        << imported.err;
    const std::string saved = " data sets sent before the fault.\n";
    ASSERT_GE(imported.err.size(), saved.size());
    EXPECT_EQ(imported.err.substr(imported.err.size() - saved.size()), saved) << imported.err;
    EXPECT_NE(imported.err.find(File("part.vro") + " holds the "), std::string::npos) << imported.err;

    // The file and the device agree: both have the part information, neither the last patch.
    const auto read = Cli({"read", "--in", kDevice, "--out", kDevice, File("device.vro")});
    ASSERT_EQ(read.exitCode, 0) << read.err;
    for (const std::string& file : {File("part.vro"), File("device.vro")}) {
        EXPECT_EQ(Get(file, "qv.prti.part[1].partLevel"), "qv.prti.part[1].partLevel=33\n") << file;
        EXPECT_EQ(Get(file, "qv.pat[15].tone[3].toneLevel"), "qv.pat[15].tone[3].toneLevel=127\n") << file;
    }
    // The input data file stays as it was.
    EXPECT_EQ(Get(File("empty.vro"), "qv.prti.part[1].partLevel"), "qv.prti.part[1].partLevel=100\n");
}

TEST_F(CliSmfTransfer, TheExampleFilesImport) {
    struct Case {
        const char* file;
        std::string bassName;
    };
    const Case cases[] = {
        {"PartSetup.mid", "\"INIT PATCH  \""},
        {"PartSetupWithPatches.mid", "\"Round Bass  \""},
    };
    for (const Case& c : cases) {
        const std::string smf = (std::filesystem::path(VIREO_SAMPLE_SMF_DIR) / c.file).string();
        const auto imported = Cli({"import-smf", smf, File("empty.vro"), "-o", File("sample.vro")});
        ASSERT_EQ(imported.exitCode, 0) << c.file << imported.err;
        const std::string sample = File("sample.vro");
        EXPECT_EQ(Get(sample, "qv.prti.part[3].partPan"), "qv.prti.part[3].partPan=40\n") << c.file;
        EXPECT_EQ(Get(sample, "qv.prti.part[9].patchBankSelectMsb"), "qv.prti.part[9].patchBankSelectMsb=82\n");
        EXPECT_EQ(Get(sample, "qv.pat[1].common.patchName"), "qv.pat[1].common.patchName=" + c.bassName + "\n");
    }
}

} // namespace

// The sample work of vireo-cli (samples, sample, wave) on a device layer whose device
// answers the sample editor, and the tool's refusals of bad arguments.

#include <gtest/gtest.h>

#include "device/TavSampleTool.h"
#include "support/SampleFixture.h"
#include "support/TestSupport.h"

namespace {

// The tool opens its own sample list, as the only one.
class CliSampleWork : public test::SampleFixture {
protected:
    void SetUp() override {
        SampleFixture::SetUp();
        accessor.SampleEditor().RemoveSampleList(&list);
    }
};

TEST_F(CliSampleWork, SamplesListsNumberKindSizeAndName) {
    std::string out, why;
    ASSERT_TRUE(Brio::TavSampleListText(accessor, out, why)) << why;
    EXPECT_EQ(out, "User\t10\tstereo-left\t10000\tLoop L          \n"
                   "User\t11\tstereo-right\t11000\tLoop R          \n"
                   "User\t12\tmono\t12000\tKick            \n"
                   "User\t60\tmono\t60000\tSnare           \n");
}

TEST_F(CliSampleWork, CommandsTakeTheirArgumentAndReportFailures) {
    std::string why;
    ASSERT_TRUE(Brio::TavRunSampleCommand(accessor, 2, 60, "time-stretch", {"1.5"}, false, why)) << why;
    EXPECT_EQ(samples->SentTo("com.utility.sampleEdit.select.sampleSelect").back(), (TavBytes{2, 0, 60}));
    EXPECT_EQ(samples->SentTo("com.utility.sampleEdit.modify.timeStretch").back(), (TavBytes{9, 19, 112, 4, 64}));
    ASSERT_TRUE(Brio::TavRunSampleCommand(accessor, 2, 12, "amp", {}, true, why)) << why;
    EXPECT_EQ(samples->SentTo("com.utility.sampleEdit.modify.amp").back(), (TavBytes{1, 0, 100}));
    ASSERT_TRUE(Brio::TavRunSampleCommand(accessor, 2, 12, "unload", {}, false, why)) << why;
    EXPECT_EQ(Kind(12), 3);

    const struct {
        int32_t number;
        const char* command;
        std::vector<std::string> arguments;
    } refused[] = {{12, "shrink", {}},        {12, "chop-divide", {}},    {12, "chop-divide", {"17"}},
                   {12, "truncate", {"1"}}, {13, "truncate", {}},       {60, "time-stretch", {"3"}}};
    for (const auto& c : refused) {
        why.clear();
        EXPECT_FALSE(Brio::TavRunSampleCommand(accessor, 2, c.number, c.command, c.arguments, false, why)) << c.command;
        EXPECT_FALSE(why.empty()) << c.command;
    }
    samples->modifyFails = true;
    EXPECT_FALSE(Brio::TavRunSampleCommand(accessor, 2, 60, "normalize", {}, false, why));
    EXPECT_EQ(system.PendingCode(), 13);
}

TEST_F(CliSampleWork, WavePrintsTheWholeSampleInPoints) {
    SampleEnd(1000);
    std::string out, why;
    ASSERT_TRUE(Brio::TavSampleWaveText(accessor, 2, 12, 4, out, why)) << why;
    EXPECT_EQ(out, "0\t0\t0\n250\t-512\t512\n500\t-1024\t1024\n750\t-1536\t1536\n");
    samples->wavePoints = 0; // the device has nothing past the end
    out.clear();
    ASSERT_TRUE(Brio::TavSampleWaveText(accessor, 2, 12, 200, out, why)) << why;
    EXPECT_TRUE(out.empty());
    EXPECT_FALSE(Brio::TavSampleWaveText(accessor, 2, 13, 4, out, why));
}

TEST(CliSample, BadArgumentsAreRefusedWithTheCommandsForm) {
    const auto run = [](std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {"--script-dir", test::ShippedScriptDir().string()});
        return test::RunCli(arguments);
    };
    for (const auto& arguments : std::vector<std::vector<std::string>>{
             {"samples", "--in", "A"},
             {"sample", "--in", "A", "--out", "B", "rom", "1", "truncate"},
             {"sample", "--in", "A", "--out", "B", "user", "0", "truncate"},
             {"wave", "--in", "A", "--out", "B", "user", "1", "--points", "x"}}) {
        const auto result = run(arguments);
        EXPECT_EQ(result.exitCode, 1) << arguments[0];
        EXPECT_NE(result.err.find(arguments[0] + " takes --in NAME --out NAME"), std::string::npos) << result.err;
    }
}

} // namespace

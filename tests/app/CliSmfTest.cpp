// vireo-cli smf-dump: what it prints of good files and where it says a broken one stops.

#include <gtest/gtest.h>

#include "files/SmfTestSupport.h"
#include "support/TestSupport.h"

using namespace smftest;

namespace {

std::string Write(const test::TempDir& dir, const std::string& name, const TavBytes& bytes) {
    return dir.Write(name, std::string(bytes.begin(), bytes.end())).string();
}

} // namespace

TEST(CliSmfDump, PrintsHeaderTracksAndEveryKindOfEvent) {
    test::TempDir dir;
    const TavBytes file =
        Join({Header(2),
              Track(Join(
                  {{0x00, 0x90, 0x3C, 0x64, 0x60, 0x3C, 0x00}, {0x00, 0xFF, 0x03, 0x01, 'A'}, kEndOfTrack})),
              Track(Join({ExclusiveEvent(5, {0xF0, 0x41, 0x10, 0xF7}),
                          {0x81, 0x00, 0xF7, 0x02, 0xF8, 0xFA},
                          kEndOfTrack}))});
    const auto result = test::RunCli({"smf-dump", Write(dir, "two.mid", file)});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, "header: format 0, tracks 2, division 96\n"
                          "track 1: length 16\n"
                          "  0 channel: 90 3C 64\n"
                          "  96 channel: 90 3C 00\n"
                          "  0 meta 03: 41\n"
                          "  0 meta 2F:\n"
                          "track 2: length 16\n"
                          "  5 exclusive: F0 41 10 F7\n"
                          "  128 escape: F8 FA\n"
                          "  0 meta 2F:\n");
}

TEST(CliSmfDump, ABrokenFilePrintsWhatWasReadAndSaysWhereItStopped) {
    test::TempDir dir;
    struct Case {
        TavBytes file;
        std::string out;
        std::string err;
    };
    const Case cases[] = {
        {Join({Header(1), Track({0x00, 0xC0, 0x05, 0x00, 0xF8, 0x00, 0x07})}),
         "header: format 0, tracks 1, division 96\ntrack 1: length 7\n  0 channel: C0 05\n  0 system: F8\n",
         "track 1, byte 28: the data byte 07 has no running status"},
        {{'M', 'T', 'h', 'd'}, "", "byte 0: the file is shorter than the 14-byte header"},
        {Join({Header(2), Track(kEndOfTrack)}),
         "header: format 0, tracks 2, division 96\ntrack 1: length 4\n  0 meta 2F:\n",
         "track 2, byte 26: track 2 of 2: the file ends before its header"},
    };
    for (const Case& c : cases) {
        const auto result = test::RunCli({"smf-dump", Write(dir, "broken.mid", c.file)});
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.out, c.out);
        EXPECT_EQ(result.err, "This file could not be loaded. : " + c.err + "\n");
    }
}

TEST(CliSmfDump, NeedsOneRegularFileRefusesAnythingElseAtOnceAndIsListedInTheUsage) {
    test::TempDir dir;
    std::vector<std::pair<std::string, std::string>> refused = {
        {(dir.Path() / "missing.mid").string(), "No such file or directory"}};
    for (test::NotAFile kind : test::kNotAFiles) {
        const std::string where = (dir.Path() / ("not-a-file-" + std::to_string(int(kind)) + ".mid")).string();
        test::MakeNotAFile(kind, where);
        refused.push_back({where, kind == test::NotAFile::kFolder     ? "a folder, not a file"
                                  : kind == test::NotAFile::kDangling ? "No such file or directory"
                                                                      : "not a regular file"});
    }
    for (const auto& [where, why] : refused) {
        const auto result = test::RunCli({"smf-dump", where});
        EXPECT_FALSE(result.timedOut) << where;
        EXPECT_EQ(result.exitCode, 1) << where;
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err, "This file could not be loaded. : " + where + " : " + why + "\n");
    }
    EXPECT_EQ(test::RunCli({"smf-dump"}).exitCode, 1);
    EXPECT_EQ(test::RunCli({"smf-dump", "a.mid", "b.mid"}).err, "smf-dump takes one file\n");
    EXPECT_NE(test::RunCli({"--help"}).out.find("smf-dump IN.mid"), std::string::npos);
}

// Whole MIDI files, good and broken, with what reading each must give. The fuzz corpus
// (fuzz/corpus/fuzz_smf_read) holds the same files in folders named after the cases, so
// the corpus stays labelled truthfully: every file in a folder must read as its case says.

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "SmfTestSupport.h"
#include "support/TestSupport.h"

using namespace smftest;

namespace {

struct SmfCase {
    std::string name;
    TavBytes bytes;
    bool ok;
    std::vector<std::string> events;
    std::string fault; // a part of the fault text
};

const TavBytes kPartInfo = DataSet(0x41, 0x10, 0x8000, {0x64, 0x40, 0x00, 0x7F});
const TavBytes kForeign = DataSet(0x43, 0x10, 0x8000, {0x64});
const TavBytes kOtherDevice = DataSet(0x41, 0x11, 0x8000, {0x64});
const TavBytes kBadChecksum = {0xF0, 0x41, 0x10, 0x00, 0x6A, 0x12, 0x00, 0x02, 0x00, 0x00, 0x64, 0x00, 0xF7};

std::string Exclusive(uint32_t delta, const TavBytes& message) {
    return "exclusive " + std::to_string(delta) + ": " + Hex(message);
}

std::vector<SmfCase> Cases() {
    const TavBytes noteTrack = Track(Join({{0x00, 0x90, 0x3C, 0x64}, kEndOfTrack}));
    const TavBytes oneSet = Track(Join({ExclusiveEvent(5, kPartInfo), kEndOfTrack}));
    return {
        {"valid-part-info",
         Join({Header(1), oneSet}),
         true,
         {"header", "track", Exclusive(5, kPartInfo), "meta 0 2F:"},
         ""},
        {"valid-two-tracks",
         Join({Header(2), noteTrack, oneSet}),
         true,
         {"header", "track", "short 0: 90 3C 64", "meta 0 2F:", "track", Exclusive(5, kPartInfo),
          "meta 0 2F:"},
         ""},
        {"truncated-header",
         {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0},
         false,
         {},
         "shorter than the 14-byte header"},
        {"wrong-chunk-id",
         Join({{'M', 'T', 'r', 'k', 0, 0, 0, 6, 0, 0, 0, 1, 0, 0x60}, oneSet}),
         false,
         {},
         "does not start with MThd"},
        {"header-length-7",
         Join({{'M', 'T', 'h', 'd', 0, 0, 0, 7, 0, 0, 0, 1, 0, 0x60, 0}, oneSet}),
         false,
         {},
         "header length is not 6"},
        {"delta-of-five-bytes",
         Join({Header(1), Track(Join({{0x81, 0x80, 0x80, 0x80, 0x00, 0x90, 0x3C, 0x64}, kEndOfTrack}))}),
         false,
         {"header", "track"},
         "delta time is longer than 4 bytes"},
        {"length-past-end",
         Join({Header(1), Track({0x00, 0xF0, 0x64, 0x41, 0x10, 0x00, 0x6A, 0xF7})}),
         false,
         {"header", "track"},
         "exclusive event of 100 bytes runs past the end"},
        {"more-tracks-than-present",
         Join({Header(3), noteTrack, noteTrack}),
         false,
         {"header", "track", "short 0: 90 3C 64", "meta 0 2F:", "track", "short 0: 90 3C 64", "meta 0 2F:"},
         "track 3 of 3: the file ends before its header"},
        {"running-status-without-status",
         Join({Header(1), Track(Join({{0x00, 0x3C, 0x64}, kEndOfTrack}))}),
         false,
         {"header", "track"},
         "data byte 3C has no running status"},
        // Claims 16 MiB of exclusive data and holds a few bytes: refused before anything is
        // allocated for it.
        {"exclusive-16mb",
         Join({Header(1), Track(Join({{0x00, 0xF0}, Vlq(0x1000000), {0x41, 0x10, 0x00, 0x6A, 0xF7}}))}),
         false,
         {"header", "track"},
         "exclusive event of 16777216 bytes runs past the end"},
        {"foreign-manufacturer",
         Join({Header(1), Track(Join({ExclusiveEvent(0, kForeign), kEndOfTrack}))}),
         true,
         {"header", "track", Exclusive(0, kForeign), "meta 0 2F:"},
         ""},
        {"wrong-device-id",
         Join({Header(1), Track(Join({ExclusiveEvent(0, kOtherDevice), kEndOfTrack}))}),
         true,
         {"header", "track", Exclusive(0, kOtherDevice), "meta 0 2F:"},
         ""},
        {"bad-checksum",
         Join({Header(1), Track(Join({ExclusiveEvent(0, kBadChecksum), kEndOfTrack}))}),
         true,
         {"header", "track", Exclusive(0, kBadChecksum), "meta 0 2F:"},
         ""},
    };
}

void ExpectReadsAs(const SmfCase& expected, const TavBytes& bytes, const std::string& where) {
    RecordingRead reader(bytes);
    EXPECT_EQ(reader.Read(), expected.ok) << where << ": " << reader.Fault();
    EXPECT_EQ(reader.events, expected.events) << where;
    if (expected.ok)
        EXPECT_EQ(reader.Fault(), "") << where;
    else
        EXPECT_NE(reader.Fault().find(expected.fault), std::string::npos) << where << ": " << reader.Fault();
    // Nothing is ever asked for beyond what the file holds.
    EXPECT_LE(reader.largestRequest, std::max<size_t>(bytes.size(), CTavSmf::kHeaderSize)) << where;
}

std::filesystem::path CorpusDir() {
    return std::filesystem::path(VIREO_FUZZ_CORPUS_DIR) / "fuzz_smf_read";
}

} // namespace

TEST(SmfCases, EachReadsOkOrFailsWithTheEventsBeforeTheFault) {
    for (const SmfCase& c : Cases())
        ExpectReadsAs(c, c.bytes, c.name);
}

TEST(SmfCases, EveryCorpusFolderIsACaseAndItsFilesReadAsTheCaseSays) {
    const std::vector<SmfCase> cases = Cases();
    ASSERT_TRUE(std::filesystem::is_directory(CorpusDir())) << CorpusDir();
    for (const SmfCase& c : cases)
        EXPECT_TRUE(std::filesystem::is_directory(CorpusDir() / c.name)) << c.name;
    for (const auto& folder : std::filesystem::directory_iterator(CorpusDir())) {
        const std::string name = folder.path().filename().string();
        const auto found =
            std::find_if(cases.begin(), cases.end(), [&](const SmfCase& c) { return c.name == name; });
        ASSERT_NE(found, cases.end()) << "corpus folder without a case: " << name;
        size_t files = 0;
        for (const auto& file : std::filesystem::directory_iterator(folder.path())) {
            const std::string content = test::ReadFile(file.path());
            ExpectReadsAs(*found, TavBytes(content.begin(), content.end()), file.path().string());
            ++files;
        }
        EXPECT_GT(files, 0u) << name;
    }
}

// Writes the cases into the corpus folders; run by hand with
// --gtest_also_run_disabled_tests --gtest_filter=SmfCases.DISABLED_WriteCorpus.
TEST(SmfCases, DISABLED_WriteCorpus) {
    for (const SmfCase& c : Cases()) {
        std::filesystem::create_directories(CorpusDir() / c.name);
        std::ofstream out(CorpusDir() / c.name / (c.name + ".mid"), std::ios::binary);
        out.write(reinterpret_cast<const char*>(c.bytes.data()), std::streamsize(c.bytes.size()));
    }
}

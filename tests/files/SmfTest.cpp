// MIDI files: variable-length quantities, the bytes the writer puts down, how the reader
// takes events apart, and what both do with hostile or failing ends.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "SmfTestSupport.h"
#include "files/TavSafeFile.h"
#include "support/TestSupport.h"

using namespace smftest;

namespace {

std::vector<std::string> ReadEvents(const TavBytes& bytes, bool expectOk = true) {
    RecordingRead reader(bytes);
    EXPECT_EQ(reader.Read(), expectOk) << reader.Fault();
    return reader.events;
}

TavBytes OneTrack(const TavBytes& events) {
    return Join({Header(1), Track(events)});
}

// Hands out at most limit bytes in all, then reports short writes.
class LimitedWrite : public CTavSmfMemoryWrite {
public:
    explicit LimitedWrite(uint64_t limit) : m_limit(limit) {}

protected:
    size_t WriteBytes(uint64_t position, const uint8_t* bytes, size_t count) override {
        const size_t allowed = count < m_limit ? count : size_t(m_limit);
        m_limit -= allowed;
        return CTavSmfMemoryWrite::WriteBytes(position, bytes, allowed);
    }

private:
    uint64_t m_limit;
};

} // namespace

TEST(SmfVariableLength, EncodesAndDecodesAtTheGroupBoundaries) {
    struct Case {
        uint32_t value;
        TavBytes bytes;
    };
    const Case cases[] = {
        {0, {0x00}},
        {0x7F, {0x7F}},
        {0x80, {0x81, 0x00}},
        {0x3FFF, {0xFF, 0x7F}},
        {0x4000, {0x81, 0x80, 0x00}},
        {0x1FFFFF, {0xFF, 0xFF, 0x7F}},
        {0x200000, {0x81, 0x80, 0x80, 0x00}},
        {0x0FFFFFFF, {0xFF, 0xFF, 0xFF, 0x7F}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Vlq(c.value), c.bytes) << std::hex << c.value;
        uint32_t value = 0xDEAD;
        TavBytes trailing = Join({c.bytes, {0x55}});
        EXPECT_EQ(CTavSmf::ParseVariableLength(trailing.data(), trailing.size(), value), c.bytes.size());
        EXPECT_EQ(value, c.value);
    }
    // Above 28 bits the largest quantity is written.
    EXPECT_EQ(Vlq(0x10000000), Vlq(CTavSmf::kMaxVariableLength));
    EXPECT_EQ(Vlq(0xFFFFFFFF), Vlq(CTavSmf::kMaxVariableLength));
}

TEST(SmfVariableLength, MoreThanFourBytesOrNoLastByteIsAFault) {
    const TavBytes faults[] = {{0x80, 0x80, 0x80, 0x80, 0x00}, {0xFF, 0xFF, 0xFF, 0xFF}, {0x81, 0x80}, {}};
    for (const TavBytes& bytes : faults) {
        uint32_t value = 7;
        EXPECT_EQ(CTavSmf::ParseVariableLength(bytes.data(), bytes.size(), value), 0u) << Hex(bytes);
        EXPECT_EQ(value, 7u);
    }
}

TEST(SmfWrite, OneEventFileHasTheExactHeaderTrackAndEndOfTrack) {
    CTavSmfMemoryWrite writer;
    writer.BeginFile();
    writer.BeginTrack();
    CTavLongMessage message;
    ASSERT_TRUE(message.SetBytes({0xF0, 0x41, 0x10, 0x00, 0x6A, 0x12, 0x01, 0x7F, 0xF7}));
    writer.WriteExclusiveEvent(5, message);
    writer.EndTrack();
    writer.EndFile();
    EXPECT_TRUE(writer.Good());
    EXPECT_EQ(writer.NumberOfTracks(), 1);
    EXPECT_EQ(Hex(writer.Bytes()), "4D 54 68 64 00 00 00 06 00 00 00 01 00 60 "
                                   "4D 54 72 6B 00 00 00 0F "
                                   "05 F0 08 41 10 00 6A 12 01 7F F7 "
                                   "00 FF 2F 00");
}

TEST(SmfWrite, EndTrackPatchesEachTracksLengthAndEndFileCountsThem) {
    CTavSmfMemoryWrite writer;
    writer.BeginFile();
    writer.BeginTrack();
    writer.WriteChannelEvent(0x80, {0x90, 0x3C, 0x64}); // two-byte delta
    writer.EndTrack();
    writer.BeginTrack();
    writer.WriteMetaEvent(0, 0x01, {'a', 'b'});
    writer.WriteChannelEvent(1, {0xC0, 0x05});
    writer.EndTrack();
    writer.EndFile();
    const TavBytes expected =
        Join({Header(2), Track(Join({{0x81, 0x00, 0x90, 0x3C, 0x64}, kEndOfTrack})),
              Track(Join({{0x00, 0xFF, 0x01, 0x02, 'a', 'b'}, {0x01, 0xC0, 0x05}, kEndOfTrack}))});
    EXPECT_EQ(Hex(writer.Bytes()), Hex(expected));
    EXPECT_TRUE(writer.Good());

    // A second file from the same writer starts afresh.
    writer.BeginFile();
    writer.BeginTrack();
    writer.EndFile(); // ends the open track too
    EXPECT_EQ(writer.Bytes(), Join({Header(1), Track(kEndOfTrack)}));
}

TEST(SmfWrite, ChannelEventsTakeOnlyCompleteChannelMessages) {
    struct Case {
        TavBytes message;
        std::string written; // "" when skipped
    };
    const Case cases[] = {
        {{0x90, 0x3C, 0x64}, "00 90 3C 64"},
        {{0x80, 0x3C, 0x00, 0x99}, "00 80 3C 00"}, // bytes past the message are left out
        {{0xB1, 0x07, 0x7F}, "00 B1 07 7F"},
        {{0xCF, 0x10}, "00 CF 10"},
        {{0xD0, 0x40}, "00 D0 40"},
        {{0xEF, 0x00, 0x40}, "00 EF 00 40"},
        {{0xF8}, ""},
        {{0xF2, 0x00, 0x00}, ""},
        {{0xFE}, ""},
        {{0xF0, 0x41, 0xF7}, ""},
        {{0x3C, 0x64}, ""},
        {{0x90, 0x3C}, ""},
        {{0x90, 0x3C, 0x90}, ""},
        {{}, ""},
    };
    for (const Case& c : cases) {
        CTavSmfMemoryWrite writer;
        writer.BeginFile();
        writer.WriteChannelEvent(0, c.message);
        EXPECT_EQ(Hex(TavBytes(writer.Bytes().begin() + CTavSmf::kHeaderSize, writer.Bytes().end())),
                  c.written)
            << Hex(c.message);
        EXPECT_TRUE(writer.Good());
    }
}

TEST(SmfWrite, AShortWriteAnywhereMakesTheWriterNoLongerGood) {
    CTavSmfMemoryWrite full;
    const auto writeFile = [](CTavSmfWrite& writer) {
        writer.BeginFile();
        writer.BeginTrack();
        writer.WriteChannelEvent(0, {0x90, 0x3C, 0x64});
        writer.EndTrack();
        writer.EndFile();
    };
    writeFile(full);
    ASSERT_TRUE(full.Good());
    for (uint64_t limit = 0; limit <= full.Bytes().size() + 22; ++limit) {
        LimitedWrite writer(limit);
        writeFile(writer);
        // The whole file, then the track header and the file header written again.
        EXPECT_EQ(writer.Good(), limit >= full.Bytes().size() + 8 + 14) << limit;
    }
}

TEST(SmfRead, EventKindsRunningStatusAndEscapes) {
    struct Case {
        const char* what;
        TavBytes events;
        std::vector<std::string> seen; // after "header", "track"
    };
    const Case cases[] = {
        {"running status",
         {0x00, 0x90, 0x3C, 0x64, 0x00, 0x3E, 0x64},
         {"short 0: 90 3C 64", "short 0: 90 3E 64"}},
        {"one data byte for Cn and Dn",
         {0x00, 0xC3, 0x05, 0x01, 0x06, 0x00, 0xD3, 0x40, 0x00, 0x41},
         {"short 0: C3 05", "short 1: C3 06", "short 0: D3 40", "short 0: D3 41"}},
        {"system statuses take no data", {0x00, 0xF8, 0x00, 0xF2}, {"short 0: F8", "short 0: F2"}},
        {"F0 gets its start byte", {0x03, 0xF0, 0x03, 0x41, 0x10, 0xF7}, {"exclusive 3: F0 41 10 F7"}},
        {"F7 escape taken as it is", {0x00, 0xF7, 0x03, 0xF0, 0x7E, 0xF7}, {"exclusive 0: F0 7E F7"}},
        {"escape of a lone byte", {0x00, 0xF7, 0x02, 0xF8, 0xFA}, {"exclusive 0: F8 FA"}},
        {"status inside an exclusive event", {0x00, 0xF0, 0x03, 0x41, 0x90, 0xF7}, {"exclusive 0: F0 00 F7"}},
        {"empty escape", {0x00, 0xF7, 0x00}, {"exclusive 0: F0 00 F7"}},
        {"meta data", {0x81, 0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}, {"meta 128 51: 07 A1 20"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> expected = {"header", "track"};
        expected.insert(expected.end(), c.seen.begin(), c.seen.end());
        expected.push_back("meta 0 2F:");
        EXPECT_EQ(ReadEvents(OneTrack(Join({c.events, kEndOfTrack}))), expected) << c.what;
    }
}

TEST(SmfRead, RunningStatusFaults) {
    const struct {
        const char* what;
        TavBytes events;
    } cases[] = {
        {"before any status", {0x00, 0x3C, 0x64}},
        {"after a system status", {0x00, 0xF8, 0x00, 0x3C, 0x64}},
        {"after a meta event", {0x00, 0xB0, 0x07, 0x10, 0x00, 0xFF, 0x01, 0x00, 0x02, 0x0A, 0x20}},
        {"after an exclusive event", {0x00, 0x90, 0x3C, 0x64, 0x00, 0xF0, 0x01, 0xF7, 0x00, 0x3E, 0x64}},
        {"after an escape", {0x00, 0x90, 0x3C, 0x64, 0x00, 0xF7, 0x00, 0x00, 0x3E, 0x64}},
        {"after a status of the track before", {}},
    };
    for (const auto& c : cases) {
        const TavBytes file = c.events.empty()
                                  ? Join({Header(2), Track(Join({{0x00, 0x90, 0x3C, 0x64}, kEndOfTrack})),
                                          Track({0x00, 0x3E, 0x64})})
                                  : OneTrack(Join({c.events, kEndOfTrack}));
        RecordingRead reader(file);
        EXPECT_FALSE(reader.Read()) << c.what;
        EXPECT_NE(reader.Fault().find("has no running status"), std::string::npos)
            << c.what << reader.Fault();
    }
}

TEST(SmfRead, EndOfTrackEndsTheTrackWhateverItsLengthSays) {
    // A wrong length in the track header is not used; the next track starts right after
    // the end-of-track event, and bytes after the last track are ignored.
    TavBytes first = Track(Join({{0x00, 0x90, 0x3C, 0x64}, kEndOfTrack}));
    first[7] = 0x00;
    const TavBytes second = Track(Join({{0x00, 0x80, 0x3C, 0x00}, kEndOfTrack}));
    EXPECT_EQ(ReadEvents(Join({Header(2), first, second, {'j', 'u', 'n', 'k'}})),
              (std::vector<std::string>{"header", "track", "short 0: 90 3C 64", "meta 0 2F:", "track",
                                        "short 0: 80 3C 00", "meta 0 2F:"}));

    // A header announcing no track reads nothing more.
    EXPECT_EQ(ReadEvents(Join({Header(0), second})), std::vector<std::string>{"header"});
    // A track without an end-of-track event runs into the end of the file.
    EXPECT_EQ(ReadEvents(OneTrack({0x00, 0x90, 0x3C, 0x64}), false),
              (std::vector<std::string>{"header", "track", "short 0: 90 3C 64"}));
}

TEST(SmfRead, AHeaderAnnouncingEveryTrackWithOnePresentFailsAtTheSecond) {
    RecordingRead reader(Join({Header(0xFFFF), Track(kEndOfTrack)}));
    EXPECT_FALSE(reader.Read());
    EXPECT_EQ(reader.NumberOfTracks(), 0xFFFF);
    EXPECT_EQ(reader.CurrentTrack(), 1);
    EXPECT_EQ(reader.Fault(), "track 2 of 65535: the file ends before its header");
    EXPECT_LE(reader.requests, 8u);
}

TEST(SmfRead, ReportsWhereAndWhyItStopped) {
    const struct {
        TavBytes file;
        uint64_t position;
        std::string fault;
    } cases[] = {
        {OneTrack({0x00, 0x90, 0x3C, 0x64, 0x81}), 26, "the delta time runs past the end of the file"},
        {OneTrack({0x00, 0x90, 0x3C}), 23, "the file ends inside the channel message"},
        {OneTrack({0x00, 0xFF}), 23, "the file ends before the meta event's type"},
        {OneTrack({0x00, 0xFF, 0x01, 0x05, 'a'}), 23,
         "the meta event of 5 bytes runs past the end of the file"},
        {OneTrack({0x00, 0xF0, 0x88, 0x80, 0x80, 0x80}), 24, "the exclusive length is longer than 4 bytes"},
        {OneTrack({0x00, 0xF7, 0x05}), 23, "the escape of 5 bytes runs past the end of the file"},
        {OneTrack({0x00}), 23, "the file ends before the event"},
        {Join({Header(1), {'M', 'T', 'r', 'x', 0, 0, 0, 0}}), 14, "track 1: the chunk is not MTrk"},
    };
    for (const auto& c : cases) {
        RecordingRead reader(c.file);
        EXPECT_FALSE(reader.Read());
        EXPECT_EQ(reader.Fault(), c.fault);
        EXPECT_EQ(reader.FaultPosition(), c.position) << c.fault;
        EXPECT_EQ(reader.CurrentTrack(), 0) << c.fault;
    }
}

TEST(SmfRead, AStreamThatStopsShortAnywhereFailsCleanlyAfterWhatItGave) {
    const TavBytes file =
        Join({Header(2), Track(Join({{0x00, 0x90, 0x3C, 0x64, 0x00, 0x3E, 0x64}, kEndOfTrack})),
              Track(Join({ExclusiveEvent(9, DataSet(0x41, 0x10, 0x8000, {1, 2, 3})),
                          {0x00, 0xFF, 0x01, 0x01, 'x'},
                          kEndOfTrack}))});
    const std::vector<std::string> all = ReadEvents(file);
    ASSERT_EQ(all.size(), 9u);
    for (uint64_t limit = 0; limit < file.size(); ++limit) {
        RecordingRead reader(file);
        reader.readableUpTo = limit;
        EXPECT_FALSE(reader.Read()) << limit;
        EXPECT_FALSE(reader.Fault().empty()) << limit;
        EXPECT_LE(reader.Position(), limit);
        ASSERT_LE(reader.events.size(), all.size());
        EXPECT_TRUE(std::equal(reader.events.begin(), reader.events.end(), all.begin())) << limit;
    }
}

TEST(SmfRead, PositionAdvancesToTheFileSize) {
    struct Progress : RecordingRead {
        using RecordingRead::RecordingRead;
        std::vector<uint64_t> positions;
        void OnShortEvent(uint32_t delta, const TavBytes& message) override {
            positions.push_back(Position());
            RecordingRead::OnShortEvent(delta, message);
        }
    };
    const TavBytes file = OneTrack(Join({{0x00, 0x90, 0x3C, 0x64, 0x00, 0x3E, 0x64}, kEndOfTrack}));
    Progress reader(file);
    ASSERT_TRUE(reader.Read());
    EXPECT_EQ(reader.FileSize(), file.size());
    EXPECT_EQ(reader.Position(), file.size());
    EXPECT_EQ(reader.positions, (std::vector<uint64_t>{26, 29}));
    EXPECT_EQ(reader.NumberOfTracks(), 1);
}

TEST(SmfRead, AsksForEachPartOfTheFileOnceAndInOrder) {
    // Thousands of small events around an exclusive event larger than the read buffer.
    TavBytes notes;
    for (int i = 0; i < 30000; ++i)
        notes.insert(notes.end(), {0x00, 0x90, uint8_t(i & 0x7F), 0x40});
    TavBytes large(CTavSmfRead::kBufferSize * 2 + 5, 0x11);
    large.front() = 0xF0;
    large.back() = 0xF7;
    for (const TavBytes& file : {OneTrack(Join({notes, ExclusiveEvent(1, large), notes, kEndOfTrack})),
                                 OneTrack(Join({{0x00, 0x90, 0x3C, 0x64}, kEndOfTrack}))}) {
        RecordingRead reader(file);
        ASSERT_TRUE(reader.Read()) << reader.Fault();
        EXPECT_EQ(reader.events.size(), file.size() > 100 ? 60004u : 4u);
        uint64_t next = 0;
        for (const auto& [position, got] : reader.handedOut) {
            EXPECT_EQ(position, next);
            next = position + got;
        }
        EXPECT_EQ(next, file.size());
        EXPECT_LE(reader.requests, file.size() / CTavSmfRead::kBufferSize + 3) << file.size();
    }
}

TEST(SmfRead, AHandlerStopsTheReadAfterTheEventItHandles) {
    struct Stopping : RecordingRead {
        using RecordingRead::RecordingRead;
        size_t stopAfter = 0; // events seen, header and tracks included; 0: never
        void Check() {
            if (events.size() == stopAfter)
                Stop("enough");
        }
        void OnHeader(const uint8_t* header) override { RecordingRead::OnHeader(header), Check(); }
        void OnTrack(const uint8_t* track) override { RecordingRead::OnTrack(track), Check(); }
        void OnShortEvent(uint32_t delta, const TavBytes& message) override {
            RecordingRead::OnShortEvent(delta, message), Check();
        }
    };
    const TavBytes file = Join({Header(2), Track(Join({{0x00, 0x90, 0x3C, 0x64, 0x00, 0x3E, 0x64}, kEndOfTrack})),
                                Track(Join({{0x00, 0x80, 0x3C, 0x00}, kEndOfTrack}))});
    const struct {
        size_t stopAfter;
        int32_t track;
        uint64_t position;
    } cases[] = {{1, -1, 0}, {2, 0, 22}, {4, 0, 29}, {7, 1, 45}};
    for (const auto& c : cases) {
        Stopping reader(file);
        reader.stopAfter = c.stopAfter;
        EXPECT_FALSE(reader.Read()) << c.stopAfter;
        EXPECT_TRUE(reader.Stopped());
        EXPECT_EQ(reader.events.size(), c.stopAfter);
        EXPECT_EQ(reader.CurrentTrack(), c.track);
        EXPECT_EQ(reader.FaultPosition(), c.position) << c.stopAfter;
        EXPECT_EQ(reader.Fault(), "enough");
        // Read again without a stop: from the start, to the end.
        reader.stopAfter = 0;
        reader.events.clear();
        EXPECT_TRUE(reader.Read());
        EXPECT_FALSE(reader.Stopped());
        EXPECT_EQ(reader.events.size(), 8u);
        EXPECT_EQ(reader.FaultText(), "");
    }
}

TEST(SmfRoundTrip, WrittenEventsReadBackTheSame) {
    CTavSmfMemoryWrite writer;
    writer.BeginFile();
    CTavLongMessage small, large;
    ASSERT_TRUE(small.SetBytes(DataSet(0x41, 0x10, 0x8000, {0x64})));
    TavBytes body(300, 0x11);
    ASSERT_TRUE(large.SetBytes(DataSet(0x41, 0x10, 0x10000, body)));
    writer.BeginTrack();
    writer.WriteExclusiveEvent(5, small);
    writer.WriteExclusiveEvent(CTavSmf::kMaxVariableLength, large);
    writer.WriteChannelEvent(0x3FFF, {0xB0, 0x00, 0x51});
    writer.WriteChannelEvent(0x4000, {0xB0, 0x20, 0x00});
    writer.WriteMetaEvent(96, 0x03, {'V', 'i', 'r', 'e', 'o'});
    writer.EndTrack();
    writer.BeginTrack();
    writer.WriteChannelEvent(0, {0xC0, 0x10});
    writer.EndTrack();
    writer.EndFile();
    ASSERT_TRUE(writer.Good());

    EXPECT_EQ(ReadEvents(writer.Bytes()),
              (std::vector<std::string>{"header", "track", "exclusive 5: " + Hex(small.Bytes()),
                                        "exclusive 268435455: " + Hex(large.Bytes()), "short 16383: B0 00 51",
                                        "short 16384: B0 20 00", "meta 96 03: 56 69 72 65 6F",
                                        "meta 0 2F:", "track", "short 0: C0 10", "meta 0 2F:"}));
}

TEST(SmfFileRead, ReadsByPathOrOpenStreamAndFailsOnAMissingFile) {
    test::TempDir dir;
    const TavBytes bytes = OneTrack(Join({{0x00, 0x90, 0x3C, 0x64}, kEndOfTrack}));
    const auto path = dir.Write("one.mid", std::string(bytes.begin(), bytes.end()));

    CTavSmfFileRead byPath(path.string());
    EXPECT_TRUE(byPath.IsOpen());
    EXPECT_TRUE(byPath.Read()) << byPath.Fault();
    EXPECT_EQ(byPath.FileSize(), bytes.size());

    std::FILE* stream = std::fopen(path.c_str(), "rb");
    ASSERT_NE(stream, nullptr);
    {
        CTavSmfFileRead byStream(stream);
        EXPECT_TRUE(byStream.Read());
        EXPECT_TRUE(byStream.Read()); // reads again from the start
    }
    EXPECT_EQ(std::fclose(stream), 0); // still open: the reader leaves it to its owner

    // Nothing but a regular file within the bound is opened, and nothing waits.
    const auto large = dir.Path() / "large.mid";
    dir.Write("large.mid", "");
    std::filesystem::resize_file(large, CTavSmf::kMaxFileSize + 1);
    std::vector<std::pair<std::filesystem::path, std::string>> refused = {
        {dir.Path() / "missing.mid", "No such file or directory"},
        {large, "larger than " + std::to_string(CTavSmf::kMaxFileSize) + " bytes"}};
    for (test::NotAFile kind : test::kNotAFiles) {
        const auto where = dir.Path() / ("not-a-file-" + std::to_string(int(kind)) + ".mid");
        test::MakeNotAFile(kind, where);
        refused.push_back({where, kind == test::NotAFile::kFolder     ? "a folder, not a file"
                                  : kind == test::NotAFile::kDangling ? "No such file or directory"
                                                                      : "not a regular file"});
    }
    for (const auto& [where, why] : refused) {
        CTavSmfFileRead reader(where.string());
        EXPECT_FALSE(reader.IsOpen()) << where;
        EXPECT_EQ(reader.OpenFault(), where.string() + " : " + why);
        EXPECT_FALSE(reader.Read());
        EXPECT_EQ(reader.FileSize(), 0u);
    }
    EXPECT_EQ(byPath.OpenFault(), "");
}

TEST(SafeFile, WritesTheBytesAndSaysWhyItCannot) {
    test::TempDir dir;
    const uint8_t data[] = {'M', 'T', 'h', 'd', 0, 1};
    const std::string path = (dir.Path() / "saved.mid").string();
    std::string why = "untouched";
    EXPECT_TRUE(TavSaveFileSafely(path, data, sizeof data, &why));
    EXPECT_EQ(why, "untouched");
    EXPECT_EQ(test::ReadFile(path), std::string("MThd\0\1", 6));
    EXPECT_TRUE(TavSaveFileSafely(path, nullptr, 0, &why));
    EXPECT_EQ(test::ReadFile(path), "");

    EXPECT_FALSE(TavSaveFileSafely((dir.Path() / "no/such/folder.mid").string(), data, sizeof data, &why));
    EXPECT_NE(why.find("No such file or directory"), std::string::npos) << why;
    EXPECT_FALSE(TavSaveFileSafely(dir.Path().string(), data, sizeof data, &why));
    EXPECT_NE(why.find("not a writable regular file"), std::string::npos) << why;
    EXPECT_FALSE(TavSaveFileSafely("", data, sizeof data, nullptr));
    // Nothing but the saved file is left in the folder.
    size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        ++entries;
    EXPECT_EQ(entries, 1u);
}

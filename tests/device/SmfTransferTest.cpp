// Standard MIDI File export and import through the device layer: the export records what
// the writer would send (timing, header, the parts it stops at) while standing in for the
// output's device, and the import stores and sends every data set for the device in file
// order, skips everything else and keeps what came before a fault.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sys/stat.h>

#include "app/TavStrings.h"
#include "device/CTavBufferAccessor.h"
#include "device/CTavEditCommands.h"
#include "files/CTavSmf.h"
#include "files/SmfTestSupport.h"
#include "support/DeviceLayerFixture.h"
#include "support/RecordingTextOut.h"
#include "support/TestSupport.h"

namespace {

using Brio::TavExportMode::PartInfo;
using Brio::TavExportMode::PartInfoAndSets;

void WriteFile(const std::string& path, const TavBytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// Whatever the output sends once the test has put it in place of the device.
class RecordingDevice : public CTavMidiOutDevice {
public:
    void Send(const TavBytes& bytes) override { sent.push_back(bytes); }
    std::vector<TavBytes> sent;
};

// The exclusive events of a file with their delta times, as a reader sees them.
class EventList : public CTavSmfMemoryRead {
public:
    using CTavSmfMemoryRead::CTavSmfMemoryRead;
    std::vector<uint32_t> deltas;
    std::vector<TavBytes> messages;

protected:
    void OnExclusiveEvent(uint32_t delta, const CTavLongMessage& message) override {
        deltas.push_back(delta);
        messages.push_back(message.Bytes());
    }
};

// Opens with steps and code, and remembers every position it was set to. Cancel is
// pressed once it has been set cancelAt times.
class RecordingProgress : public ITavProgress {
public:
    void Start(int) override {}
    void Begin(int steps, int code, bool cancelAllowed) override {
        begins.push_back({steps, code});
        cancelOffered = cancelAllowed;
    }
    void Step() override {}
    void SetPosition(int position) override { positions.push_back(position); }
    void Finish() override { ++finished; }
    bool Cancelled() override { return cancelAt >= 0 && positions.size() >= size_t(cancelAt); }
    std::vector<std::pair<int, int>> begins;
    std::vector<int> positions;
    int finished = 0;
    bool cancelOffered = false;
    int cancelAt = -1;
};

class SmfTransfer : public test::DeviceLayerFixture {
protected:
    void SetUp() override {
        StartLayer(test::ShippedScriptText());
        system.SetTextOut(CTavSystem::kMessageBoxOutput, box);
        Output().SetDevice(&cable);
    }

    CTavMidiOut& Output() { return *system.MidiManager().Output(0); }
    CTavRootStruct& Root() { return *Buffers().FindRoot(std::string(CTavSystem::kRootName)); }
    Brio::CTavWriter& Writer() { return *accessor.Writer(); }
    Brio::CTavReader& Reader() { return *accessor.Reader(); }

    // The data sets the output frames for every leaf of the structs, in order.
    std::vector<TavBytes> DataSetsOf(std::initializer_list<CTavStruct*> structs) {
        std::vector<TavBytes> sets;
        for (CTavStruct* structure : structs)
            structure->ForEachLeaf([&](CTavLeafStruct& leaf) {
                sets.push_back(CTavHaldenMessage::DataSet(Output().ManufacturerId(), Output().DeviceId(),
                                                          Output().ModelId(), Output().AddressSize(),
                                                          static_cast<uint32_t>(leaf.AbsoluteRange().begin),
                                                          leaf.Bytes()->data(), leaf.Bytes()->size())
                                   .Bytes());
            });
        return sets;
    }
    TavBytes Export(uint32_t mode) {
        TavBytes file;
        EXPECT_TRUE(Writer().ExportSmf(mode, file));
        return file;
    }
    // Every leaf of "qv", one after the other.
    TavBytes State() { return Brio::TavStructBytes(Root()); }
    // A file of one track holding the given exclusive messages.
    static TavBytes FileOf(const std::vector<TavBytes>& messages) {
        CTavSmfMemoryWrite writer;
        writer.BeginFile();
        writer.BeginTrack();
        for (const TavBytes& bytes : messages) {
            CTavLongMessage message;
            EXPECT_TRUE(message.SetBytes(bytes));
            writer.WriteExclusiveEvent(0, message);
        }
        writer.EndTrack();
        writer.EndFile();
        return writer.Bytes();
    }
    TavBytes DataSet(uint32_t address, const TavBytes& data) {
        return CTavHaldenMessage::DataSet(Output().ManufacturerId(), Output().DeviceId(), Output().ModelId(),
                                          Output().AddressSize(), address, data.data(), data.size())
            .Bytes();
    }
    // Makes the part play a program the catalog does not know. The part handler would
    // make it play the first patch, so the values are written past it.
    void PlayNothing(int32_t part) {
        const Brio::CTavBoundTable& bound = accessor.Bound();
        accessor.Notify(bound.partBankSelectMsb[part], 0);
        accessor.Notify(bound.partBankSelectLsb[part], 0);
        accessor.Notify(bound.partProgramNumber[part], 127);
        Buffers().ClearPending();
        const int32_t type = accessor.PartEntityId(part).type;
        ASSERT_TRUE(type != TavEntityType::Patch && type != TavEntityType::RhythmSet) << part;
    }
    uint32_t AddressOf(const char* path) { return static_cast<uint32_t>(Value(path).AbsoluteRange().begin); }

    test::RecordingTextOut* box = new test::RecordingTextOut;
    RecordingDevice cable;
    test::TempDir dir;
};

TEST(SmfExportTiming, DeltaIsTheCableTimeWithThePauseAndOneTick) {
    const struct {
        uint64_t length;
        uint32_t ticks;
    } cases[] = {{0, 4}, {14, 5}, {15, 5}, {500, 32}, {2048, 118},
                   // Lengths past the export limit count as the limit.
                   {uint64_t(1) << 40, 3711094}};
    for (const auto& c : cases)
        EXPECT_EQ(Brio::CTavWriter::DeltaTicks(c.length), c.ticks) << c.length;
}

TEST_F(SmfTransfer, PartInfoExportIsOneTrackOfThePartInfoDataSets) {
    const TavBytes file = Export(PartInfo);
    const TavBytes header = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 0x60, 'M', 'T', 'r', 'k'};
    ASSERT_GT(file.size(), header.size() + 8);
    EXPECT_EQ(TavBytes(file.begin(), file.begin() + 18), header);
    const uint32_t length = uint32_t(file[18]) << 24 | uint32_t(file[19]) << 16 | uint32_t(file[20]) << 8 | file[21];
    EXPECT_EQ(length, file.size() - 22);
    EXPECT_EQ(TavBytes(file.end() - 4, file.end()), (TavBytes{0x00, 0xFF, 0x2F, 0x00}));

    EventList events(file);
    ASSERT_TRUE(events.Read()) << events.Fault();
    EXPECT_EQ(events.NumberOfTracks(), 1);
    EXPECT_TRUE(events.messages == DataSetsOf({accessor.Bound().partInfo}));
    for (size_t i = 0; i < events.messages.size(); ++i)
        EXPECT_EQ(events.deltas[i], Brio::CTavWriter::DeltaTicks(events.messages[i].size())) << i;
    // Nothing reached the device, each data set still paused 20 ms, and the device is back.
    EXPECT_TRUE(cable.sent.empty());
    EXPECT_EQ(clock.Sleeps(), std::vector<TavDuration>(events.messages.size(), std::chrono::milliseconds(20)));
    EXPECT_EQ(Output().Device(), &cable);
}

TEST_F(SmfTransfer, PartInfoAndSetsExportStopsAtTheFirstPartThatPlaysNeither) {
    const Brio::CTavBoundTable& bound = accessor.Bound();
    const CTavProgramId rhythm = accessor.Entities().ProgramIdOf({TavEntityType::RhythmSet, TavEntityArea::User, 0, 3});
    ASSERT_TRUE(rhythm.IsValid());
    Play(1, rhythm.msb, rhythm.lsb, rhythm.program);
    ASSERT_EQ(accessor.PartEntityId(0).type, TavEntityType::Patch);
    ASSERT_EQ(accessor.PartEntityId(1).type, TavEntityType::RhythmSet);

    struct Case {
        int32_t silentPart; // -1: every part plays something
        std::vector<CTavStruct*> structs;
    };
    std::vector<CTavStruct*> all = {bound.partInfo, bound.patches[0], bound.rhythmSets[1]};
    for (int32_t part = 2; part < Brio::kTavPartCount; ++part)
        all.push_back(bound.patches[part]);
    const Case cases[] = {
        {-1, all},
        {3, {bound.partInfo, bound.patches[0], bound.rhythmSets[1], bound.patches[2]}},
        {0, {bound.partInfo}},
    };
    for (const Case& c : cases) {
        if (c.silentPart >= 0)
            PlayNothing(c.silentPart);
        std::vector<TavBytes> expected;
        for (CTavStruct* structure : c.structs)
            for (TavBytes& set : DataSetsOf({structure}))
                expected.push_back(std::move(set));
        EventList events(Export(PartInfoAndSets));
        ASSERT_TRUE(events.Read());
        EXPECT_EQ(events.messages.size(), expected.size()) << "silent part " << c.silentPart;
        EXPECT_TRUE(events.messages == expected) << "silent part " << c.silentPart;
    }
}

TEST_F(SmfTransfer, ImportingAnExportReproducesTheStateAndSendsEveryDataSetInFileOrder) {
    const Brio::CTavBoundTable& bound = accessor.Bound();
    const CTavProgramId rhythm = accessor.Entities().ProgramIdOf({TavEntityType::RhythmSet, TavEntityArea::User, 0, 0});
    Play(1, rhythm.msb, rhythm.lsb, rhythm.program);
    Edit(bound.partLevel[2], 33);
    Edit(bound.partPan[15], 5);
    Edit(&Value("qv.pat[0].common.patchLevel"), 77);
    Edit(&Value("qv.rhy[1].common.rhythmLevel"), 66);
    const TavBytes exported = State();
    const TavBytes file = Export(PartInfoAndSets);
    EventList events(file);
    ASSERT_TRUE(events.Read());

    for (int32_t part = 0; part < Brio::kTavPartCount; ++part) {
        Buffers().ResetStruct(*bound.patches[part]);
        Buffers().ResetStruct(*bound.rhythmSets[part]);
    }
    Buffers().ResetStruct(*bound.partInfo);
    Buffers().ClearPending();
    ASSERT_NE(State(), exported);
    cable.sent.clear();

    ASSERT_TRUE(Reader().ImportSmf(file.data(), file.size(), Root()));
    EXPECT_TRUE(State() == exported);
    EXPECT_EQ(cable.sent.size(), events.messages.size());
    EXPECT_TRUE(cable.sent == events.messages);
    EXPECT_EQ(Reader().ImportedDataSets(), events.messages.size());
    EXPECT_TRUE(Buffers().PendingChanges().empty());
    EXPECT_TRUE(Root().IsModified());
}

TEST_F(SmfTransfer, DataSetsForAnotherDeviceAreSkippedWithoutError) {
    const uint32_t level = AddressOf("qv.prti.part[4].partLevel");
    TavBytes foreignMaker = DataSet(level, {11});
    foreignMaker[1] = 0x43;
    TavBytes otherDevice = DataSet(level, {12});
    otherDevice[2] = 0x11;
    TavBytes badChecksum = DataSet(level, {13});
    badChecksum[badChecksum.size() - 2] ^= 0x01;
    TavBytes request = DataSet(level, {14});
    request[2 + 1 + Output().ModelId().size()] = CTavHaldenMessage::kDataRequest;
    TavBytes otherModel = DataSet(level, {15});
    otherModel[3] ^= 0x01;
    const TavBytes accepted = DataSet(level, {99});
    const TavBytes universal = {0xF0, 0x7E, 0x10, 0x06, 0x01, 0xF7};

    const TavBytes file = FileOf({foreignMaker, otherDevice, badChecksum, request, otherModel, universal, accepted});
    ASSERT_TRUE(Reader().ImportSmf(file.data(), file.size(), Root()));
    EXPECT_EQ(cable.sent, std::vector<TavBytes>{accepted});
    EXPECT_EQ(Value("qv.prti.part[4].partLevel").GetRaw(), 99);
    EXPECT_EQ(Reader().ImportedDataSets(), 1u);
}

TEST_F(SmfTransfer, AFaultKeepsWhatCameBeforeItAndReportsCodeOne) {
    const TavBytes first = DataSet(AddressOf("qv.prti.part[6].partLevel"), {21});
    const TavBytes second = DataSet(AddressOf("qv.prti.part[7].partLevel"), {22});
    TavBytes file = FileOf({first, second});
    // Cut into the second event's bytes.
    file.resize(file.size() - 4 - second.size() / 2);
    const std::string path = (dir.Path() / "cut.mid").string();
    WriteFile(path, file);

    const size_t before = system.ErrorText().size();
    EXPECT_FALSE(accessor.ImportSmf(path));
    EXPECT_EQ(cable.sent, std::vector<TavBytes>{first});
    EXPECT_EQ(Value("qv.prti.part[6].partLevel").GetRaw(), 21);
    EXPECT_NE(Value("qv.prti.part[7].partLevel").GetRaw(), 22);
    EXPECT_EQ(box->reports, std::vector<int>{TavStrings::kCodeLoadFailed});
    // The error output says where and why it stopped.
    const size_t where = 22 + 1 + 2 + first.size(); // the second event's F0
    EXPECT_EQ(system.ErrorText().substr(before),
              "Unable to import " + path + " : track 1, byte " + std::to_string(where) + ": the exclusive event of " +
                  std::to_string(second.size() - 1) + " bytes runs past the end of the file\n");

    // Nothing but a regular file is opened, and nothing waits (a pipe would block).
    for (test::NotAFile kind : test::kNotAFiles) {
        const std::string bad = (dir.Path() / ("bad-" + std::to_string(int(kind)) + ".mid")).string();
        test::MakeNotAFile(kind, bad);
        box->reports.clear();
        const size_t mark = system.ErrorText().size();
        EXPECT_FALSE(accessor.ImportSmf(bad)) << bad;
        EXPECT_EQ(box->reports, std::vector<int>{TavStrings::kCodeLoadFailed}) << bad;
        const std::string why = kind == test::NotAFile::kFolder     ? "a folder, not a file"
                                : kind == test::NotAFile::kDangling ? "No such file or directory"
                                                                    : "not a regular file";
        EXPECT_EQ(system.ErrorText().substr(mark), "Unable to import " + bad + " : " + why + "\n");
    }
}

TEST_F(SmfTransfer, OnlyWholeDataSetsReachTheDeviceAndTheModel) {
    using smftest::Join;
    const char* const path = "qv.prti.part[5].partLevel";
    const TavBytes set = DataSet(AddressOf(path), {77});
    const TavBytes body(set.begin() + 1, set.end()); // the bytes an F0 event holds
    const auto event = [](uint8_t status, const TavBytes& bytes) {
        return Join({{0x00, status}, smftest::Vlq(uint32_t(bytes.size())), bytes});
    };
    const auto part = [&](size_t from, size_t to) { return TavBytes(body.begin() + from, body.begin() + to); };
    const size_t half = body.size() / 2, end = body.size();
    TavBytes reset = set, noteOn = set, unterminated = body;
    reset[0] = 0xFF;
    noteOn[0] = 0x90;
    unterminated.back() = 0x00; // what the file says is the checksum's neighbour, not an end
    const TavBytes meta = {0x00, 0xFF, 0x01, 0x00};
    struct Case {
        const char* what;
        std::vector<TavBytes> tracks;
        bool sent;
    };
    const Case cases[] = {
        {"an escape of a data set starting FF", {event(0xF7, reset)}, false},
        {"an escape of a data set starting 90", {event(0xF7, noteOn)}, false},
        {"an F0 event ending in 00", {event(0xF0, unterminated)}, false},
        {"an F0 event without an end, then a whole one", {Join({event(0xF0, part(0, half)), event(0xF0, body)})}, true},
        {"divided in two", {Join({event(0xF0, part(0, half)), event(0xF7, part(half, end))})}, true},
        {"divided in three",
         {Join({event(0xF0, part(0, 3)), event(0xF7, part(3, half)), event(0xF7, part(half, end))})},
         true},
        {"divided around a meta event", {Join({event(0xF0, part(0, half)), meta, event(0xF7, part(half, end))})}, false},
        {"divided over two tracks", {event(0xF0, part(0, half)), event(0xF7, part(half, end))}, false},
        {"an escape of a whole data set", {event(0xF7, set)}, true},
    };
    for (const Case& c : cases) {
        TavBytes file = smftest::Header(uint16_t(c.tracks.size()));
        for (const TavBytes& track : c.tracks)
            file = Join({file, smftest::Track(Join({track, smftest::kEndOfTrack}))});
        accessor.Notify(&Value(path), 1);
        Buffers().ClearPending();
        cable.sent.clear();
        ASSERT_TRUE(Reader().ImportSmf(file.data(), file.size(), Root())) << c.what << Reader().SmfFault();
        EXPECT_EQ(cable.sent, c.sent ? std::vector<TavBytes>{set} : std::vector<TavBytes>{}) << c.what;
        EXPECT_EQ(Value(path).GetRaw(), c.sent ? 77 : 1) << c.what;
        EXPECT_EQ(Reader().ImportedDataSets(), c.sent ? 1u : 0u) << c.what;
    }
}

TEST_F(SmfTransfer, CancelKeepsWhatCameBeforeAndIsNoLoadFailure) {
    const char* const path = "qv.prti.part[3].partLevel";
    std::vector<TavBytes> sets;
    for (int i = 0; i < 4000; ++i)
        sets.push_back(DataSet(AddressOf(path), {uint8_t(i % 100)}));
    const TavBytes file = FileOf(sets);
    ASSERT_GT(file.size(), Brio::CTavReader::kSmfProgressThreshold);
    const std::string saved = (dir.Path() / "long.mid").string();
    WriteFile(saved, file);

    RecordingProgress cancelling;
    cancelling.cancelAt = 10;
    system.ViewManager().SetProgress(&cancelling);
    const size_t before = system.ErrorText().size();
    EXPECT_FALSE(accessor.ImportSmf(saved));
    EXPECT_TRUE(cancelling.cancelOffered);
    EXPECT_EQ(cancelling.finished, 1);
    EXPECT_TRUE(Reader().SmfCancelled());
    const size_t sent = Reader().ImportedDataSets();
    ASSERT_GT(sent, 0u);
    ASSERT_LT(sent, sets.size() / 2);
    EXPECT_TRUE(cable.sent == std::vector<TavBytes>(sets.begin(), sets.begin() + long(sent)));
    EXPECT_EQ(Value(path).GetRaw(), int32_t((sent - 1) % 100));
    EXPECT_TRUE(box->reports.empty());
    const std::string line = system.ErrorText().substr(before);
    EXPECT_EQ(line.rfind("Import of " + saved + " stopped : track 1, byte ", 0), 0u) << line;
    EXPECT_NE(line.find(": the import was cancelled (" + std::to_string(sent) + " data sets were stored and sent)\n"),
              std::string::npos)
        << line;

    // Not cancelled, the same file imports to its end.
    cancelling = RecordingProgress();
    cable.sent.clear();
    EXPECT_TRUE(accessor.ImportSmf(saved));
    EXPECT_FALSE(Reader().SmfCancelled());
    EXPECT_EQ(cable.sent.size(), sets.size());
    system.ViewManager().SetProgress(&progress);
}

TEST_F(SmfTransfer, FilesLargerThan16383BytesShowTheReadingProgress) {
    RecordingProgress recording;
    Reader().SetProgress(&recording);
    const TavBytes dataSet = DataSet(AddressOf("qv.prti.part[0].partLevel"), {50});
    for (const size_t size : {size_t(16383), size_t(16384), size_t(40000)}) {
        // One data set and a text event that brings the file to the size.
        TavBytes file;
        for (size_t text = size - 30; text > 0 && file.size() != size; --text) {
            CTavSmfMemoryWrite writer;
            writer.BeginFile();
            writer.BeginTrack();
            CTavLongMessage message;
            message.SetBytes(dataSet);
            writer.WriteExclusiveEvent(0, message);
            writer.WriteMetaEvent(0, 0x01, TavBytes(text, 'x'));
            writer.EndTrack();
            writer.EndFile();
            file = writer.Bytes();
        }
        ASSERT_EQ(file.size(), size);
        recording = RecordingProgress();
        ASSERT_TRUE(Reader().ImportSmf(file.data(), file.size(), Root()));
        if (size <= Brio::CTavReader::kSmfProgressThreshold) {
            EXPECT_TRUE(recording.begins.empty()) << size;
            continue;
        }
        EXPECT_EQ(recording.begins, (std::vector<std::pair<int, int>>{{int(size), ITavProgress::kReadingSmf}}));
        EXPECT_TRUE(recording.cancelOffered);
        ASSERT_FALSE(recording.positions.empty());
        EXPECT_EQ(recording.positions.back(), int(size));
        EXPECT_EQ(recording.finished, 1);
    }
}

TEST_F(SmfTransfer, TheOutputsDeviceComesBackOnEveryWayOut) {
    const std::string target = (dir.Path() / "kept.mid").string();
    WriteFile(target, {'o', 'l', 'd'});
    struct Case {
        std::string path;
        bool ok;
    };
    const Case cases[] = {
        {target, true},
        {dir.Path().string(), false},                          // a folder is not a file
        {(dir.Path() / "no/such/folder/x.mid").string(), false}, // nowhere to write
    };
    for (const Case& c : cases) {
        box->reports.clear();
        EXPECT_EQ(accessor.ExportSmf(c.path, PartInfo), c.ok) << c.path;
        EXPECT_EQ(Output().Device(), &cable) << c.path;
        EXPECT_TRUE(cable.sent.empty()) << c.path;
        EXPECT_EQ(box->reports, c.ok ? std::vector<int>{} : std::vector<int>{TavStrings::kCodeSaveFailed});
    }
    const std::string saved = test::ReadFile(target);
    EXPECT_EQ(TavBytes(saved.begin(), saved.end()), Export(PartInfo));

    // Without an output nothing is recorded and the old file stays.
    Writer().SetOutput(nullptr);
    EXPECT_FALSE(accessor.ExportSmf(target, PartInfo));
    EXPECT_EQ(Output().Device(), &cable);
    EXPECT_EQ(test::ReadFile(target), saved);
}

TEST_F(SmfTransfer, TheDeviceCommandsOfferAndRunTheSmfCommands) {
    using namespace TavCommands;
    Brio::CTavDeviceCommands commands(accessor);
    const std::string path = (dir.Path() / "menu.mid").string();
    Edit(accessor.Bound().partLevel[8], 44);
    for (int id : {kExportPartInfo, kExportPartInfoAndSets, kImportSmf})
        EXPECT_TRUE(commands.IsEnabled(*FindMenuItem(id))) << id;
    EXPECT_TRUE(commands.Run(*FindMenuItem(kExportPartInfoAndSets), path));
    EventList events(TavBytes(std::istreambuf_iterator<char>(*std::make_unique<std::ifstream>(path, std::ios::binary)),
                              std::istreambuf_iterator<char>()));
    ASSERT_TRUE(events.Read());
    EXPECT_GT(events.messages.size(), DataSetsOf({accessor.Bound().partInfo}).size());
    Edit(accessor.Bound().partLevel[8], 45);
    EXPECT_TRUE(commands.Run(*FindMenuItem(kImportSmf), path));
    EXPECT_EQ(accessor.Bound().partLevel[8]->GetRaw(), 44);
    EXPECT_FALSE(commands.Run(*FindMenuItem(kImportSmf), path + ".missing"));

}

// Offline the layer has neither reader nor writer: nothing to offer.
class SmfOffline : public test::DeviceLayerFixture {};

TEST_F(SmfOffline, TheSmfCommandsAreDisabled) {
    using namespace TavCommands;
    StartLayer(test::ShippedScriptText(), false);
    Brio::CTavDeviceCommands commands(accessor);
    for (int id : {kExportPartInfo, kExportPartInfoAndSets, kImportSmf})
        EXPECT_FALSE(commands.IsEnabled(*FindMenuItem(id))) << id;
}

// A script whose device memory has no part information: the export fails while the writer
// stands in for the device, and the device still comes back.
class SmfExportWithoutPartInfo : public test::DeviceLayerFixture {};

TEST_F(SmfExportWithoutPartInfo, FailsAndGivesTheDeviceBack) {
    std::string script = test::ReadFile(test::DataDir() / "scripts/valid/model/VireoEditorScript.xml");
    script.replace(script.find("<name>prti</name>"), 17, "<name>prtx</name>");
    StartLayer(script);
    ASSERT_EQ(accessor.Bound().partInfo, nullptr);
    RecordingDevice cable;
    CTavMidiOut& output = *system.MidiManager().Output(0);
    output.SetDevice(&cable);
    TavBytes file = {1, 2, 3};
    EXPECT_FALSE(accessor.Writer()->ExportSmf(PartInfo, file));
    EXPECT_EQ(file, (TavBytes{1, 2, 3}));
    EXPECT_EQ(output.Device(), &cable);
}

} // namespace

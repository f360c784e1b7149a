#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>

#include "app/TavStrings.h"
#include "device/CTavBufferAccessor.h"
#include "device/CTavDeviceFunctions.h"
#include "device/CTavEditCommands.h"
#include "entity/CTavUserNameFile.h"
#include "support/DeviceLayerFixture.h"
#include "support/RecordingTextOut.h"
#include "view/CTavMenuItem.h"
#include "view/ITavPopupMenu.h"
#include "virtual/CVirtualDevice.h"

namespace {

using namespace std::chrono_literals;

// The editor's output as the virtual device receives it; data requests past a limit are
// swallowed, and identity requests may be answered with a message of our own instead.
class Cable : public CTavMidiOutDevice {
public:
    Cable(CVirtualDevice& device, FakeClock& clock) : m_device(device), m_clock(clock) {}
    void Send(const TavBytes& bytes) override {
        sent.push_back(bytes);
        const bool identity = bytes.size() == 6 && bytes[1] == 0x7E;
        if (identity && !identityReplies.empty()) {
            extra.insert(extra.end(), identityReplies.begin(), identityReplies.end());
            return;
        }
        const bool request = Command(bytes) == CTavHaldenMessage::kDataRequest;
        if (request && passRequests >= 0 && passRequests-- == 0) {
            passRequests = 0;
            return;
        }
        m_device.Receive(bytes, m_clock.Now());
    }
    static int Command(const TavBytes& bytes) {
        CTavHaldenMessage message;
        if (bytes.size() < 2 || bytes[1] != CTavHaldenMessage::kManufacturerId || !message.Parse(bytes, 4))
            return -1;
        return message.GetField(CTavHaldenMessage::kCommandId).at(0);
    }
    // Data sets sent to an address, as their data.
    std::vector<TavBytes> DataSetsAt(uint32_t address) const {
        std::vector<TavBytes> found;
        for (const TavBytes& bytes : sent) {
            CTavHaldenMessage message;
            if (Command(bytes) == CTavHaldenMessage::kDataSet && message.Parse(bytes, 4) &&
                TavDecodeAddress(message.FieldData(CTavHaldenMessage::kAddress), 4) == address)
                found.push_back(message.GetField(CTavHaldenMessage::kData));
        }
        return found;
    }

    std::vector<TavBytes> sent;
    std::vector<TavBytes> identityReplies;
    std::deque<TavBytes> extra;
    int passRequests = -1;

private:
    CVirtualDevice& m_device;
    FakeClock& m_clock;
};

class LoopReader : public Brio::CTavReader {
public:
    LoopReader(CTavSystem& system, CTavEntityManager& entities, FakeClock& clock, CVirtualDevice& device,
               Cable& cable)
        : CTavReader(system.BufferManager(), entities, system.BufferOutput(), clock), m_clock(clock),
          m_device(device), m_cable(cable) {}
    CTavMidiIn* input = nullptr;

protected:
    void Pump() override {
        TavBytes reply;
        while (!m_cable.extra.empty()) {
            reply = m_cable.extra.front();
            m_cable.extra.pop_front();
            input->Receive(reply);
        }
        while (m_device.TakeDue(m_clock.Now(), reply))
            input->Receive(reply);
        m_clock.Advance(1ms);
    }

private:
    FakeClock& m_clock;
    CVirtualDevice& m_device;
    Cable& m_cable;
};

class Progress : public ITavProgress {
public:
    void Begin(int steps, int code, bool) override {
        codes.push_back(code);
        Start(steps);
    }
    void Start(int steps) override {
        started.push_back(steps);
        if (onStart)
            onStart();
    }
    void Step() override { ++steps; }
    void Finish() override { ++finished; }
    std::vector<int> codes, started;
    int steps = 0, finished = 0;
    std::function<void()> onStart;
};

class Popup : public ITavPopupMenu {
public:
    int32_t Show(const CTavMenuItem& menu, int32_t currentLeaf, const TavPopupPosition&) override {
        texts.clear();
        for (const auto& child : menu.Children())
            texts.push_back(child->Text());
        current = currentLeaf;
        return answer;
    }
    std::vector<std::string> texts;
    int32_t current = -2, answer = -1;
};

// A message box during which other events may run.
class ModalMessages : public test::RecordingTextOut {
public:
    void Report(int code) override {
        RecordingTextOut::Report(code);
        if (whileShown)
            whileShown();
    }
    std::function<void()> whileShown;
};

class DeviceProcedures : public test::ModelFixture {
protected:
    void SetUp() override {
        const std::string script = test::ShippedScriptText();
        Build(script, CTavSystem::Views::Skip);
        messages = new ModalMessages;
        system.SetTextOut(CTavSystem::kMessageBoxOutput, messages);
        system.SetScriptFolder(folder.Path().string());
        system.ViewManager().SetProgress(&progress);
        auto popupMenu = std::make_unique<Popup>();
        popup = popupMenu.get();
        system.SetPopupMenu(std::move(popupMenu));
        CTavTextOutStringStream errors;
        ASSERT_TRUE(device.Create(script, &errors)) << errors.Text();
        auto ownReader = std::make_unique<LoopReader>(system, accessor.Entities(), clock, device, cable);
        ownReader->input = system.MidiManager().Input(0);
        reader = ownReader.get();
        ASSERT_TRUE(accessor.Start(system, std::move(ownReader),
                                   std::make_unique<Brio::CTavWriter>(Buffers(), clock), clock));
        system.MidiManager().Output(0)->SetDevice(&cable);
    }
    void TearDown() override {
        system.MidiManager().Output(0)->SetDevice(nullptr);
        accessor.Shutdown();
    }

    uint32_t At(const std::string& path) { return static_cast<uint32_t>(Value(path).AbsoluteRange().begin); }
    void Poke(const std::string& path, uint8_t raw) { ASSERT_TRUE(device.WriteMemory(At(path), &raw, 1)); }
    int PendingCode() {
        return static_cast<CTavTextOutBuffer*>(system.BufferOutput())->PendingCode();
    }
    static bool IsIdentityRequest(const TavBytes& bytes) {
        return bytes == TavBytes{0xF0, 0x7E, 0x10, 0x06, 0x01, 0xF7};
    }
    // The addresses of the messages of a command sent so far, in order.
    std::vector<uint32_t> AddressesSent(int command) const {
        std::vector<uint32_t> addresses;
        for (const TavBytes& bytes : cable.sent) {
            CTavHaldenMessage message;
            if (Cable::Command(bytes) == command && message.Parse(bytes, 4))
                addresses.push_back(TavDecodeAddress(message.FieldData(CTavHaldenMessage::kAddress), 4));
        }
        return addresses;
    }
    bool Sent(int command, const std::string& path) {
        const std::vector<uint32_t> addresses = AddressesSent(command);
        return std::find(addresses.begin(), addresses.end(), At(path)) != addresses.end();
    }
    // A user names file with the first count entries of the user patch bank at LSB 0
    // (and on at LSB 1), entry 3 named "From File".
    void WriteNames(int32_t count) {
        CTavEntityManager names;
        ASSERT_TRUE(TavAddNameBank(names, TavEntityType::Patch, TavEntityArea::User, 0, count));
        names.SetInformation({TavEntityType::Patch, 0, 0, 3}, CCategoryInformation("From File", 5));
        ASSERT_TRUE(
            CTavUserNameFile::Save((folder.Path() / CTavUserNameFile::kFileName).string(), names, nullptr));
    }
    std::string StructPath(const char* format, int32_t part) { return Brio::TavIndexedPath(format, part); }

    test::TempDir folder;
    FakeClock clock;
    Progress progress;
    CVirtualDevice device;
    Cable cable{device, clock};
    LoopReader* reader = nullptr;
    Popup* popup = nullptr;
    ModalMessages* messages = nullptr;
    Brio::CTavBufferAccessor accessor;
};

TEST_F(DeviceProcedures, ReadTakesTheWholeDeviceAfterTheIdentityCheck) {
    Poke("qv.system.masterLevel", 99);
    Poke("qv.setup.metronomeLevel", 55);
    ASSERT_TRUE(accessor.Read()) << system.ErrorText();
    EXPECT_TRUE(IsIdentityRequest(cable.sent.front()));
    EXPECT_EQ(Value("qv.system.masterLevel").GetRaw(), 99);
    EXPECT_EQ(Value("qv.setup.metronomeLevel").GetRaw(), 55);
    EXPECT_EQ(progress.codes, std::vector<int>{Brio::CTavBufferAccessor::kGettingDataCode});
    ASSERT_EQ(progress.started.size(), 1u);
    EXPECT_EQ(progress.steps, progress.started[0]);
    EXPECT_EQ(progress.finished, 1);
    EXPECT_FALSE(accessor.IsBusy());
    EXPECT_EQ(PendingCode(), 0);
    // The names came from the device, since there is no names file yet.
    EXPECT_TRUE(accessor.PartEntityId(0).IsValid());
}

TEST_F(DeviceProcedures, TheFirstReadWithoutANamesFileReadsTheNamesUnderItsBar) {
    const CVirtualCatalog& catalog = device.Catalog();
    ASSERT_TRUE(accessor.Read());
    ASSERT_EQ(progress.started.size(), 1u);
    EXPECT_EQ(progress.steps, progress.started[0]);
    const CTavEntityManager& entities = accessor.Entities();
    EXPECT_EQ(entities.InformationOf({TavEntityType::Patch, 0, 0, 129}).Name(),
              catalog.Bank(CVirtualCatalog::PatchUser, 0)[129].name);
    EXPECT_EQ(entities.InformationOf({TavEntityType::Patch, 1, 1, 19}).Name(),
              catalog.Bank(CVirtualCatalog::PatchCard, 1)[19].name);
    EXPECT_EQ(entities.InformationOf({TavEntityType::RhythmSet, 1, 0, 7}).Name(),
              catalog.Bank(CVirtualCatalog::RhythmSetCard, 0)[7].name);
    EXPECT_TRUE(std::filesystem::exists(folder.Path() / CTavUserNameFile::kFileName));
    EXPECT_EQ(PendingCode(), 0);

    // The names file now holds them: the next Read asks for no names.
    cable.sent.clear();
    ASSERT_TRUE(accessor.Read());
    EXPECT_FALSE(Sent(CTavHaldenMessage::kDataRequest, "com.utility.command.patchNameInformation2"));
    EXPECT_EQ(entities.InformationOf({TavEntityType::Patch, 0, 0, 129}).Name(),
              catalog.Bank(CVirtualCatalog::PatchUser, 0)[129].name);
}

// The device's memory decides what each part plays: a names file that leaves a part's
// program out does not turn it into the first user patch.
TEST_F(DeviceProcedures, ANamesFileThatMissesAPartsProgramGivesWayToTheDevicesBanks) {
    const struct {
        const char* what;
        int32_t fileEntries; // 0: no file
        bool asksForBanks;
    } cases[] = {
        {"no file", 0, true},
        {"a file of the whole bank", 130, false},
        {"a cut file", 10, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove(folder.Path() / CTavUserNameFile::kFileName);
        if (c.fileEntries > 0)
            WriteNames(c.fileEntries);
        // Part 1 plays user patch 51, part 2 the 130th, which travels at LSB 1.
        Poke("qv.prti.part[0].patchProgramNumber", 50);
        Poke("qv.prti.part[1].patchBankSelectLsb", 1);
        Poke("qv.prti.part[1].patchProgramNumber", 1);
        Poke("qv.pat[1].common.patchLevel", 33);
        cable.sent.clear();
        ASSERT_TRUE(accessor.Read());
        EXPECT_EQ(Sent(CTavHaldenMessage::kDataRequest, "com.utility.command.patchUserBankInformation"),
                  c.asksForBanks);
        EXPECT_EQ(Value("qv.prti.part[0].patchProgramNumber").GetRaw(), 50);
        EXPECT_EQ(Value("qv.prti.part[1].patchBankSelectLsb").GetRaw(), 1);
        EXPECT_EQ(Value("qv.prti.part[1].patchProgramNumber").GetRaw(), 1);
        EXPECT_EQ(accessor.PartEntityId(0), (CTavEntityId{TavEntityType::Patch, 0, 0, 50}));
        EXPECT_EQ(accessor.PartEntityId(1), (CTavEntityId{TavEntityType::Patch, 0, 0, 129}));
        EXPECT_EQ(accessor.Entities().Count({TavEntityType::Patch, 0, 0, TavWildcard}), 130);
        EXPECT_EQ(accessor.Entities().CountBanks({TavEntityType::Patch, 0, TavWildcard, TavWildcard}), 1);
        // What part 2 plays was read from the device.
        EXPECT_EQ(Value("qv.pat[1].common.patchLevel").GetRaw(), 33);
        // The file's names stay on the entries the device still has; without a file the
        // device's names were read.
        EXPECT_EQ(accessor.Entities().InformationOf({TavEntityType::Patch, 0, 0, 3}).Name(),
                  c.fileEntries ? "From File" : device.Catalog().Bank(CVirtualCatalog::PatchUser, 0)[3].name);
        EXPECT_TRUE(messages->outputs.empty());
        EXPECT_EQ(PendingCode(), 0);
    }
}

TEST_F(DeviceProcedures, APartWhoseProgramIsInNoBankIsSkippedAndNamedOnce) {
    EXPECT_EQ(Brio::CTavBufferAccessor::SkippedPartsText({}, "read"), "");
    EXPECT_EQ(Brio::CTavBufferAccessor::SkippedPartsText({3}, "sent"),
              "Part 4: the program is not in the device's banks; their patch or rhythm set was not sent.");
    // Part 4 plays a user patch of a bank the device lacks, part 9 a card rhythm set of one.
    Poke("qv.prti.part[3].patchBankSelectLsb", 5);
    Poke("qv.prti.part[8].patchBankSelectMsb", 82);
    Poke("qv.prti.part[8].patchBankSelectLsb", 40);
    Poke("qv.pat[15].common.patchLevel", 21);
    ASSERT_TRUE(accessor.Read());
    EXPECT_EQ(messages->outputs,
              std::vector<std::string>{"Parts 4, 9: the program is not in the device's banks; "
                                       "their patch or rhythm set was not read.\n"});
    EXPECT_EQ(Value("qv.prti.part[3].patchBankSelectLsb").GetRaw(), 5);
    EXPECT_EQ(Value("qv.pat[15].common.patchLevel").GetRaw(), 21);
    EXPECT_EQ(Value("vs.control.partEntityType[3]").GetRaw(), 0);
    EXPECT_FALSE(Sent(CTavHaldenMessage::kDataRequest, StructPath("qv.pat[%d].common.patchName", 3)));
    EXPECT_FALSE(Sent(CTavHaldenMessage::kDataRequest, StructPath("qv.rhy[%d].common.rhythmName", 8)));
    EXPECT_EQ(PendingCode(), 0);

    // Sync sends every other part's patch, and says which were not sent.
    messages->outputs.clear();
    cable.sent.clear();
    Value("qv.pat[15].common.patchLevel").SetRaw(77);
    ASSERT_TRUE(accessor.Sync());
    EXPECT_EQ(messages->outputs,
              std::vector<std::string>{"Parts 4, 9: the program is not in the device's banks; "
                                       "their patch or rhythm set was not sent.\n"});
    TavBytes byte;
    ASSERT_TRUE(device.ReadMemory(At("qv.pat[15].common.patchLevel"), 1, byte));
    EXPECT_EQ(byte[0], 77);
    EXPECT_FALSE(Sent(CTavHaldenMessage::kDataSet, StructPath("qv.pat[%d].common.patchName", 3)));
    EXPECT_TRUE(Sent(CTavHaldenMessage::kDataSet, StructPath("qv.pat[%d].common.patchName", 4)));

    // One part.
    messages->outputs.clear();
    Value("qv.prti.part[8].patchBankSelectLsb").SetRaw(0);
    ASSERT_TRUE(accessor.Sync());
    EXPECT_EQ(messages->outputs, std::vector<std::string>{"Part 4: the program is not in the device's banks; "
                                                          "their patch or rhythm set was not sent.\n"});
}

// After Read and Sync every part shows what it plays, and the current part's type is known
// to the Edit menu and the tone synchroniser.
TEST_F(DeviceProcedures, ReadAndSyncShowWhatEveryPartPlays) {
    Poke("qv.prti.part[2].patchBankSelectMsb", 82);
    for (const bool read : {false, true}) {
        SCOPED_TRACE(read ? "Read" : "Sync");
        for (int part = 0; part < 16; ++part)
            Value(StructPath("vs.control.partEntityType[%d]", part)).SetRaw(0);
        Value("vs.control.entityType").SetRaw(0);
        Value("vs.control.partId").SetRaw(2);
        if (!read)
            Value("qv.prti.part[2].patchBankSelectMsb").SetRaw(82);
        ASSERT_TRUE(read ? accessor.Read() : accessor.Sync());
        EXPECT_EQ(Value("vs.control.entityType").GetRaw(), 2);
        for (int part = 0; part < 16; ++part)
            EXPECT_EQ(Value(StructPath("vs.control.partEntityType[%d]", part)).GetRaw(), part == 2 ? 2 : 1)
                << part;
    }
    // Applying the programs again does not make the state a changed document, nor a saved one.
    for (const bool modified : {false, true}) {
        Buffers().FindRoot("qv")->SetModified(modified);
        accessor.ReapplyPartEntities();
        EXPECT_EQ(Buffers().FindRoot("qv")->IsModified(), modified);
    }
}

TEST_F(DeviceProcedures, IdentityRepliesAreCheckedByteForByte) {
    const TavBytes good = {0xF0, 0x7E, 0x10, 0x06, 0x02, 0x41, 0x14, 0x02, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0xF7};
    auto with = [&](size_t at, uint8_t byte) {
        TavBytes bytes = good;
        bytes[at] = byte;
        return bytes;
    };
    TavBytes longer = good;
    longer.insert(longer.end() - 1, 0x00);
    const struct {
        const char* what;
        std::vector<TavBytes> replies;
        bool ok;
        int code;
    } cases[] = {
        {"the Vireo", {good}, true, 0},
        {"another version", {with(11, 0x04)}, false, Brio::CTavReader::kUnconnectedCode},
        {"another family", {with(6, 0x15)}, false, Brio::CTavReader::kUnconnectedCode},
        // Not a reply at all: the reader keeps waiting and times out.
        {"another device ID", {with(2, 0x11)}, false, CTavMidiReader::kNoReplyCode},
        {"another maker", {with(5, 0x42)}, false, CTavMidiReader::kNoReplyCode},
        {"not an identity reply", {with(4, 0x01)}, false, CTavMidiReader::kNoReplyCode},
        {"too long", {longer}, false, CTavMidiReader::kNoReplyCode},
        {"a stray message, then the Vireo", {with(2, 0x11), good}, true, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        system.BufferOutput()->Report(0);
        cable.identityReplies = c.replies;
        EXPECT_EQ(accessor.CheckIdentity(), c.ok);
        EXPECT_EQ(PendingCode(), c.code);
    }
}

TEST_F(DeviceProcedures, ReadFailsOnAForeignOrSilentDeviceWithoutReadingAnything) {
    Poke("qv.system.masterLevel", 99);
    device.InjectedFaults().foreignIdentityReplies = 1;
    EXPECT_FALSE(accessor.Read());
    EXPECT_EQ(PendingCode(), Brio::CTavReader::kUnconnectedCode);
    device.InjectedFaults().dropIdentityReplies = 2;
    EXPECT_FALSE(accessor.Read());
    EXPECT_EQ(PendingCode(), CTavMidiReader::kNoReplyCode);
    EXPECT_EQ(cable.sent.size(), 3u); // three identity requests, nothing else
    EXPECT_NE(Value("qv.system.masterLevel").GetRaw(), 99);
    EXPECT_FALSE(accessor.IsBusy());
    EXPECT_TRUE(progress.started.empty());
}

TEST_F(DeviceProcedures, ReadReenteredFromTheProgressBarFailsAtOnce) {
    std::vector<bool> nested;
    size_t sentBefore = 0;
    progress.onStart = [&] {
        sentBefore = cable.sent.size();
        nested.push_back(accessor.Read());
        nested.push_back(accessor.ReadNames());
        EXPECT_EQ(cable.sent.size(), sentBefore);
    };
    EXPECT_TRUE(accessor.Read());
    EXPECT_EQ(nested, (std::vector<bool>{false, false}));
    EXPECT_FALSE(accessor.IsBusy());
    progress.onStart = nullptr;
    EXPECT_TRUE(accessor.Read());
}

TEST_F(DeviceProcedures, ReadLeavesPcModeFirstUnlessTheSampleEditWindowIsOpen) {
    const uint32_t request = At("com.utility.command.pcModeRequest");
    Poke("com.utility.command.pcModeRequest", 1);
    ASSERT_TRUE(accessor.Read());
    EXPECT_EQ(cable.DataSetsAt(request), std::vector<TavBytes>{TavBytes{0}});
    // Identity request, the one-byte request for the state, then the data set leaving it.
    ASSERT_GE(cable.sent.size(), 3u);
    EXPECT_EQ(Cable::Command(cable.sent[1]), CTavHaldenMessage::kDataRequest);
    EXPECT_EQ(Cable::Command(cable.sent[2]), CTavHaldenMessage::kDataSet);
    EXPECT_FALSE(device.InPcMode());

    // Not in PC mode: asked, but nothing sent.
    cable.sent.clear();
    ASSERT_TRUE(accessor.Read());
    EXPECT_TRUE(cable.DataSetsAt(request).empty());

    // The sample edit window keeps it: not even asked.
    Poke("com.utility.command.pcModeRequest", 1);
    Value("vs.sampleEdit.view.view").SetRaw(1);
    cable.sent.clear();
    ASSERT_TRUE(accessor.Read());
    EXPECT_TRUE(cable.DataSetsAt(request).empty());
    EXPECT_TRUE(device.InPcMode());
}

TEST_F(DeviceProcedures, AFailingReadKeepsWhatItReadAndClearsTheBusyFlag) {
    Poke("qv.setup.metronomeLevel", 55);
    Poke("qv.system.masterLevel", 99);
    ASSERT_TRUE(accessor.Read());
    // With a names file the read asks nothing about the banks.
    ASSERT_TRUE(accessor.StoreUserNames());
    Poke("qv.setup.metronomeLevel", 11);
    Poke("qv.system.masterLevel", 42);
    // One request for the PC mode state and the whole of "qv.setup" get through; the
    // leaves of "qv.prti" are never answered.
    cable.passRequests = 1 + static_cast<int>(reader->CountSteps(Brio::TavReadMask::Setup));
    EXPECT_FALSE(accessor.Read());
    EXPECT_EQ(PendingCode(), CTavMidiReader::kNoReplyCode);
    EXPECT_EQ(Value("qv.setup.metronomeLevel").GetRaw(), 11);
    EXPECT_EQ(Value("qv.system.masterLevel").GetRaw(), 99);
    EXPECT_FALSE(accessor.IsBusy());
    EXPECT_EQ(progress.finished, 1); // the first Read's bar only: the failing one never opened it
}

TEST_F(DeviceProcedures, SyncSendsEveryStructTheReadTook) {
    ASSERT_TRUE(accessor.Read());
    progress = {};
    Value("qv.system.masterLevel").SetRaw(77);
    Value("qv.setup.metronomeLevel").SetRaw(33);
    ASSERT_TRUE(accessor.Sync());
    TavBytes byte;
    ASSERT_TRUE(device.ReadMemory(At("qv.system.masterLevel"), 1, byte));
    EXPECT_EQ(byte[0], 77);
    ASSERT_TRUE(device.ReadMemory(At("qv.setup.metronomeLevel"), 1, byte));
    EXPECT_EQ(byte[0], 33);
    EXPECT_EQ(progress.codes, std::vector<int>{Brio::CTavBufferAccessor::kSynchronizingCode});
    ASSERT_EQ(progress.started.size(), 1u);
    // "qv.prti" sends its reverb block too, which the count leaves out.
    EXPECT_GE(progress.steps, progress.started[0]);
    EXPECT_LE(progress.steps, progress.started[0] + 1);
    EXPECT_FALSE(IsIdentityRequest(cable.sent.back()));
}

TEST_F(DeviceProcedures, EveryProcedureNeedsConnectedPorts) {
    Brio::CTavDeviceCommands commands(accessor);
    const TavCommands::MenuItem& names = *TavCommands::FindMenuItem(TavCommands::kReadNames);
    const TavCommands::MenuItem& samples = *TavCommands::FindMenuItem(TavCommands::kReadSampleNames);
    bool inputUp = true;
    accessor.SetInputLink([&] { return inputUp; });
    const struct {
        const char* what;
        bool output, input;
    } cases[] = {{"no output", false, true}, {"no input", true, false}, {"neither", false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        system.MidiManager().Output(0)->SetDevice(c.output ? &cable : nullptr);
        inputUp = c.input;
        messages->reports.clear();
        const TavTime before = clock.Now();
        EXPECT_FALSE(accessor.Read());
        EXPECT_FALSE(accessor.Sync());
        EXPECT_FALSE(accessor.ReadNames());
        EXPECT_FALSE(accessor.ReadSampleNames());
        EXPECT_FALSE(accessor.ReadPart(0));
        EXPECT_FALSE(accessor.ReadAllParts());
        EXPECT_FALSE(system.FunctionManager().Call("Read", ""));
        const int code = TavStrings::kCodeMidiNotSetUp;
        EXPECT_EQ(messages->reports, std::vector<int>(7, code));
        EXPECT_EQ(clock.Now(), before); // at once, without waiting for a reply
        // The commands and buttons that need the link are disabled while it is down.
        EXPECT_FALSE(system.FunctionManager().IsEnabled("Read"));
        EXPECT_FALSE(system.FunctionManager().IsEnabled("Sync"));
        EXPECT_TRUE(system.FunctionManager().IsEnabled("SelectPatch"));
        EXPECT_FALSE(commands.IsEnabled(names));
        EXPECT_FALSE(commands.IsEnabled(samples));
    }
    EXPECT_TRUE(cable.sent.empty());
    EXPECT_FALSE(accessor.IsBusy());
    system.MidiManager().Output(0)->SetDevice(&cable);
    inputUp = true;
    EXPECT_TRUE(system.FunctionManager().IsEnabled("Read"));
    EXPECT_TRUE(commands.IsEnabled(names));
    EXPECT_TRUE(accessor.Read());
}

TEST_F(DeviceProcedures, ReadNamesStoresTheUserNamesFile) {
    ASSERT_TRUE(accessor.ReadNames());
    const std::string path = (folder.Path() / CTavUserNameFile::kFileName).string();
    std::vector<CTavUserNameEntry> entries;
    ASSERT_TRUE(CTavUserNameFile::Load(path, entries, nullptr));
    EXPECT_FALSE(entries.empty());
    EXPECT_TRUE(messages->reports.empty());
    EXPECT_FALSE(accessor.IsBusy());

    // A folder that is gone: the names are read, but storing them fails with code 2.
    system.SetScriptFolder((folder.Path() / "gone").string());
    EXPECT_TRUE(accessor.ReadNames());
    EXPECT_EQ(messages->reports, std::vector<int>{TavStrings::kCodeSaveFailed});
}

TEST_F(DeviceProcedures, TheEditMenuReadsNamesAndReportsAMissingLinkAtOnce) {
    Brio::CTavDeviceCommands commands(accessor);
    const TavCommands::MenuItem& names = *TavCommands::FindMenuItem(TavCommands::kReadNames);
    const TavCommands::MenuItem& samples = *TavCommands::FindMenuItem(TavCommands::kReadSampleNames);
    EXPECT_TRUE(commands.IsEnabled(names));
    EXPECT_TRUE(commands.IsEnabled(samples));
    commands.Run(samples, "");
    EXPECT_TRUE(accessor.SampleNamesRead());
    commands.Run(names, "");
    EXPECT_TRUE(std::filesystem::exists(folder.Path() / CTavUserNameFile::kFileName));
    EXPECT_TRUE(messages->reports.empty());

    system.MidiManager().Output(0)->SetDevice(nullptr);
    const size_t sent = cable.sent.size();
    commands.Run(names, "");
    commands.Run(samples, "");
    EXPECT_EQ(messages->reports, std::vector<int>(2, TavStrings::kCodeMidiNotSetUp));
    EXPECT_EQ(cable.sent.size(), sent);
}

TEST_F(DeviceProcedures, AWriteNotificationStoresTheUserNamesFile) {
    ASSERT_TRUE(accessor.Read());
    // The first Read stored the names; the notification must store them again.
    const std::filesystem::path names = folder.Path() / CTavUserNameFile::kFileName;
    ASSERT_TRUE(std::filesystem::remove(names));
    const CTavProgramId program = accessor.Entities().ProgramIdOf(accessor.PartEntityId(0));
    ASSERT_TRUE(program.IsValid());
    Value("qv.pat[0].common.patchName").SetText("Stored Name ");
    ASSERT_TRUE(accessor.Sync());
    ASSERT_TRUE(device.StorePart(0, static_cast<uint8_t>(program.msb), static_cast<uint8_t>(program.lsb),
                                 static_cast<uint8_t>(program.program), clock.Now()));
    reader->CheckIdentity(0x10); // any wait delivers what the device sent
    std::vector<CTavUserNameEntry> entries;
    ASSERT_TRUE(CTavUserNameFile::Load(names.string(), entries, nullptr));
    EXPECT_TRUE(std::any_of(entries.begin(), entries.end(),
                            [](const CTavUserNameEntry& entry) { return entry.name == "Stored Name "; }));
    EXPECT_TRUE(messages->reports.empty());
}

TEST_F(DeviceProcedures, PcModeFollowsTheSampleEditWindow) {
    const uint32_t request = At("com.utility.command.pcModeRequest");
    CTavValue& view = Value("vs.sampleEdit.view.view");
    Buffers().WriteInteger(view, 1);
    EXPECT_EQ(cable.DataSetsAt(request), std::vector<TavBytes>{TavBytes{1}});
    EXPECT_TRUE(accessor.SampleNamesRead());
    EXPECT_TRUE(device.InPcMode());

    // The device leaves by itself: reported at once and asked again.
    ASSERT_TRUE(device.LeavePcMode(clock.Now()));
    EXPECT_FALSE(device.InPcMode());
    reader->CheckIdentity(0x10); // any wait delivers what the device sent
    EXPECT_EQ(messages->reports, std::vector<int>{TavStrings::kCodeExitedPcMode});
    EXPECT_EQ(cable.DataSetsAt(request).size(), 2u);
    EXPECT_TRUE(device.InPcMode());

    // A second report arriving while the message box shows is not repeated.
    messages->whileShown = [&] {
        device.LeavePcMode(clock.Now());
        reader->CheckIdentity(0x10);
    };
    device.LeavePcMode(clock.Now());
    reader->CheckIdentity(0x10);
    messages->whileShown = nullptr;
    EXPECT_EQ(messages->reports, std::vector<int>(2, TavStrings::kCodeExitedPcMode));
    EXPECT_EQ(cable.DataSetsAt(request).size(), 3u);
    messages->reports.resize(1);

    // Closing lets the device go and opening asks again, but the sample names are read
    // once only; with the window closed, leaving is fine.
    const size_t sent = cable.sent.size();
    Buffers().WriteInteger(view, 0);
    Buffers().WriteInteger(view, 1);
    EXPECT_EQ(cable.DataSetsAt(request), (std::vector<TavBytes>{{1}, {1}, {1}, {0}, {1}}));
    EXPECT_LT(cable.sent.size(), sent + 20);
    Buffers().WriteInteger(view, 0);
    device.LeavePcMode(clock.Now());
    reader->CheckIdentity(0x10);
    EXPECT_EQ(messages->reports.size(), 1u);
}

TEST_F(DeviceProcedures, FunctionsAreRegisteredAndSampleCommandsRefuseWithoutATarget) {
    for (const char* name : Brio::kTavDeviceFunctionNames)
        EXPECT_TRUE(system.FunctionManager().IsRegistered(name)) << name;
    EXPECT_EQ(system.FunctionManager().Count(), Brio::kTavDeviceFunctionNames.size());
    // Only the auto chops need no target; they go out and answer true.
    for (size_t i = 5; i < Brio::kTavDeviceFunctionNames.size(); ++i) {
        const std::string name = Brio::kTavDeviceFunctionNames[i];
        EXPECT_EQ(system.FunctionManager().Call(name, ""), name.rfind("SampleChopAuto", 0) == 0) << name;
    }
    EXPECT_EQ(cable.DataSetsAt(At("com.utility.sampleEdit.modify.autoChop")).size(), cable.sent.size());
    cable.sent.clear();
    // Nested wait cursors show once.
    std::vector<bool> cursor;
    accessor.SetWaitCursor([&](bool on) { cursor.push_back(on); });
    EXPECT_TRUE(system.FunctionManager().Call("Read", "ignored"));
    EXPECT_EQ(cursor, (std::vector<bool>{true, false}));
    accessor.Shutdown();
    EXPECT_EQ(system.FunctionManager().Count(), 0u);
}

TEST_F(DeviceProcedures, PartExpressions) {
    Value("vs.control.partId").SetRaw(4);
    const struct {
        const char* text;
        bool ok;
        int32_t part;
    } cases[] = {
        {" 3 ", true, 3},
        {"\t15\n", true, 15},
        {"vs.control.partId,1", true, 5},
        {" vs.control.partId , -4 ", true, 0},
        {"vs.control.partId,0,", true, 4}, // an empty item does not count
        {"", false, 0},
        {",,", false, 0},
        {"1,2,3", false, 0},
        {"16", false, 0},
        {"-1", false, 0},
        {"3x", false, 0},
        {"0x3", false, 0},
        {"vs.control.nothing,1", false, 0},
        {"vs.control.partId,12", false, 0},
        {"vs.control.partId,one", false, 0},
    };
    for (const auto& c : cases) {
        int32_t part = -7;
        EXPECT_EQ(Brio::TavEvaluatePartExpression(c.text, Buffers(), part), c.ok) << c.text;
        EXPECT_EQ(part, c.ok ? c.part : -7) << c.text;
    }
}

TEST_F(DeviceProcedures, RhythmKeyMenuNamesKeysAndTones) {
    EXPECT_EQ(Brio::TavNoteName(59), "B 3");
    EXPECT_EQ(Brio::TavNoteName(61), "C#4");
    EXPECT_EQ(Brio::TavNoteName(63), "Eb4");
    EXPECT_EQ(Brio::TavNoteName(60), "C 4");
    EXPECT_EQ(Brio::TavNoteName(70), "Bb4");
    Value("vs.control.partId").SetRaw(9);
    Value("qv.rhy[9].tone[1].toneName").SetText("Snare");
    Value("vs.control.rhythmTone").SetRaw(2);
    popup->answer = 5;
    EXPECT_TRUE(system.FunctionManager().Call("SelectRhythmKey", ""));
    ASSERT_EQ(popup->texts.size(), 16u);
    EXPECT_EQ(popup->texts[0].substr(0, 5), "B 3: ");
    EXPECT_EQ(popup->texts[1].substr(0, 10), "C 4: Snare");
    EXPECT_EQ(popup->texts[2].substr(0, 5), "C#4: ");
    EXPECT_EQ(popup->current, 2);
    EXPECT_EQ(Value("vs.control.rhythmTone").GetRaw(), 5);
    popup->answer = -1;
    EXPECT_FALSE(system.FunctionManager().Call("SelectRhythmKey", ""));
    EXPECT_EQ(Value("vs.control.rhythmTone").GetRaw(), 5);
}

} // namespace

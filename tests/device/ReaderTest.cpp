// The device reader's catalog procedures against a device that answers at once: number
// information, name lists, sample names, struct reads by read mask, the write
// notification and the order replies are routed in. The pump delivers queued replies and
// moves a fake clock, so time-outs are measured without sleeping.

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "device/CTavReader.h"
#include "device/CTavWriter.h"
#include "entity/CTavEntityRecords.h"
#include "support/FakeCatalogDevice.h"
#include "support/FakeClock.h"
#include "support/ModelFixture.h"
#include "support/TestSupport.h"
#include "view/ITavProgress.h"

namespace {

using namespace std::chrono_literals;
using namespace TavEntityType;
using Brio::TavReadMask::CardNames;
using Brio::TavReadMask::SampleNames;
using Brio::TavReadMask::UserPatchNames;
using Brio::TavReadMask::UserRhythmSetNames;

std::string ShippedScript() {
    std::ifstream in(test::ShippedScriptDir() / "VireoEditorScript.xml", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class TestReader : public Brio::CTavReader {
public:
    TestReader(CTavBufferManager& buffers, CTavEntityManager& entities, CTavTextOut* report, FakeClock& clock)
        : CTavReader(buffers, entities, report, clock), m_clock(clock) {}
    CTavMidiIn* input = nullptr;
    test::FakeCatalogDevice* device = nullptr;
    int timeoutSeen = 0, attemptsSeen = 0;

protected:
    void Pump() override {
        timeoutSeen = Timeout();
        attemptsSeen = Attempts();
        while (!device->replies.empty()) {
            const TavBytes reply = device->replies.front();
            device->replies.pop_front();
            input->Receive(reply);
        }
        m_clock.Advance(1ms);
    }

private:
    FakeClock& m_clock;
};

class CountingProgress : public ITavProgress {
public:
    void Start(int) override {}
    void Step() override { ++steps; }
    void Finish() override {}
    int steps = 0;
};

class Parts : public Brio::ITavPartEntities {
public:
    CTavEntityId PartEntityId(int32_t part) const override { return ids[part]; }
    CTavEntityId ids[16] = {};
};

class Reader : public test::ModelFixture {
protected:
    void SetUp() override {
        Build(ShippedScript(), CTavSystem::Views::Skip);
        ASSERT_TRUE(TavCreateFixedBanks(entities, {"Wave"}));
        reader = std::make_unique<TestReader>(Buffers(), entities, system.BufferOutput(), clock);
        device =
            std::make_unique<test::FakeCatalogDevice>(reader->Bindings(), *system.MidiManager().Input(0));
        reader->input = system.MidiManager().Input(0);
        reader->device = device.get();
        ASSERT_TRUE(TavInstallTransfer(system.MidiManager(), *reader, writer));
        system.MidiManager().Output(0)->SetDevice(device.get());
        reader->SetProgress(&progress);
    }
    int PendingCode() { return static_cast<CTavTextOutBuffer*>(system.BufferOutput())->PendingCode(); }
    uint32_t At(const CTavValue* value) { return test::FakeCatalogDevice::At(value); }
    std::vector<TavBytes> SizesAt(const CTavValue* value) {
        std::vector<TavBytes> sizes;
        for (const auto& request : device->requests)
            if (request.address == At(value))
                sizes.push_back(request.size);
        return sizes;
    }

    FakeClock clock;
    CTavEntityManager entities;
    CTavMidiWriter writer;
    std::unique_ptr<TestReader> reader;
    std::unique_ptr<test::FakeCatalogDevice> device;
    CountingProgress progress;
};

TEST_F(Reader, NumberInformationRebuildsTheAreasBanksAndCountsSteps) {
    device->banks[Patch][0] = {130, 0, 5};
    device->banks[RhythmSet][0] = {64};
    device->banks[Patch][1] = {3};
    ASSERT_TRUE(TavAddNameBank(entities, Patch, 0, 7, 9)); // gone after the fetch
    EXPECT_EQ(reader->CountSteps(UserPatchNames | UserRhythmSetNames), (135 + 63) / 64 + 1);
    EXPECT_EQ(reader->BankCounts().List(Patch, 0), (std::vector<int32_t>{130, 0, 5}));
    EXPECT_EQ(reader->BankCounts().List(RhythmSet, 0), (std::vector<int32_t>{64}));
    EXPECT_EQ(entities.Count({Patch, 0, 7, -2}), 0);
    EXPECT_EQ(entities.Count({Patch, 0, 0, -2}), 130);
    EXPECT_EQ(entities.Count({Patch, 0, 2, -2}), 5);
    EXPECT_EQ(entities.InformationOf({RhythmSet, 0, 0, 63}).Category(), 39);
    // The query's size bytes carry 00, LSB, 00, 01; the card area starts at LSB 32.
    EXPECT_EQ(SizesAt(reader->Bindings().patchNumberInformation),
              (std::vector<TavBytes>{{0, 0, 0, 1}, {0, 1, 0, 1}, {0, 2, 0, 1}}));
    device->requests.clear();
    EXPECT_EQ(reader->CountSteps(CardNames), 1);
    EXPECT_EQ(SizesAt(reader->Bindings().patchNumberInformation), (std::vector<TavBytes>{{0, 32, 0, 1}}));
    EXPECT_EQ(entities.ProgramIdOf({Patch, 1, 0, 2}), (CTavProgramId{81, 32, 2}));
    EXPECT_EQ(reader->CountSteps(SampleNames), 180);

    // A bank count nobody answers ends the fetch with code 4.
    device->silent.insert(At(reader->Bindings().rhythmSetNumberInformation));
    EXPECT_EQ(reader->CountSteps(UserPatchNames), -1);
    EXPECT_EQ(PendingCode(), 4);
}

TEST_F(Reader, NameListsAreRequested64AtATimeWithALongTimeOut) {
    device->banks[Patch][0] = {130};
    device->banks[Patch][1] = {2};
    device->banks[RhythmSet][1] = {1};
    ASSERT_EQ(reader->CountSteps(UserPatchNames | CardNames), 3 + 1 + 1);
    device->requests.clear();
    progress.steps = 0;
    ASSERT_TRUE(reader->ReadBlocks(UserPatchNames | CardNames));
    // Entries 128 and on are asked for by the program ID they have: LSB 1, program 0.
    EXPECT_EQ(SizesAt(reader->Bindings().patchNameInformation),
              (std::vector<TavBytes>{{0, 0, 0, 64}, {0, 0, 64, 64}, {0, 1, 0, 2}, {0, 32, 0, 2}}));
    EXPECT_EQ(SizesAt(reader->Bindings().rhythmSetNameInformation), (std::vector<TavBytes>{{0, 32, 0, 1}}));
    EXPECT_EQ(progress.steps, 5);
    EXPECT_EQ(reader->timeoutSeen, 19200);
    EXPECT_EQ(reader->attemptsSeen, 1);
    EXPECT_EQ(reader->Timeout(), 3000);
    EXPECT_EQ(reader->Attempts(), 2);
    EXPECT_EQ(entities.InformationOf({Patch, 0, 0, 129}).Name(), test::FakeCatalogDevice::NameOf(0, 1, 1));
    EXPECT_EQ(entities.InformationOf({Patch, 0, 0, 5}).Category(), 5);
    EXPECT_EQ(entities.InformationOf({Patch, 1, 0, 1}).Name(), test::FakeCatalogDevice::NameOf(0, 32, 1));
    EXPECT_EQ(entities.InformationOf({RhythmSet, 1, 0, 0}).Category(), 39);
}

TEST_F(Reader, ShortNameListsArePaddedAndSilentOnesTimeOutOnce) {
    device->banks[RhythmSet][0] = {3};
    ASSERT_EQ(reader->CountSteps(UserRhythmSetNames), 1);
    device->banks[RhythmSet][0] = {1}; // the device now lists fewer names
    ASSERT_TRUE(reader->ReadBlocks(UserRhythmSetNames));
    EXPECT_EQ(entities.InformationOf({RhythmSet, 0, 0, 0}).Name(), test::FakeCatalogDevice::NameOf(1, 0, 0));
    EXPECT_EQ(entities.InformationOf({RhythmSet, 0, 0, 2}).Name(), "");
    EXPECT_EQ(entities.InformationOf({RhythmSet, 0, 0, 2}).Category(), 39);

    device->silent.insert(At(reader->Bindings().rhythmSetNameInformation));
    device->requests.clear();
    const TavTime start = clock.Now();
    EXPECT_FALSE(reader->ReadBlocks(UserRhythmSetNames));
    EXPECT_EQ(device->requests.size(), 1u); // one attempt
    EXPECT_GE(TavMilliseconds(start, clock.Now()), 19200);
    EXPECT_LT(TavMilliseconds(start, clock.Now()), 19300);
    EXPECT_EQ(PendingCode(), 4);
    EXPECT_EQ(reader->Timeout(), 3000);
    // The bank is padded even after a failure.
    EXPECT_EQ(entities.InformationOf({RhythmSet, 0, 0, 0}).Name(), "");
}

TEST_F(Reader, HostileRecordsDuringANameListAreIgnored) {
    device->banks[Patch][0] = {2};
    ASSERT_EQ(reader->CountSteps(UserPatchNames), 1);
    const uint32_t names = At(reader->Bindings().patchNameInformation);
    TavBytes outside = {81, 9, 0, 1, 0};
    outside.resize(17, 'x');
    TavBytes wrongLsb = {0, 0, 0, 0, 0, 0, 0}; // a number answer nobody asked for
    device->inject = {device->DataSet(names, TavBytes(16, 0x41)), device->DataSet(names, TavBytes(18, 0x41)),
                      device->DataSet(names, TavBytes(17, 0x7F)), device->DataSet(names, outside),
                      device->DataSet(At(reader->Bindings().patchNumberInformation), wrongLsb)};
    ASSERT_TRUE(reader->ReadBlocks(UserPatchNames));
    EXPECT_EQ(entities.InformationOf({Patch, 0, 0, 0}).Name(), test::FakeCatalogDevice::NameOf(0, 0, 0));
    EXPECT_EQ(entities.InformationOf({Patch, 0, 0, 1}).Name(), test::FakeCatalogDevice::NameOf(0, 0, 1));
    // Name records while nothing is read, and end records, change nothing.
    reader->input->Receive(device->DataSet(names, TavBytes(17, 0)));
    reader->input->Receive(device->DataSet(names, TavBytes(17, 0x41)));
    EXPECT_EQ(reader->CurrentState(), CTavMidiReader::kIdle);
    EXPECT_EQ(entities.InformationOf({Patch, 0, 0, 0}).Name(), test::FakeCatalogDevice::NameOf(0, 0, 0));
}

TEST_F(Reader, SampleNamesAreReadPageByPage) {
    device->samples[{0, 1}] = {1, "Break L", 1000};
    device->samples[{0, 2}] = {2, "Break R", 1000};
    device->samples[{0, 2000}] = {0, "Last User", 7};
    device->samples[{32, 6951}] = {0, "Card Page 139", 3};
    entities.SetInformation({Sample, 0, 0, 9}, Brio::CTavSampleInformation("Stale", 0, 1, 0));
    ASSERT_TRUE(reader->ReadBlocks(SampleNames));
    const std::vector<TavBytes> sizes = SizesAt(reader->Bindings().sampleNameInformation);
    ASSERT_EQ(sizes.size(), 180u);
    EXPECT_EQ(sizes[0], (TavBytes{0, 0, 0, 1}));
    EXPECT_EQ(sizes[39], (TavBytes{0, 0, 39, 1}));
    EXPECT_EQ(sizes[40], (TavBytes{0, 32, 0, 1}));
    EXPECT_EQ(sizes[40 + 128], (TavBytes{0, 33, 0, 1}));
    EXPECT_EQ(sizes[179], (TavBytes{0, 33, 11, 1}));
    EXPECT_EQ(reader->timeoutSeen, 15000);
    EXPECT_EQ(progress.steps, 180);
    EXPECT_EQ(entities.InformationOf({Sample, 0, 0, 0}).Name(), "Off");
    EXPECT_EQ(entities.InformationOf({Sample, 1, 0, 0}).Name(), "Off");
    EXPECT_TRUE(entities.InformationOf({Sample, 0, 0, 9}).IsNull());
    EXPECT_EQ(entities.InformationOf({Sample, 0, 0, 2000}).Name(), "Last User       ");
    EXPECT_EQ(entities.InformationOf({Patch, 3, 0, 0}).Name(), "Break L         ");
    EXPECT_EQ(entities.InformationOf({Patch, 3, 0, 1}).Name(), "----------------");
    EXPECT_EQ(entities.InformationOf({Patch, 4, 0, 6950}).Name(), "Card Page 139   ");
    EXPECT_EQ(entities.InformationOf({Patch, 4, 0, 6950}).Category(), 36);

    device->silent.insert(At(reader->Bindings().sampleNameInformation));
    device->requests.clear();
    EXPECT_FALSE(reader->ReadBlocks(SampleNames));
    EXPECT_EQ(device->requests.size(), 1u);
}

TEST_F(Reader, AnUnansweredRequestOfEachProcedureIsNamedInTheFailure) {
    const Brio::CTavDeviceBindings& bound = reader->Bindings();
    device->banks[Patch][0] = {5};
    ASSERT_TRUE(TavAddNameBank(entities, Patch, 0, 0, 130));
    const struct {
        const CTavValue* silent;
        std::function<bool()> run;
        std::string subject;
    } cases[] = {
        {bound.patchNameInformation, [&] { return reader->ReadNameList(Patch, 0, 0, 130); },
         "the names from program 0 at LSB 0 ("},
        {bound.sampleNameInformation, [&] { return reader->ReadSampleNames(); },
         "sample name page 1 of the user samples ("},
        {bound.bankInformation[Patch][0], [&] { return reader->ReadNumberInformation(0); },
         bound.bankInformation[Patch][0]->FullPath() + " at address "},
        {bound.patchNumberInformation, [&] { return reader->ReadNumberInformation(0); },
         "the size of the bank at LSB 0 ("},
    };
    for (const auto& c : cases) {
        device->silent = {At(c.silent)};
        reader->ClearFailure();
        EXPECT_FALSE(c.run());
        EXPECT_EQ(reader->Failure().rfind("No answer to the request for " + c.subject, 0), 0u) << reader->Failure();
    }
}

TEST_F(Reader, StructsAreReadBlockByBlockInMaskOrderUntilTheFirstFailure) {
    Parts parts;
    for (int i = 0; i < 16; ++i)
        parts.ids[i] = i == 9 ? CTavEntityId{RhythmSet, 0, 0, 0} : CTavEntityId{Patch, 0, 0, i};
    reader->SetPartEntities(&parts);
    const Brio::CTavDeviceBindings& bound = reader->Bindings();
    auto leaves = [](CTavStruct* s) {
        int n = 0;
        s->ForEachLeaf([&](CTavLeafStruct&) { ++n; });
        return n;
    };
    int expected = leaves(bound.system) + 15 * leaves(bound.patches[0]) + leaves(bound.rhythmSets[9]);
    EXPECT_EQ(reader->CountSteps(0x2 | 0x8), expected);
    ASSERT_TRUE(reader->ReadBlocks(0x8 | 0x2));
    EXPECT_EQ(progress.steps, expected);
    EXPECT_EQ(device->requests.front().address, static_cast<uint32_t>(bound.system->AbsoluteRange().begin));
    EXPECT_EQ(static_cast<int>(device->requests.size()), expected);

    // The part info counts every block it reads, the reverb's included.
    progress.steps = 0;
    device->requests.clear();
    const int partInfo = reader->CountSteps(0x4);
    EXPECT_EQ(partInfo, leaves(bound.partInfo));
    ASSERT_TRUE(reader->ReadBlocks(0x4));
    EXPECT_EQ(progress.steps, partInfo);

    // Bit 0x1 fails on its first block: bit 0x2 is never asked for.
    device->requests.clear();
    device->silent.insert(static_cast<uint32_t>(bound.setup->AbsoluteRange().begin));
    EXPECT_FALSE(reader->ReadBlocks(0x1 | 0x2));
    EXPECT_EQ(device->requests.size(), 2u); // two attempts of the same block
    // A part that plays neither a patch nor a rhythm set is skipped, the others are read.
    device->silent.clear();
    device->requests.clear();
    parts.ids[3] = {Wave, 2, 0, 0};
    parts.ids[12] = CTavEntityId::Invalid();
    EXPECT_EQ(reader->CountSteps(0x8), expected - leaves(bound.system) - 2 * leaves(bound.patches[0]));
    ASSERT_TRUE(reader->ReadBlocks(0x8));
    EXPECT_EQ(reader->SkippedParts(), (std::vector<int32_t>{3, 12}));
    EXPECT_EQ(static_cast<int>(device->requests.size()), reader->CountSteps(0x8));
    for (const auto& request : device->requests)
        for (int part : {3, 12})
            EXPECT_NE(request.address, static_cast<uint32_t>(bound.patches[part]->AbsoluteRange().begin));
    ASSERT_TRUE(reader->ReadBlocks(0x2));
    EXPECT_TRUE(reader->SkippedParts().empty());
    // A failed block is named, with its part.
    device->silent.insert(static_cast<uint32_t>(bound.patches[5]->AbsoluteRange().begin));
    EXPECT_FALSE(reader->ReadBlocks(0x8));
    EXPECT_EQ(reader->Failure().rfind("No answer to the request for qv.pat[5].", 0), 0u) << reader->Failure();
    EXPECT_NE(reader->Failure().find(" (part 6) at address "), std::string::npos) << reader->Failure();
    reader->SetPartEntities(nullptr);
    EXPECT_FALSE(reader->ReadBlocks(0x8));
}

TEST_F(Reader, WriteNotificationUpdatesTheEntryAndThePart) {
    device->banks[Patch][0] = {4};
    ASSERT_EQ(reader->CountSteps(UserPatchNames), 1);
    const Brio::CTavDeviceBindings& bound = reader->Bindings();
    int stored = 0;
    reader->SetNamesChanged([&] { ++stored; });
    device->requests.clear();
    // The device holds the part's new name and category; the request answers with zeros,
    // so the name is read as zero bytes and the category as 0.
    bound.patchName[5]->SetText("Before      ");
    reader->input->Receive(device->DataSet(At(bound.writeMessage), {81, 0, 2, 5}));
    ASSERT_EQ(device->requests.size(), 2u);
    EXPECT_EQ(device->requests[0].address, At(bound.patchName[5]));
    EXPECT_EQ(device->requests[1].address, At(bound.patchCategory[5]));
    EXPECT_EQ(entities.InformationOf({Patch, 0, 0, 2}).Name(), std::string(12, '\0'));
    EXPECT_EQ(bound.partBankSelectMsb[5]->GetRaw(), 81);
    EXPECT_EQ(bound.partBankSelectLsb[5]->GetRaw(), 0);
    EXPECT_EQ(bound.partProgramNumber[5]->GetRaw(), 2);
    EXPECT_EQ(stored, 1);

    // Foreign or broken notifications are dropped; one for a program outside the catalog
    // still moves the part but stores nothing.
    device->requests.clear();
    reader->input->Receive(device->DataSet(At(bound.writeMessage), {81, 0, 2, 16}));
    reader->input->Receive(device->DataSet(At(bound.writeMessage), {81, 0, 2}));
    EXPECT_TRUE(device->requests.empty());
    reader->input->Receive(device->DataSet(At(bound.writeMessage), {81, 9, 9, 1}));
    EXPECT_TRUE(device->requests.empty());
    EXPECT_EQ(bound.partBankSelectLsb[1]->GetRaw(), 9);
    EXPECT_EQ(stored, 1);
}

TEST_F(Reader, WriteNotificationWhileWaitingIsHandledAfterTheRequest) {
    device->banks[RhythmSet][0] = {2};
    ASSERT_EQ(reader->CountSteps(UserRhythmSetNames), 1);
    const Brio::CTavDeviceBindings& bound = reader->Bindings();
    int stored = 0;
    reader->SetNamesChanged([&] { ++stored; });
    device->requests.clear();
    device->inject = {device->DataSet(At(bound.writeMessage), {82, 0, 1, 9})};
    ASSERT_TRUE(reader->ReadBlocks(UserRhythmSetNames));
    ASSERT_EQ(device->requests.size(), 2u);
    EXPECT_EQ(device->requests[0].address, At(bound.rhythmSetNameInformation));
    EXPECT_EQ(device->requests[1].address, At(bound.rhythmName[9]));
    EXPECT_EQ(entities.InformationOf({RhythmSet, 0, 0, 1}).Category(), 39);
    EXPECT_EQ(bound.partBankSelectMsb[9]->GetRaw(), 82);
    EXPECT_EQ(stored, 1);
}

TEST_F(Reader, NotificationsArrivingWhileOneIsHandledAreTakenInTurn) {
    device->banks[Patch][0] = {16};
    ASSERT_EQ(reader->CountSteps(UserPatchNames), 1);
    const Brio::CTavDeviceBindings& bound = reader->Bindings();
    // Every request a notification makes is answered after the next notification, so a
    // nested handling would finish the last one first.
    for (uint8_t part = 1; part < 8; ++part)
        device->injectEach.push_back(device->DataSet(At(bound.writeMessage), {81, 0, part, part}));
    std::vector<int> partsSetWhenStored;
    reader->SetNamesChanged([&] {
        int set = 0;
        for (int part = 0; part < 8; ++part)
            set += bound.partProgramNumber[part]->GetRaw() == part &&
                   bound.partBankSelectMsb[part]->GetRaw() == 81;
        partsSetWhenStored.push_back(set);
    });
    reader->input->Receive(device->DataSet(At(bound.writeMessage), {81, 0, 0, 0}));
    EXPECT_EQ(partsSetWhenStored, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8}));
}

TEST_F(Reader, WriterSendsEveryBlockOfTheMask) {
    Brio::CTavWriter deviceWriter(Buffers(), clock);
    deviceWriter.SetOutput(system.MidiManager().Output(0));
    Parts parts;
    for (CTavEntityId& id : parts.ids)
        id = {Patch, 0, 0, 0};
    deviceWriter.SetPartEntities(&parts);
    CountingProgress sent;
    deviceWriter.SetProgress(&sent);
    ASSERT_TRUE(deviceWriter.SendBlocks(0x1 | 0x8));
    int leaves = 0;
    reader->Bindings().setup->ForEachLeaf([&](CTavLeafStruct&) { ++leaves; });
    reader->Bindings().patches[0]->ForEachLeaf([&](CTavLeafStruct&) { leaves += 16; });
    EXPECT_EQ(sent.steps, leaves);
    EXPECT_TRUE(deviceWriter.SkippedParts().empty());
    // A part that plays neither is skipped; the other parts are sent all the same.
    parts.ids[0] = {};
    parts.ids[7] = {Wave, 2, 0, 0};
    sent.steps = 0;
    ASSERT_TRUE(deviceWriter.SendBlocks(0x8));
    EXPECT_EQ(deviceWriter.SkippedParts(), (std::vector<int32_t>{0, 7}));
    int patchLeaves = 0;
    reader->Bindings().patches[0]->ForEachLeaf([&](CTavLeafStruct&) { ++patchLeaves; });
    EXPECT_EQ(sent.steps, 14 * patchLeaves);
    deviceWriter.SetOutput(nullptr);
    EXPECT_FALSE(deviceWriter.SendBlocks(0x1));
    EXPECT_EQ(deviceWriter.Failure(), "There is no MIDI output to send through.");
}

} // namespace

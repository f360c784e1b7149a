// The virtual device's catalog exchanges, byte for byte: bank counts, number information,
// name lists, sample pages, the write notification, and the catalog in the memory file.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/CTavTextOut.h"
#include "script/CTavResourceManager.h"
#include "support/ModelFixture.h"
#include "support/TestSupport.h"
#include "virtual/CVirtualDevice.h"

namespace {

const TavBytes kModel{0x00, 0x6A};
uint32_t Command(uint8_t high, uint8_t low) {
    return TavDecodeAddress({0x0F, 0x00, high, low});
}
const uint32_t kPatchUserBanks = Command(0x00, 0x00);
const uint32_t kPatchCardBanks = Command(0x00, 0x20);
const uint32_t kRhythmUserBanks = Command(0x00, 0x40);
const uint32_t kRhythmCardBanks = Command(0x00, 0x60);
const uint32_t kPatchNumbers = Command(0x01, 0x00);
const uint32_t kPatchNames = Command(0x01, 0x20);
const uint32_t kRhythmNumbers = Command(0x01, 0x40);
const uint32_t kRhythmNames = Command(0x01, 0x60);
const uint32_t kSampleNames = Command(0x02, 0x60);
const uint32_t kWriteMessage = Command(0x03, 0x40);

const std::string& ShippedScript() {
    static const std::string text = [] {
        std::ifstream in(test::ShippedScriptDir() / "VireoEditorScript.xml", std::ios::binary);
        return std::string{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }();
    return text;
}

// A request whose four size bytes are given one by one, as the catalog queries carry them.
TavBytes Query(uint32_t address, uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3) {
    const uint32_t size = (uint32_t{b0} << 21) | (uint32_t{b1} << 14) | (uint32_t{b2} << 7) | b3;
    return CTavHaldenMessage::DataRequest(0x41, 0x10, kModel, 4, address, size).Bytes();
}

struct Reply {
    uint8_t deviceId;
    uint32_t address;
    TavBytes data;
};

class VirtualDeviceCatalogTest : public test::ModelFixture {
protected:
    void SetUp() override {
        // The same script beside the device, for the addresses of its values.
        Build(ShippedScript(), CTavSystem::Views::Skip);
        ASSERT_TRUE(device.Create(ShippedScript(), &errors)) << errors.Text();
    }

    // Every reply due by 'now', in order, each checked for framing and checksum.
    std::vector<Reply> Replies(TavTime now) {
        std::vector<Reply> replies;
        TavBytes bytes;
        while (device.TakeDue(now, bytes)) {
            CTavHaldenMessage message;
            EXPECT_TRUE(message.Parse(bytes, 4));
            EXPECT_EQ(message.GetField(CTavHaldenMessage::kModelId), kModel);
            EXPECT_EQ(message.GetField(CTavHaldenMessage::kCommandId), TavBytes{CTavHaldenMessage::kDataSet});
            EXPECT_EQ(message.StoredChecksum(), message.ComputeChecksum());
            replies.push_back({*message.FieldData(CTavHaldenMessage::kDeviceId),
                               TavDecodeAddress(message.GetField(CTavHaldenMessage::kAddress)),
                               message.GetField(CTavHaldenMessage::kData)});
        }
        return replies;
    }
    std::vector<Reply> Ask(const TavBytes& request) {
        device.Receive(request, t0);
        return Replies(t0);
    }
    // The data of every reply, which must all be on 'address'.
    std::vector<TavBytes> Answer(const TavBytes& request, uint32_t address) {
        std::vector<TavBytes> data;
        for (Reply& reply : Ask(request)) {
            EXPECT_EQ(reply.address, address);
            EXPECT_EQ(reply.deviceId, 0x10);
            data.push_back(std::move(reply.data));
        }
        return data;
    }

    CVirtualDevice device;
    CTavTextOutStringStream errors;
    TavTime t0 = TavTime{} + std::chrono::seconds(5);
};

TavBytes NameRecord(uint8_t msb, uint8_t lsb, uint8_t program, const CVirtualCatalog::Entry& entry) {
    TavBytes record{msb, lsb, program, entry.category, 0};
    record.insert(record.end(), entry.name.begin(), entry.name.end());
    return record;
}

TavBytes SampleRecord(uint8_t lsb, const CVirtualCatalog::Sample& s) {
    TavBytes record{lsb,
                    static_cast<uint8_t>(s.number >> 12 & 15),
                    static_cast<uint8_t>(s.number >> 8 & 15),
                    static_cast<uint8_t>(s.number >> 4 & 15),
                    static_cast<uint8_t>(s.number & 15),
                    static_cast<uint8_t>(s.kind)};
    record.insert(record.end(), s.name.begin(), s.name.end());
    for (int shift : {28, 21, 14, 7, 0})
        record.push_back(static_cast<uint8_t>(s.size >> shift & 0x7F));
    record.push_back(s.flag);
    return record;
}

TEST_F(VirtualDeviceCatalogTest, AnswersTheNumberOfBanksOfEachArea) {
    const std::pair<uint32_t, uint8_t> cases[] = {
        {kPatchUserBanks, 1}, {kPatchCardBanks, 2}, {kRhythmUserBanks, 1}, {kRhythmCardBanks, 1}};
    for (const auto& [address, banks] : cases)
        EXPECT_EQ(Answer(Query(address, 0, 0, 0, 1), address), std::vector<TavBytes>{{banks}}) << address;
    // A read of another size is a plain memory read.
    const auto wide = Answer(Query(kPatchCardBanks, 0, 0, 0, 2), kPatchCardBanks);
    ASSERT_EQ(wide.size(), 1u);
    EXPECT_EQ(wide[0], (TavBytes{0, 0}));
}

// The query 00 LSB 00 01 is not a size: LSB 1 once came back as 16 385 bytes of memory.
TEST_F(VirtualDeviceCatalogTest, AnswersNumberInformationWithTheBanksEntryCountInNibbles) {
    struct Case {
        uint32_t address;
        uint8_t lsb;
        TavBytes answer;
    };
    const Case cases[] = {
        {kPatchNumbers, 0, {0, 0, 0, 0, 0, 8, 2}},    {kPatchNumbers, 1, {0, 1, 0, 0, 0, 0, 0}},
        {kPatchNumbers, 32, {0, 32, 0, 0, 0, 8, 0}},  {kPatchNumbers, 33, {0, 33, 0, 0, 0, 1, 4}},
        {kPatchNumbers, 5, {0, 5, 0, 0, 0, 0, 0}},    {kPatchNumbers, 100, {0, 100, 0, 0, 0, 0, 0}},
        {kRhythmNumbers, 0, {0, 0, 0, 0, 0, 1, 0}},   {kRhythmNumbers, 32, {0, 32, 0, 0, 0, 0, 8}},
        {kRhythmNumbers, 33, {0, 33, 0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Answer(Query(c.address, 0, c.lsb, 0, 1), c.address), std::vector<TavBytes>{c.answer})
            << c.address << " LSB " << int(c.lsb);
}

TEST_F(VirtualDeviceCatalogTest, AnswersNameListsOneRecordPerEntryThenAnAllZeroRecord) {
    const CVirtualCatalog& catalog = device.Catalog();
    const TavBytes end(17, 0);
    // The 130-entry user bank in the editor's three requests: 64, 64 and the two that run
    // on into LSB 1.
    const auto& user = catalog.Bank(CVirtualCatalog::PatchUser, 0);
    std::vector<TavBytes> all;
    const std::array<uint8_t, 3> blocks[] = {{0, 0, 64}, {0, 64, 64}, {1, 0, 2}};
    for (const auto& [lsb, start, count] : blocks) {
        const auto answer = Answer(Query(kPatchNames, 0, lsb, start, count), kPatchNames);
        ASSERT_EQ(answer.size(), count + 1u) << int(start);
        EXPECT_EQ(answer.back(), end);
        all.insert(all.end(), answer.begin(), answer.end() - 1);
    }
    ASSERT_EQ(all.size(), 130u);
    for (size_t i = 0; i < all.size(); ++i)
        EXPECT_EQ(all[i],
                  NameRecord(81, static_cast<uint8_t>(i / 128), static_cast<uint8_t>(i % 128), user[i]))
            << i;

    struct Case {
        uint32_t address;
        uint8_t lsb, start, count;
        size_t records;
        TavBytes first;
    };
    const auto& card = catalog.Bank(CVirtualCatalog::PatchCard, 1);
    const auto& kits = catalog.Bank(CVirtualCatalog::RhythmSetUser, 0);
    const auto& cardKits = catalog.Bank(CVirtualCatalog::RhythmSetCard, 0);
    const Case cases[] = {
        {kPatchNames, 33, 0, 64, 20, NameRecord(81, 33, 0, card[0])},
        {kPatchNames, 33, 10, 4, 4, NameRecord(81, 33, 10, card[10])},
        {kPatchNames, 0, 126, 64, 4, NameRecord(81, 0, 126, user[126])}, // runs on into LSB 1
        {kRhythmNames, 0, 0, 64, 16, NameRecord(82, 0, 0, kits[0])},
        {kRhythmNames, 32, 0, 64, 8, NameRecord(82, 32, 0, cardKits[0])},
        {kPatchNames, 0, 0, 0, 0, end},
        {kPatchNames, 1, 2, 64, 0, end},
        {kPatchNames, 5, 0, 64, 0, end},
        {kRhythmNames, 1, 0, 64, 0, end},
    };
    for (const Case& c : cases) {
        const auto answer = Answer(Query(c.address, 0, c.lsb, c.start, c.count), c.address);
        ASSERT_EQ(answer.size(), c.records + 1) << int(c.lsb) << "/" << int(c.start);
        EXPECT_EQ(answer.front(), c.first) << int(c.lsb) << "/" << int(c.start);
        EXPECT_EQ(answer.back(), end);
    }
    EXPECT_EQ(kits[5].category, 39);
}

TEST_F(VirtualDeviceCatalogTest, AnswersSamplePagesOfFiftyWithStereoPairs) {
    const CVirtualCatalog& catalog = device.Catalog();
    const TavBytes end(28, 0);
    // The records follow the sample memory: its names, kinds and sizes in frames.
    EXPECT_EQ(catalog.Samples(false), device.Samples().CatalogEntries(CVirtualSampleMemory::kUserGroup));
    EXPECT_EQ(catalog.Samples(false)[0].size, device.Samples().Find(2, 1)->audio.Frames());
    const auto user = Answer(Query(kSampleNames, 0, 0, 0, 1), kSampleNames);
    ASSERT_EQ(user.size(), catalog.Samples(false).size() + 1);
    EXPECT_EQ(user.back(), end);
    for (size_t i = 0; i + 1 < user.size(); ++i)
        EXPECT_EQ(user[i], SampleRecord(0, catalog.Samples(false)[i])) << i;
    // Samples 2 and 3 are a pair: left, then right.
    EXPECT_EQ((TavBytes{user[1][4], user[1][5], user[2][4], user[2][5]}), (TavBytes{2, 1, 3, 2}));

    const auto card = Answer(Query(kSampleNames, 0, 32, 0, 1), kSampleNames);
    ASSERT_EQ(card.size(), catalog.Samples(true).size() + 1);
    for (size_t i = 0; i + 1 < card.size(); ++i)
        EXPECT_EQ(card[i], SampleRecord(32, catalog.Samples(true)[i])) << i;

    // Pages without samples, pages beyond the bank and LSBs of neither bank: the end alone.
    const std::pair<uint8_t, uint8_t> empty[] = {{0, 1},  {0, 39},  {0, 40},  {1, 0},  {32, 1},
                                                 {33, 0}, {33, 11}, {33, 12}, {34, 0}, {64, 0}};
    for (const auto& [lsb, page] : empty)
        EXPECT_EQ(Answer(Query(kSampleNames, 0, lsb, page, 1), kSampleNames), std::vector<TavBytes>{end})
            << int(lsb) << "/" << int(page);
}

TEST_F(VirtualDeviceCatalogTest, CatalogAnswersKeepCableTimingAndTakeInjectedFaults) {
    device.SetSpeed(CVirtualDevice::Speed::Wire);
    const TavBytes request = Query(kRhythmNames, 0, 32, 0, 64);
    device.Receive(request, t0);
    ASSERT_EQ(device.QueuedReplies(), 9u);
    const auto perByte = TavDuration{1000000 / CVirtualDevice::kWireBytesPerSecond};
    const size_t replySize = 17 + 12;
    TavTime due = t0 + perByte * static_cast<long>(request.size());
    for (int i = 0; i < 9; ++i) {
        due += perByte * static_cast<long>(replySize);
        TavTime next;
        ASSERT_TRUE(device.NextDue(next));
        EXPECT_EQ(next, due) << i;
        EXPECT_TRUE(Replies(due - TavDuration{1}).empty()) << i;
        EXPECT_EQ(Replies(due).size(), 1u) << i;
    }

    device.SetSpeed(CVirtualDevice::Speed::Instant);
    device.InjectedFaults().dropReplies = 1;
    EXPECT_TRUE(Ask(Query(kPatchNames, 0, 0, 0, 64)).empty());
    device.InjectedFaults().foreignDeviceIdReplies = 1;
    const auto foreign = Ask(Query(kRhythmNames, 0, 0, 0, 64));
    ASSERT_EQ(foreign.size(), 17u);
    for (const Reply& reply : foreign)
        EXPECT_EQ(reply.deviceId, 0x11);
    EXPECT_EQ(Ask(Query(kRhythmNames, 0, 0, 0, 64)).front().deviceId, 0x10);
}

TEST_F(VirtualDeviceCatalogTest, StorePartPutsThePartsNameIntoTheCatalogAndNotifiesTheEditor) {
    auto write = [&](const std::string& path, const std::string& text) {
        const uint32_t at = static_cast<uint32_t>(Value(path).AbsoluteRange().begin);
        ASSERT_TRUE(device.WriteMemory(at, reinterpret_cast<const uint8_t*>(text.data()), text.size()));
    };
    write("qv.pat[3].common.patchName", "Night Lead  ");
    write("qv.pat[3].common.patchCategory", std::string(1, '\x1A'));
    write("qv.rhy[15].common.rhythmName", "Attic Kit   ");

    struct Case {
        int part;
        uint8_t msb, lsb, program;
        CVirtualCatalog::Area area;
        int bank, index;
        CVirtualCatalog::Entry entry;
    };
    const Case cases[] = {
        {3, 81, 1, 1, CVirtualCatalog::PatchUser, 0, 129, {"Night Lead  ", 26}},
        {3, 81, 33, 19, CVirtualCatalog::PatchCard, 1, 19, {"Night Lead  ", 26}},
        {15, 82, 32, 7, CVirtualCatalog::RhythmSetCard, 0, 7, {"Attic Kit   ", 39}},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(device.StorePart(c.part, c.msb, c.lsb, c.program, t0)) << c.index;
        EXPECT_EQ(device.Catalog().Bank(c.area, c.bank)[static_cast<size_t>(c.index)], c.entry);
        const auto notice = Replies(t0);
        ASSERT_EQ(notice.size(), 1u);
        EXPECT_EQ(notice[0].address, kWriteMessage);
        EXPECT_EQ(notice[0].data, (TavBytes{c.msb, c.lsb, c.program, static_cast<uint8_t>(c.part)}));
    }
    // The editor's next name list carries the stored name.
    EXPECT_EQ(Answer(Query(kPatchNames, 0, 1, 1, 1), kPatchNames).front(),
              NameRecord(81, 1, 1, {"Night Lead  ", 26}));

    const CVirtualCatalog before = device.Catalog();
    const std::array<int, 4> refused[] = {
        {16, 81, 0, 0}, {-1, 81, 0, 0}, {0, 81, 1, 2}, {0, 83, 0, 1}, {0, 82, 0, 16}};
    for (const auto& [part, msb, lsb, program] : refused)
        EXPECT_FALSE(device.StorePart(part, static_cast<uint8_t>(msb), static_cast<uint8_t>(lsb),
                                      static_cast<uint8_t>(program), t0))
            << part << " " << msb << "/" << lsb << "/" << program;
    EXPECT_EQ(device.QueuedReplies(), 0u);
    EXPECT_EQ(device.Catalog(), before);
}

TEST_F(VirtualDeviceCatalogTest, MemoryFileKeepsTheCatalogAndFallsBackWhenItIsMissingOrDamaged) {
    test::TempDir dir;
    const std::string path = (dir.Path() / "memory.bin").string();
    const uint32_t systemLeaf = TavDecodeAddress({0x01, 0x01, 0x00, 0x00});
    const TavBytes image(16, 0x21);
    ASSERT_TRUE(device.WriteMemory(systemLeaf, image.data(), image.size()));
    ASSERT_TRUE(device.Catalog().SetEntry(81, 0, 7, "Kept", 3));
    const CVirtualCatalog edited = device.Catalog();
    ASSERT_TRUE(device.SaveMemory(path, &errors)) << errors.Text();

    device.ResetMemory();
    device.ResetCatalog();
    ASSERT_TRUE(device.LoadMemory(path, &errors)) << errors.Text();
    EXPECT_EQ(device.Catalog(), edited);
    TavBytes read;
    ASSERT_TRUE(device.ReadMemory(systemLeaf, 16, read));
    EXPECT_EQ(read, image);

    const std::string content = test::ReadFile(path);
    const std::string withoutCatalog = content.substr(0, content.size() - edited.Serialize().size());
    std::string damaged = content;
    damaged[withoutCatalog.size() + 40] ^= 0x01;
    const std::string tail = content + "x";
    // The generated names; the samples follow the sample memory.
    CVirtualCatalog generated = CVirtualCatalog::Generate(
        CVirtualCatalog::kDefaultSeed, system.ResourceManager().FindStringTable("categoryTable")->Elements());
    generated.SetSamples(false, device.Samples().CatalogEntries(CVirtualSampleMemory::kUserGroup));
    generated.SetSamples(true, device.Samples().CatalogEntries(CVirtualSampleMemory::kCardGroup));
    const std::pair<std::string, bool> cases[] = {{withoutCatalog, false}, {damaged, true}, {tail, true}};
    for (const auto& [file, reported] : cases) {
        const std::string other = dir.Write("other.bin", file).string();
        device.ResetMemory();
        device.Catalog() = edited;
        CTavTextOutStringStream messages;
        ASSERT_TRUE(device.LoadMemory(other, &messages)) << messages.Text();
        EXPECT_EQ(device.Catalog(), generated);
        ASSERT_TRUE(device.ReadMemory(systemLeaf, 16, read));
        EXPECT_EQ(read, image);
        EXPECT_EQ(messages.Text(), reported ? "The catalog in the virtual device memory file is damaged; the "
                                              "generated one replaces it: " +
                                                  other + "\n"
                                            : "");
    }
}

} // namespace

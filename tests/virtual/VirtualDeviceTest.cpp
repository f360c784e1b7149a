// The virtual device built from the shipped script: what it stores and answers, how its
// injected faults and cable timing show, and its memory file.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "app/CTavSystem.h"
#include "app/CTavTextOut.h"
#include "model/CTavBufferManager.h"
#include "model/CTavValue.h"
#include "support/TestSupport.h"
#include "virtual/CVirtualDevice.h"

namespace {

const TavBytes kModel{0x00, 0x6A};
// qv.system (16 bytes) and two neighbouring leaves with a gap between them.
const uint32_t kSystem = TavDecodeAddress({0x01, 0x01, 0x00, 0x00});
const uint32_t kMfx1End = TavDecodeAddress({0x01, 0x02, 0x03, 0x08});
const uint32_t kMfx2 = TavDecodeAddress({0x01, 0x02, 0x04, 0x00});

const std::string& ShippedScript() {
    static const std::string text = [] {
        std::ifstream in(test::ShippedScriptDir() / "VireoEditorScript.xml", std::ios::binary);
        return std::string{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }();
    return text;
}

TavBytes Request(uint32_t address, uint32_t size, uint8_t id = 0x10) {
    return CTavHaldenMessage::DataRequest(0x41, id, kModel, 4, address, size).Bytes();
}

TavBytes Set(uint32_t address, const TavBytes& data, uint8_t id = 0x10) {
    return CTavHaldenMessage::DataSet(0x41, id, kModel, 4, address, data.data(), data.size()).Bytes();
}

class VirtualDeviceTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(device.Create(ShippedScript(), &errors)) << errors.Text(); }

    // Sends a request at t0 and parses the single reply due then.
    CTavHaldenMessage Ask(const TavBytes& request) {
        device.Receive(request, t0);
        TavBytes bytes;
        CTavHaldenMessage reply;
        EXPECT_TRUE(device.TakeDue(t0, bytes));
        EXPECT_TRUE(reply.Parse(bytes, 4));
        EXPECT_EQ(bytes.back(), 0xF7);
        return reply;
    }

    CVirtualDevice device;
    CTavTextOutStringStream errors;
    TavTime t0 = TavTime{} + std::chrono::seconds(5);
};

void ExpectDataSet(const CTavHaldenMessage& reply, uint8_t id, uint32_t address, const TavBytes& data) {
    EXPECT_EQ(reply.GetField(CTavHaldenMessage::kDeviceId), TavBytes{id});
    EXPECT_EQ(reply.GetField(CTavHaldenMessage::kModelId), kModel);
    EXPECT_EQ(reply.GetField(CTavHaldenMessage::kCommandId), TavBytes{CTavHaldenMessage::kDataSet});
    EXPECT_EQ(TavDecodeAddress(reply.GetField(CTavHaldenMessage::kAddress)), address);
    EXPECT_EQ(reply.GetField(CTavHaldenMessage::kData), data);
    EXPECT_EQ(reply.StoredChecksum(), reply.ComputeChecksum());
}

TEST_F(VirtualDeviceTest, StoredDataSetComesBackForExactlyTheRequestedRange) {
    TavBytes data(16);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<uint8_t>(i + 1);
    device.Receive(Set(kSystem, data, 0x7F), t0);
    EXPECT_EQ(device.QueuedReplies(), 0u);

    ExpectDataSet(Ask(Request(kSystem, 16)), 0x10, kSystem, data);
    ExpectDataSet(Ask(Request(kSystem + 3, 5, 0x7F)), 0x10, kSystem + 3,
                  TavBytes(data.begin() + 3, data.begin() + 8));

    device.SetDeviceId(0x11);
    ExpectDataSet(Ask(Request(kSystem, 2, 0x11)), 0x11, kSystem, {1, 2});
}

TEST_F(VirtualDeviceTest, MemorySpansLeavesAndRefusesRangesOutsideThem) {
    // 8 bytes of mfx1, the gap up to mfx2 and 8 bytes of mfx2.
    const uint32_t begin = kMfx1End - 8;
    const size_t size = kMfx2 + 8 - begin;
    TavBytes defaults;
    ASSERT_TRUE(device.ReadMemory(begin, size, defaults));
    ASSERT_TRUE(device.WriteMemory(begin, TavBytes(size, 0x55).data(), size));
    TavBytes read;
    ASSERT_TRUE(device.ReadMemory(begin, size, read));
    ASSERT_EQ(read.size(), size);
    EXPECT_EQ(read.front(), 0x55);
    EXPECT_EQ(read[8], 0x00);
    EXPECT_EQ(read.back(), 0x55);

    read = {9};
    EXPECT_FALSE(device.ReadMemory(kMfx1End, kMfx2 - kMfx1End, read)); // gap only
    EXPECT_FALSE(device.ReadMemory(0, 16, read));
    EXPECT_FALSE(device.ReadMemory(kSystem, 0, read));
    EXPECT_FALSE(device.ReadMemory(kSystem, 0x0FFFFFFF, read));
    EXPECT_EQ(read, TavBytes{9});

    device.ResetMemory();
    ASSERT_TRUE(device.ReadMemory(begin, size, read));
    EXPECT_EQ(read, defaults);
}

TEST_F(VirtualDeviceTest, IgnoresForeignBrokenAndUnanswerableMessages) {
    const TavBytes data(16, 0x33);
    TavBytes badChecksum = Set(kSystem, data);
    badChecksum[badChecksum.size() - 2] ^= 1;
    device.Receive(badChecksum, t0);
    device.Receive(Set(kSystem, data, 0x11), t0);
    TavBytes before;
    ASSERT_TRUE(device.ReadMemory(kSystem, 16, before));
    EXPECT_NE(before, data);

    TavBytes badRequest = Request(kSystem, 16);
    badRequest[badRequest.size() - 2] ^= 1;
    device.Receive(badRequest, t0);
    device.Receive(Request(kSystem, 16, 0x11), t0);
    device.Receive(CTavHaldenMessage::DataRequest(0x41, 0x10, {0x6B}, 4, kSystem, 16).Bytes(), t0);
    device.Receive(Request(0, 16), t0);
    device.Receive(TavIdentityRequest(0x11).Bytes(), t0);
    // Every cut of a valid request is ignored without reading past its end.
    const TavBytes request = Request(kSystem, 16);
    for (size_t length = 0; length < request.size(); ++length)
        device.Receive(TavBytes(request.begin(), request.begin() + static_cast<long>(length)), t0);
    EXPECT_EQ(device.QueuedReplies(), 0u);
}

TEST_F(VirtualDeviceTest, AnswersIdentityRequestWithItsOwnId) {
    device.SetDeviceId(0x13);
    for (uint8_t id : {0x13, 0x7F}) {
        device.Receive(TavIdentityRequest(id).Bytes(), t0);
        TavBytes reply;
        ASSERT_TRUE(device.TakeDue(t0, reply));
        EXPECT_EQ(reply, (TavBytes{0xF0, 0x7E, 0x13, 0x06, 0x02, 0x41, 0x14, 0x02, 0x00, 0x00, 0x00, 0x03,
                                   0x00, 0x00, 0xF7}));
    }
}

TEST_F(VirtualDeviceTest, IdentityFaultsChangeOrDropTheNextReplies) {
    const TavBytes request{0xF0, 0x7E, 0x10, 0x06, 0x01, 0xF7};
    device.InjectedFaults().foreignIdentityReplies = 1;
    device.InjectedFaults().dropIdentityReplies = 1;
    TavBytes reply;
    device.Receive(request, t0);
    EXPECT_FALSE(device.TakeDue(t0, reply)); // dropped first
    device.Receive(request, t0);
    ASSERT_TRUE(device.TakeDue(t0, reply));
    EXPECT_EQ(reply.size(), 15u);
    EXPECT_NE(reply[11], 0x03); // another version
    device.Receive(request, t0);
    ASSERT_TRUE(device.TakeDue(t0, reply));
    EXPECT_EQ(reply[11], 0x03);
}

TEST_F(VirtualDeviceTest, PcModeIsEnteredLeftAndReadLikeMemory) {
    const uint32_t pcModeRequest = TavDecodeAddress({0x0F, 0x00, 0x03, 0x60});
    const uint32_t pcModeResult = TavDecodeAddress({0x0F, 0x00, 0x04, 0x00});
    EXPECT_FALSE(device.InPcMode());
    device.Receive(Set(pcModeRequest, {1}), t0);
    EXPECT_TRUE(device.InPcMode());
    ExpectDataSet(Ask(Request(pcModeRequest, 1)), 0x10, pcModeRequest, {1});
    // Leaving by itself: the request value clears and the result goes out as 0.
    ASSERT_TRUE(device.LeavePcMode(t0));
    EXPECT_FALSE(device.InPcMode());
    TavBytes bytes;
    CTavHaldenMessage result;
    ASSERT_TRUE(device.TakeDue(t0, bytes));
    ASSERT_TRUE(result.Parse(bytes, 4));
    ExpectDataSet(result, 0x10, pcModeResult, {0});
    device.Receive(Set(pcModeRequest, {1}), t0);
    device.Receive(Set(pcModeRequest, {0}), t0);
    EXPECT_FALSE(device.InPcMode());
}

TEST_F(VirtualDeviceTest, InjectedFaultsApplyToTheNextRepliesAndRunOut) {
    TavBytes expected;
    ASSERT_TRUE(device.ReadMemory(kSystem, 16, expected));
    CVirtualDevice::Faults& faults = device.InjectedFaults();

    faults.dropReplies = 1;
    device.Receive(Request(kSystem, 16), t0);
    EXPECT_EQ(device.QueuedReplies(), 0u);
    ExpectDataSet(Ask(Request(kSystem, 16)), 0x10, kSystem, expected);

    faults.foreignDeviceIdReplies = 1;
    ExpectDataSet(Ask(Request(kSystem, 16)), 0x11, kSystem, expected);

    faults.splitReplies = 1;
    ExpectDataSet(Ask(Request(kSystem, 16)), 0x10, kSystem, TavBytes(expected.begin(), expected.begin() + 8));
    TavBytes second;
    CTavHaldenMessage secondReply;
    ASSERT_TRUE(device.TakeDue(t0, second));
    ASSERT_TRUE(secondReply.Parse(second, 4));
    ExpectDataSet(secondReply, 0x10, kSystem + 8, TavBytes(expected.begin() + 8, expected.end()));

    faults.lateReplies = 1;
    faults.lateBy = TavDuration{250000};
    device.Receive(Request(kSystem, 16), t0);
    TavTime due;
    ASSERT_TRUE(device.NextDue(due));
    EXPECT_EQ(due, t0 + faults.lateBy);
    TavBytes reply;
    EXPECT_FALSE(device.TakeDue(due - TavDuration{1}, reply));
    EXPECT_TRUE(device.TakeDue(due, reply));

    EXPECT_EQ(faults.dropReplies + faults.splitReplies + faults.foreignDeviceIdReplies + faults.lateReplies,
              0);
    ExpectDataSet(Ask(Request(kSystem, 16)), 0x10, kSystem, expected);
}

TEST_F(VirtualDeviceTest, LastingFaultsHoldForEveryMessage) {
    const TavBytes identity{0xF0, 0x7E, 0x10, 0x06, 0x01, 0xF7};
    CVirtualDevice::Faults& faults = device.InjectedFaults();
    // Answers to identity and data requests alike: which of six get through.
    const auto answered = [&] {
        std::vector<bool> got;
        TavBytes reply;
        for (int i = 0; i < 6; ++i) {
            device.Receive(i % 2 ? identity : Request(kSystem, 16), t0);
            got.push_back(device.TakeDue(t0, reply));
            while (device.TakeDue(t0, reply)) {
            }
        }
        return got;
    };
    faults.dropEvery = 3;
    EXPECT_EQ(answered(), (std::vector<bool>{true, true, false, true, true, false}));
    faults.dropEvery = 0;
    faults.silent = true;
    EXPECT_EQ(answered(), std::vector<bool>(6, false));
    device.Receive(Set(kSystem, {5}), t0);
    TavBytes stored;
    ASSERT_TRUE(device.ReadMemory(kSystem, 1, stored));
    EXPECT_EQ(stored[0], 5); // still stored
    faults.silent = false;

    faults.foreignIdentity = true;
    for (int i = 0; i < 3; ++i) {
        device.Receive(identity, t0);
        TavBytes reply;
        ASSERT_TRUE(device.TakeDue(t0, reply));
        EXPECT_EQ(reply[11], 0x04);
    }
    faults.foreignIdentity = false;

    // Byte N of every data set's data, whatever its length; shorter ones are stored as sent.
    faults.corruptByte = 2;
    device.Receive(Set(kSystem, {1, 2, 3, 4}), t0);
    device.Receive(Set(kSystem + 8, {7, 8}), t0);
    ASSERT_TRUE(device.ReadMemory(kSystem, 10, stored));
    EXPECT_EQ(stored, (TavBytes{1, 2, 2, 4, stored[4], stored[5], stored[6], stored[7], 7, 8}));
    faults.corruptByte = -1;
}

TEST_F(VirtualDeviceTest, PcModeAndModifyFaultsAnswerAsAFailingDeviceWould) {
    const uint32_t pcModeRequest = TavDecodeAddress({0x0F, 0x00, 0x03, 0x60});
    const uint32_t pcModeResult = TavDecodeAddress({0x0F, 0x00, 0x04, 0x00});
    CVirtualDevice::Faults& faults = device.InjectedFaults();
    faults.leavePcMode = true;
    device.Receive(Set(pcModeRequest, {1}), t0);
    EXPECT_FALSE(device.InPcMode());
    TavBytes bytes;
    CTavHaldenMessage reply;
    ASSERT_TRUE(device.TakeDue(t0, bytes));
    ASSERT_TRUE(reply.Parse(bytes, 4));
    ExpectDataSet(reply, 0x10, pcModeResult, {0});
    device.Receive(Set(pcModeRequest, {0}), t0);
    EXPECT_FALSE(device.TakeDue(t0, bytes)); // leaving it is not answered

    faults.modifyError = true;
    CTavSystem system;
    system.SetTextOut(CTavSystem::kErrorOutput, new CTavTextOutStringStream);
    ASSERT_TRUE(system.ReadScript(ShippedScript()) && system.CreateManagers(CTavSystem::Views::Skip));
    const auto at = [&](const std::string& path) {
        return static_cast<uint32_t>(system.BufferManager().FindValue(path)->AbsoluteRange().begin);
    };
    const uint32_t error = at("com.utility.sampleEdit.modify.error");
    for (const char* command :
         {"truncate", "emphasis", "normalize", "amp", "timeStretch", "chop", "autoChop"}) {
        SCOPED_TRACE(command);
        device.Receive(Set(at(std::string("com.utility.sampleEdit.modify.") + command), {1, 0}), t0);
        ASSERT_TRUE(device.TakeDue(t0, bytes));
        ASSERT_TRUE(reply.Parse(bytes, 4));
        ExpectDataSet(reply, 0x10, error, {1});
    }
    // Other data sets are stored without a word.
    device.Receive(Set(at("com.utility.sampleEdit.modify.progress"), {1}), t0);
    device.Receive(Set(kSystem, {1}), t0);
    EXPECT_FALSE(device.TakeDue(t0, bytes));
}

TEST_F(VirtualDeviceTest, WireSpeedRepliesArriveAfterRequestAndReplyHaveCrossedTheCable) {
    device.SetSpeed(CVirtualDevice::Speed::Wire);
    const TavBytes request = Request(kSystem, 16);
    device.Receive(request, t0);
    device.Receive(request, t0); // its reply waits for the line
    TavTime due;
    ASSERT_TRUE(device.NextDue(due));
    TavBytes first;
    EXPECT_FALSE(device.TakeDue(due - TavDuration{1}, first));
    ASSERT_TRUE(device.TakeDue(due, first));
    const auto perByte = TavDuration{1000000 / CVirtualDevice::kWireBytesPerSecond};
    EXPECT_EQ(due, t0 + perByte * static_cast<long>(request.size() + first.size()));

    TavTime secondDue;
    ASSERT_TRUE(device.NextDue(secondDue));
    EXPECT_EQ(secondDue, due + perByte * static_cast<long>(first.size()));
}

TEST_F(VirtualDeviceTest, MemoryFileRoundTripsAndForeignFilesAreRefused) {
    test::TempDir dir;
    const std::string path = (dir.Path() / "nested" / "memory.bin").string();
    TavBytes defaults;
    ASSERT_TRUE(device.ReadMemory(kSystem, 16, defaults));
    EXPECT_TRUE(device.LoadMemory(path, &errors)); // missing: defaults kept

    const TavBytes saved(16, 0x21);
    ASSERT_TRUE(device.WriteMemory(kSystem, saved.data(), saved.size()));
    ASSERT_TRUE(device.SaveMemory(path, &errors)) << errors.Text();
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
    device.ResetMemory();
    ASSERT_TRUE(device.LoadMemory(path, &errors)) << errors.Text();
    TavBytes read;
    ASSERT_TRUE(device.ReadMemory(kSystem, 16, read));
    EXPECT_EQ(read, saved);

    // The right header with an image one byte too short (and no catalog after it).
    std::string content = test::ReadFile(path);
    content.resize(content.size() - device.Catalog().Serialize().size() - 1);
    const std::string foreign = dir.Write("foreign.bin", content).string();
    device.ResetMemory();
    EXPECT_FALSE(device.LoadMemory(foreign, &errors));
    EXPECT_EQ(errors.Text(),
              "Virtual device memory file does not match the editor script: " + foreign + "\n");
    ASSERT_TRUE(device.ReadMemory(kSystem, 16, read));
    EXPECT_EQ(read, defaults);

    // The right layout with a status byte in the image: refused the same way, so the device
    // never answers with one.
    content = test::ReadFile(path);
    content[content.size() - device.Catalog().Serialize().size() - 1] = '\x80';
    const std::string high = dir.Write("high.bin", content).string();
    errors.Clear();
    EXPECT_FALSE(device.LoadMemory(high, &errors));
    EXPECT_EQ(errors.Text(),
              "Virtual device memory file holds bytes above 0x7F; the defaults are kept: " + high + "\n");
    ASSERT_TRUE(device.ReadMemory(kSystem, 16, read));
    EXPECT_EQ(read, defaults);
}

TEST_F(VirtualDeviceTest, MemoryFileIsOnlyARegularFileAndIsSavedThroughLinks) {
    test::TempDir dir;
    TavBytes defaults;
    ASSERT_TRUE(device.ReadMemory(kSystem, 16, defaults));
    const TavBytes saved(16, 0x22);
    ASSERT_TRUE(device.WriteMemory(kSystem, saved.data(), saved.size()));
    for (test::NotAFile kind : test::kNotAFiles) {
        if (kind == test::NotAFile::kDangling)
            continue; // nothing there: a first start
        SCOPED_TRACE(test::Describe(kind));
        const std::string path = (dir.Path() / test::Describe(kind)).string();
        test::MakeNotAFile(kind, path);
        errors.Clear();
        EXPECT_FALSE(device.LoadMemory(path, &errors));
        EXPECT_EQ(errors.Text().rfind("Unable to read the virtual device memory; the defaults are kept: " + path, 0),
                  0u)
            << errors.Text();
        TavBytes read;
        ASSERT_TRUE(device.ReadMemory(kSystem, 16, read));
        EXPECT_EQ(read, saved); // a refused file changes nothing
    }

    // Saving through a link writes the file it leads to and keeps the link; a name at the
    // folder's length limit (with the samples file's suffix) saves as well as a short one.
    const auto target = dir.Path() / "target.bin";
    const auto link = dir.Path() / "link.bin";
    dir.Write("target.bin", "old");
    std::filesystem::create_symlink(target, link);
    const std::string longest = (dir.Path() / std::string(255 - std::string_view(".samples").size(), 'm')).string();
    for (const std::string& path : {link.string(), longest}) {
        errors.Clear();
        ASSERT_TRUE(device.SaveMemory(path, &errors)) << errors.Text();
        device.ResetMemory();
        ASSERT_TRUE(device.LoadMemory(path, &errors)) << errors.Text();
        TavBytes read;
        ASSERT_TRUE(device.ReadMemory(kSystem, 16, read));
        EXPECT_EQ(read, saved);
    }
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status(target)));
    // No temporaries: the files and links so far and the two saves' samples files.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 8);
}

// Sets an environment variable for its lifetime.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : m_name(name) {
        const char* old = std::getenv(name);
        m_had = old != nullptr;
        m_old = old ? old : "";
        setenv(name, value, 1);
    }
    ~ScopedEnv() { m_had ? setenv(m_name, m_old.c_str(), 1) : unsetenv(m_name); }

private:
    const char* m_name;
    bool m_had;
    std::string m_old;
};

TEST(VirtualDevicePathTest, DefaultMemoryPathFollowsTheEnvironment) {
    ScopedEnv data("XDG_DATA_HOME", "/data");
    {
        ScopedEnv explicitPath("VIREO_VIRTUAL_DEVICE_MEMORY", "/x/memory.bin");
        EXPECT_EQ(CVirtualDevice::DefaultMemoryPath(), "/x/memory.bin");
    }
    ScopedEnv emptyPath("VIREO_VIRTUAL_DEVICE_MEMORY", "");
    EXPECT_EQ(CVirtualDevice::DefaultMemoryPath(), "/data/Halden/VireoEditor/VirtualDeviceMemory.bin");
}

} // namespace

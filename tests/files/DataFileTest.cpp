// Data files: header, body order, and what a failed save or load leaves behind.

#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>

#include "app/TavStrings.h"
#include "files/CTavDataFile.h"
#include "support/ModelFixture.h"
#include "support/TestSupport.h"

namespace {

// Two leaves under qv, in a node, plus a root the file does not hold.
const char* const kScript = R"(<script>
<structType><type>first</type><name>first</name><address>00 00</address>
  <value><name>level</name><range>0,127</range><default>100</default></value>
  <value><type>int2x7</type><name>tempo</name><range>200,2500</range><default>1200</default></value>
</structType>
<structType><type>second</type><name>second</name><address>01 00</address><size>00 08</size>
  <value><type>string</type><name>title</name><size>00 06</size><default>Init</default></value>
</structType>
<structType><type>area</type><name>area</name><address>00 00</address>
  <struct><type>first</type></struct>
  <struct><type>second</type></struct>
</structType>
<structType><type>qvType</type><name>qv</name><address>01 00 00 00</address>
  <struct><type>area</type></struct>
</structType>
<structType><type>other</type><name>leaf</name>
  <value><name>x</name></value>
</structType>
<structType><type>vsType</type><name>vs</name><address>7F 00 00 00</address>
  <struct><type>other</type></struct>
</structType>
<struct><type>qvType</type></struct>
<struct><type>vsType</type></struct>
</script>)";

constexpr size_t kBodySize = 3 + 8;

class DataFile : public test::ModelFixture {
protected:
    void SetUp() override { Build(kScript); }

    CTavDataFile File() { return CTavDataFile(Buffers(), system.BufferOutput()); }
    std::string Saved() {
        const auto path = dir.Path() / "saved.vro";
        EXPECT_TRUE(File().Save(path.string()));
        return test::ReadFile(path);
    }
    CTavRootStruct& Qv() { return *Buffers().FindRoot("qv"); }

    test::TempDir dir;
};

} // namespace

TEST_F(DataFile, HeaderHoldsTheMagicTheBlankPaddedNamesAndZeros) {
    const std::string file = Saved();
    ASSERT_EQ(file.size(), CTavDataFile::kHeaderSize + kBodySize);
    EXPECT_EQ(file.substr(0, 16), "TavDataFile00001");
    EXPECT_EQ(file.substr(16, 64), "qv" + std::string(62, ' '));
    EXPECT_EQ(file.substr(80, 16), "Vireo" + std::string(11, ' '));
    EXPECT_EQ(file.substr(96, 160), std::string(160, '\0'));
}

TEST_F(DataFile, BodyIsEveryLeafOfTheTreeInOrder) {
    Value("qv.area.first.tempo").SetRaw(200);
    const std::string body = Saved().substr(CTavDataFile::kHeaderSize);
    EXPECT_EQ(body, std::string("\x64\x01\x48", 3) + "Init  " + std::string(2, '\0'));
}

TEST_F(DataFile, SavedStateLoadsBackAndBothClearTheModifiedFlag) {
    const auto path = (dir.Path() / "state.vro").string();
    Buffers().WriteInteger(Value("qv.area.first.level"), 5);
    Buffers().WriteText(Value("qv.area.second.title"), "Pads  ");
    EXPECT_TRUE(Qv().IsModified());
    ASSERT_TRUE(File().Save(path));
    EXPECT_FALSE(Qv().IsModified());

    Buffers().ResetStruct(Qv());
    Buffers().ClearPending();
    ASSERT_TRUE(File().Load(path));
    EXPECT_EQ(Value("qv.area.first.level").GetRaw(), 5);
    EXPECT_EQ(Value("qv.area.second.title").GetText(), "Pads  ");
    EXPECT_FALSE(Qv().IsModified());
    // Every loaded value waits to be shown.
    EXPECT_EQ(Buffers().PendingChanges().size(), 3u);
}

TEST_F(DataFile, BytesAfterTheBodyAreIgnored) {
    const auto path = dir.Write("long.vro", Saved() + "trailing bytes");
    EXPECT_TRUE(File().Load(path.string()));
    EXPECT_EQ(system.PendingCode(), 0);
}

TEST_F(DataFile, ForeignFilesAreRejectedWithCodeFiveBeforeAnythingChanges) {
    const std::string good = Saved();
    struct Case {
        const char* what;
        size_t offset;
        std::string field;
        bool accepted;
    };
    const Case cases[] = {
        {"older magic", 0, "TavDataFile00000", false},
        {"another model", 80, "Oriole          ", false},
        {"another tree", 16, "xv", false},
        // A zero byte ends a field, which is then compared blank-padded.
        {"model name ended by zeros", 80, std::string("Vireo\0\0\0\0\0\0\0\0\0\0\0", 16), true},
    };
    Buffers().WriteInteger(Value("qv.area.first.level"), 9);
    for (const Case& c : cases) {
        std::string file = good;
        file.replace(c.offset, c.field.size(), c.field);
        const auto path = dir.Write("foreign.vro", file);
        system.BufferOutput()->Report(0);
        EXPECT_EQ(File().Load(path.string()), c.accepted) << c.what;
        if (c.accepted)
            continue;
        EXPECT_EQ(system.PendingCode(), TavStrings::kCodeWrongFileType) << c.what;
        EXPECT_EQ(Value("qv.area.first.level").GetRaw(), 9) << c.what;
    }
}

TEST_F(DataFile, TruncatedFilesReportCodeOneAndLeaveTheEditStateUntouched) {
    const std::string good = Saved();
    Buffers().WriteInteger(Value("qv.area.first.level"), 9);
    Buffers().ClearPending();
    for (size_t length : {size_t{0}, size_t{100}, CTavDataFile::kHeaderSize, good.size() - 1}) {
        const auto path = dir.Write("short.vro", good.substr(0, length));
        system.BufferOutput()->Report(0);
        EXPECT_FALSE(File().Load(path.string())) << length;
        EXPECT_EQ(system.PendingCode(), TavStrings::kCodeLoadFailed) << length;
        EXPECT_EQ(Value("qv.area.first.level").GetRaw(), 9) << length;
        EXPECT_TRUE(Buffers().PendingChanges().empty()) << length;
    }
    EXPECT_FALSE(File().Load((dir.Path() / "missing.vro").string()));
    EXPECT_EQ(system.PendingCode(), TavStrings::kCodeLoadFailed);
}

TEST_F(DataFile, FailedSaveKeepsThePreviousFile) {
    const auto path = dir.Path() / "keep.vro";
    ASSERT_TRUE(File().Save(path.string()));
    const std::string before = test::ReadFile(path);
    Buffers().WriteInteger(Value("qv.area.first.level"), 1);

    // Writes beyond 100 bytes fail, as on a full disk.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit limited = saved;
    limited.rlim_cur = 100;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    const bool written = File().Save(path.string());
    setrlimit(RLIMIT_FSIZE, &saved);

    EXPECT_FALSE(written);
    EXPECT_EQ(system.PendingCode(), TavStrings::kCodeSaveFailed);
    EXPECT_EQ(test::ReadFile(path), before);
    EXPECT_TRUE(Qv().IsModified());
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

TEST_F(DataFile, SaveIntoAMissingFolderFailsWithCodeTwo) {
    EXPECT_FALSE(File().Save((dir.Path() / "absent" / "x.vro").string()));
    EXPECT_EQ(system.PendingCode(), TavStrings::kCodeSaveFailed);
}

TEST_F(DataFile, SaveThroughASymbolicLinkReplacesTheLinkedFile) {
    const auto real = dir.Write("real.vro", "old");
    const auto link = dir.Path() / "link.vro";
    std::filesystem::create_symlink(real, link);
    ASSERT_TRUE(File().Save(link.string()));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(test::ReadFile(real).size(), CTavDataFile::kHeaderSize + kBodySize);
}

TEST(DataFileSettings, FilterAndDefaultExtension) {
    const TavDataFileSettings settings;
    EXPECT_EQ(settings.Filter(), "Vireo Editor Files(*.vro)|*.vro|All Files(*.*)|*.*||");
    EXPECT_EQ(settings.DefaultExtension(), "vro");
}

// Data files: header, body order, and what a failed save or load leaves behind.

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
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
<structType><type>second</type><name>second</name><address>01 00</address><size>00 0A</size>
  <value><type>string</type><name>title</name><size>00 06</size><default>Init</default></value>
  <value><type>int2x4</type><name>fine</name><address>00 08</address><range>0,255</range><default>0</default></value>
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

// first: level, tempo. second: title, two gap bytes, fine (two nibbles).
constexpr size_t kBodySize = 3 + 10;

// What is at a path, without following a link: kind, mode and content or link text.
std::string Describe(const std::filesystem::path& path) {
    struct stat status {};
    if (lstat(path.c_str(), &status) != 0)
        return "nothing";
    const std::string mode = std::to_string(status.st_mode & 07777);
    if (S_ISLNK(status.st_mode))
        return "link to " + std::filesystem::read_symlink(path).string();
    if (S_ISREG(status.st_mode))
        return "file " + mode + " " + test::ReadFile(path);
    if (S_ISFIFO(status.st_mode))
        return "fifo " + mode;
    if (S_ISCHR(status.st_mode))
        return "device " + mode;
    if (S_ISDIR(status.st_mode))
        return "folder " + mode;
    return "other";
}

size_t Entries(const std::filesystem::path& folder) {
    return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(folder), {}));
}

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
    EXPECT_EQ(body, std::string("\x64\x01\x48", 3) + "Init  " + std::string(4, '\0'));
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
    EXPECT_EQ(Buffers().PendingChanges().size(), 4u);
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
    // What stands in a file's place is refused at once (a FIFO is not waited on).
    for (test::NotAFile kind : test::kNotAFiles) {
        const auto path = dir.Path() / (std::string(test::Describe(kind)) + ".vro");
        test::MakeNotAFile(kind, path);
        system.BufferOutput()->Report(0);
        EXPECT_FALSE(File().Load(path.string())) << test::Describe(kind);
        EXPECT_EQ(system.PendingCode(), TavStrings::kCodeLoadFailed) << test::Describe(kind);
        EXPECT_EQ(Value("qv.area.first.level").GetRaw(), 9) << test::Describe(kind);
    }
}

TEST_F(DataFile, BodyBytesTheValuesCannotHoldReportCodeOneAndChangeNothing) {
    const std::string good = Saved();
    Buffers().WriteInteger(Value("qv.area.first.level"), 9);
    Buffers().ClearPending();
    struct Case {
        const char* what;
        size_t offset; // into the body; the whole body when all is set
        uint8_t byte;
        bool all;
        bool accepted;
    };
    const Case cases[] = {
        {"every byte FF", 0, 0xFF, true, false},
        {"status byte in a 7-bit value", 0, 0x80, false, false},
        {"status byte in the second byte of an int2x7", 2, 0xF7, false, false},
        {"status byte in a text", 4, 0xE9, false, false},
        {"status byte between values", 9, 0x90, false, false},
        {"more than a nibble in a nibble value", 12, 0x10, false, false},
        {"largest nibble", 12, 0x0F, false, true},
        {"largest data byte", 9, 0x7F, false, true},
    };
    for (const Case& c : cases) {
        std::string file = good;
        if (c.all)
            std::fill(file.begin() + CTavDataFile::kHeaderSize, file.end(), static_cast<char>(c.byte));
        else
            file[CTavDataFile::kHeaderSize + c.offset] = static_cast<char>(c.byte);
        const auto path = dir.Write("bytes.vro", file);
        system.BufferOutput()->Report(0);
        Qv().SetModified(true);
        EXPECT_EQ(File().Load(path.string()), c.accepted) << c.what;
        if (c.accepted) {
            Buffers().ClearPending();
            Buffers().WriteInteger(Value("qv.area.first.level"), 9);
            Buffers().ClearPending();
            continue;
        }
        EXPECT_EQ(system.PendingCode(), TavStrings::kCodeLoadFailed) << c.what;
        EXPECT_EQ(Value("qv.area.first.level").GetRaw(), 9) << c.what;
        EXPECT_EQ(Value("qv.area.second.title").GetText(), "Init  ") << c.what;
        EXPECT_TRUE(Buffers().PendingChanges().empty()) << c.what;
        EXPECT_TRUE(Qv().IsModified()) << c.what;
    }
}

TEST_F(DataFile, FailedSaveKeepsThePreviousFile) {
    const auto path = dir.Path() / "keep.vro";
    ASSERT_TRUE(File().Save(path.string()));
    const std::string before = test::ReadFile(path);
    Buffers().WriteInteger(Value("qv.area.first.level"), 1);

    // Writes beyond 100 bytes fail, as on a full disk.
    bool written = false;
    {
        const test::FileSizeLimit limit(100);
        written = File().Save(path.string());
    }

    EXPECT_FALSE(written);
    EXPECT_EQ(system.PendingCode(), TavStrings::kCodeSaveFailed);
    EXPECT_EQ(test::ReadFile(path), before);
    EXPECT_TRUE(Qv().IsModified());
    // No temporary file is left behind.
    EXPECT_EQ(Entries(dir.Path()), 1u);
}

TEST_F(DataFile, AStateThatWouldNotReadBackIsNotSaved) {
    const auto path = dir.Path() / "kept.vro";
    const std::string before = Saved();
    dir.Write("kept.vro", before);
    CTavValue& title = Value("qv.area.second.title");
    title.SetText("Caf\xc3\xa9"); // straight into the bytes, past every check of an edit
    CTavDataFile file = File();
    EXPECT_FALSE(file.Save(path.string()));
    EXPECT_EQ(system.PendingCode(), TavStrings::kCodeSaveFailed);
    EXPECT_EQ(file.Why(), "the edit state holds a byte a value cannot hold, so the file could not be read back");
    EXPECT_EQ(test::ReadFile(path), before);
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

TEST_F(DataFile, SaveRefusesToReplaceWhatIsNotAWritableRegularFile) {
    const auto at = [this](const char* name) { return dir.Path() / name; };
    const auto readOnly = dir.Write("readonly.vro", "mine");
    chmod(readOnly.c_str(), 0444);
    ASSERT_EQ(mkfifo(at("fifo.vro").c_str(), 0644), 0);
    // Creating a device node needs privileges; without them that case is left out.
    const bool device = mknod(at("full.vro").c_str(), S_IFCHR | 0666, makedev(1, 7)) == 0;
    std::filesystem::create_symlink(at("absent.vro"), at("dangling.vro"));
    std::filesystem::create_symlink(readOnly, at("toreadonly.vro"));
    std::filesystem::create_symlink(at("loopb.vro"), at("loopa.vro"));
    std::filesystem::create_symlink(at("loopa.vro"), at("loopb.vro"));
    std::filesystem::create_directory(at("folder.vro"));

    const auto listing = [this] {
        std::vector<std::string> lines;
        for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
            lines.push_back(entry.path().filename().string() + ": " + Describe(entry.path()));
        std::sort(lines.begin(), lines.end());
        return lines;
    };
    std::vector<const char*> names = {"readonly.vro",   "fifo.vro",  "dangling.vro",
                                      "toreadonly.vro", "loopa.vro", "folder.vro"};
    if (device)
        names.push_back("full.vro");
    Qv().SetModified(true);
    for (const char* name : names) {
        const std::vector<std::string> before = listing();
        system.BufferOutput()->Report(0);
        EXPECT_FALSE(File().Save(at(name).string())) << name;
        EXPECT_EQ(system.PendingCode(), TavStrings::kCodeSaveFailed) << name;
        EXPECT_EQ(listing(), before) << name;
        EXPECT_TRUE(Qv().IsModified()) << name;
    }
}

TEST_F(DataFile, NewFilesGetTheUmasksModeAndExistingFilesKeepTheirs) {
    struct Case {
        const char* what;
        mode_t umask;
        int existing; // mode of the file before, or -1 for none
        mode_t saved;
    };
    const Case cases[] = {
        {"new, umask 022", 022, -1, 0644},  {"new, umask 027", 027, -1, 0640},  {"new, umask 0", 0, -1, 0666},
        {"existing 0600", 022, 0600, 0600}, {"existing 0664", 077, 0664, 0664},
    };
    int index = 0;
    for (const Case& c : cases) {
        const auto path = dir.Path() / ("mode" + std::to_string(index++) + ".vro");
        if (c.existing >= 0) {
            dir.Write(path.filename().string(), "old");
            chmod(path.c_str(), static_cast<mode_t>(c.existing));
        }
        const mode_t previous = umask(c.umask);
        const bool saved = File().Save(path.string());
        umask(previous);
        ASSERT_TRUE(saved) << c.what;
        struct stat status {};
        ASSERT_EQ(stat(path.c_str(), &status), 0) << c.what;
        EXPECT_EQ(status.st_mode & 07777, c.saved) << c.what;
        EXPECT_EQ(test::ReadFile(path).size(), CTavDataFile::kHeaderSize + kBodySize) << c.what;
    }
}

TEST_F(DataFile, NamesAtTheLengthLimitSave) {
    // Two-byte characters up to the limit; the temporary name is never cut inside one.
    std::string wide;
    for (int i = 0; i < 125; ++i)
        wide += "\xC3\xA9";
    const std::string names[] = {std::string(251, 'n') + ".vro", wide + "a.vro"};
    for (const std::string& name : names) {
        ASSERT_EQ(name.size(), 255u);
        const auto path = dir.Path() / name;
        EXPECT_TRUE(File().Save(path.string())) << name.size();
        EXPECT_EQ(test::ReadFile(path).size(), CTavDataFile::kHeaderSize + kBodySize);
        // Replacing the file works as well, and leaves nothing else behind.
        EXPECT_TRUE(File().Save(path.string()));
        std::filesystem::remove(path);
        EXPECT_EQ(Entries(dir.Path()), 0u);
    }
}

TEST(DataFileSettings, FilterAndDefaultExtension) {
    const TavDataFileSettings settings;
    EXPECT_EQ(settings.Filter(), "Vireo Editor Files(*.vro)|*.vro|All Files(*.*)|*.*||");
    EXPECT_EQ(settings.DefaultExtension(), "vro");
}

// The user names file: its exact text, quoting, reading hostile files line by line, and
// the banks made from what was read.

#include <gtest/gtest.h>

#include <chrono>

#include "app/CTavTextOut.h"
#include "entity/CTavUserNameFile.h"
#include "support/TestSupport.h"

namespace {

using namespace TavEntityType;
using namespace std::string_literals;

const std::string kHeaderLine = "\"Vireo Contents Name File version 1,0,0,0\"";

TEST(UserNameFile, QuotesFieldsWhenNeededOrForced) {
    const struct {
        const char* text;
        bool force;
        const char* quoted;
    } cases[] = {
        {"Plain", false, "Plain"},
        {"Plain", true, "\"Plain\""},
        {"two words", false, "\"two words\""},
        {"say\"hi\"", false, "say\"\"hi\"\""},
        {"a\"b c", false, "\"a\"\"b c\""},
        {"tab\there", false, "\"tab\there\""},
        {"", true, "\"\""},
        {"cr\r", false, "\"cr\r\""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CTavUserNameFile::Quote(c.text, c.force), c.quoted) << c.text;
}

TEST(UserNameFile, WritesTheHeaderAndOneLinePerEntryInBankOrder) {
    CTavEntityManager manager;
    ASSERT_TRUE(TavAddNameBank(manager, RhythmSet, TavEntityArea::User, 0, 1));
    ASSERT_TRUE(TavAddNameBank(manager, Patch, TavEntityArea::Card, 0, 1));
    ASSERT_TRUE(TavAddNameBank(manager, Patch, TavEntityArea::User, 1, 2));
    manager.SetInformation({Patch, 0, 1, 0}, CCategoryInformation("Soft \"Pad\"", 12));
    manager.SetInformation({Patch, 0, 1, 1}, CCategoryInformation("TwelveChars!", 3));
    manager.SetInformation({Patch, 1, 0, 0}, CCategoryInformation("Card", 1));
    manager.SetInformation({RhythmSet, 0, 0, 0}, CCategoryInformation("Kit", 39));
    std::string out;
    ASSERT_TRUE(CTavUserNameFile::Write(manager, out));
    EXPECT_EQ(out, kHeaderLine + "\n\n"
                                       "Patch        \"Soft \"\"Pad\"\"\",81,1,0,12\n"
                                       "Patch        \"TwelveChars!\",81,1,1,3\n"
                                       "Patch        \"Card\"        ,81,32,0,1\n"
                                       "Rhythm       \"Kit\"         ,82,0,0,39\n");

    std::vector<CTavUserNameEntry> entries;
    ASSERT_TRUE(CTavUserNameFile::Read(out, entries));
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].name, "Soft \"Pad\"");
    EXPECT_EQ(entries[0].category, 12);
    EXPECT_EQ(entries[2].program, (CTavProgramId{81, 32, 0}));
    EXPECT_EQ(entries[3].type, RhythmSet);
}

TEST(UserNameFile, ReadsOnlyTheValidLinesOfAHostileFile) {
    std::string text = kHeaderLine + "\n\n";
    text += "Patch        \"Good One\"    ,81,0,5,7\n";                   // valid
    text += "Patch        \"" + std::string(5000, 'x') + "\",81,0,6,7\n"; // too long
    text += "Patch        \"No close    ,81,0,7,7\n";                     // missing quote
    text += "Patch        No quotes     ,81,0,8,7\n";                     // unquoted: valid
    text += "Patch        \"Range\"       ,81,0,128,7\n";                 // out of range
    text += "Patch        \"Negative\"    ,81,-1,9,7\n";
    text += "Patch        \"Few\"         ,81,0,9\n"; // four fields
    text += "Patch        \"Many\"        ,81,0,9,7,1\n";
    text += "Sample       \"Label\"       ,81,0,9,7\n";        // unknown label
    text += "Rhythm       \"Hex, comma\"  ,0x52,0,010,39\r\n"; // "%li" bases, CR LF
    text += "Patch        \"Trail\"       ,81,0,11,7x\n";
    text += std::string("Patch        \"Bin\xff\x01\"      ,81,0,12,7\n"); // line 14: refused
    text += "Patch        \"N\0L\"         ,81,0,13,7\n"s; // line 15: refused
    text += "Patch        \"Fourteen chars\",81,0,14,7\n";                  // cut to 12
    text += std::string("\x00\xff\xfe garbage\n", 12);
    text += "Patch"; // no newline, too short
    std::vector<CTavUserNameEntry> entries;
    CTavTextOutStringStream errors;
    ASSERT_TRUE(CTavUserNameFile::Read(text, entries, &errors));
    std::vector<std::string> names;
    for (const auto& entry : entries)
        names.push_back(entry.name);
    EXPECT_EQ(names, (std::vector<std::string>{"Good One", "No quotes", "Hex, comma", "Fourteen cha"}));
    EXPECT_EQ(entries[2].program, (CTavProgramId{82, 0, 8}));
    EXPECT_EQ(errors.Text(),
              "Line 14 of UserName.txt is not used: its name holds a character a device name cannot hold.\n"
              "Line 15 of UserName.txt is not used: its name holds a character a device name cannot hold.\n");

    for (const std::string& header : {std::string("Vireo Contents Name File version 1,0,0,0\n"),
                                      std::string("\"Other Contents Name File version 1,0,0,0\"\n"),
                                      std::string(), std::string(5000, '"')}) {
        EXPECT_FALSE(CTavUserNameFile::Read(header + "Patch        \"Good One\"    ,81,0,5,7\n", entries));
        EXPECT_TRUE(entries.empty());
    }
}

TEST(UserNameFile, BoundsLinesAndReportsOnlySomeRefusals) {
    std::string text = kHeaderLine + "\n";
    const std::string line = "Patch        \"N\"           ,81,0,1,7\n";
    const std::string bad = "Patch        \"\x01\"           ,81,0,1,7\n";
    for (int i = 0; i < 20; ++i)
        text += bad;
    for (int i = 0; i < 100000; ++i)
        text += line;
    std::vector<CTavUserNameEntry> entries;
    CTavTextOutStringStream errors;
    ASSERT_TRUE(CTavUserNameFile::Read(text, entries, &errors));
    EXPECT_EQ(entries.size(), CTavUserNameFile::kMaxLines - 20);
    EXPECT_NE(errors.Text().find("Line 9 of"), std::string::npos);
    EXPECT_EQ(errors.Text().find("Line 10 of"), std::string::npos);
    EXPECT_NE(errors.Text().find("12 more lines of UserName.txt"), std::string::npos);
}

class UserNameFileOnDisk : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(TavAddNameBank(manager, Patch, TavEntityArea::User, 0, 2)); }
    std::string Path(const char* name = CTavUserNameFile::kFileName) const { return (dir.Path() / name).string(); }

    test::TempDir dir;
    CTavEntityManager manager;
    std::vector<CTavUserNameEntry> entries;
    CTavTextOutStringStream errors;
};

TEST_F(UserNameFileOnDisk, SavesAndLoadsThroughTheScriptFolder) {
    ASSERT_TRUE(CTavUserNameFile::Save(Path(), manager, nullptr));
    ASSERT_TRUE(CTavUserNameFile::Load(Path(), entries, nullptr));
    EXPECT_EQ(entries.size(), 2u);
    EXPECT_FALSE(CTavUserNameFile::Load(Path("missing.txt"), entries, &errors));
    EXPECT_FALSE(CTavUserNameFile::Save((dir.Path() / "no" / "such" / "dir.txt").string(), manager, &errors));
    EXPECT_EQ(errors.Text().find("Unable to read user names."), std::string::npos); // no file is no fault
    EXPECT_NE(errors.Text().find("Unable to write user names."), std::string::npos);
}

TEST_F(UserNameFileOnDisk, ReadsNothingButARegularFileWithoutWaiting) {
    for (test::NotAFile kind : test::kNotAFiles) {
        SCOPED_TRACE(test::Describe(kind));
        const std::string path = Path(test::Describe(kind));
        test::MakeNotAFile(kind, path);
        errors.Clear();
        const auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(CTavUserNameFile::Load(path, entries, &errors));
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
        // A link to nothing is no file at all; the others are named.
        if (kind == test::NotAFile::kDangling)
            EXPECT_EQ(errors.Text(), "");
        else
            EXPECT_EQ(errors.Text().rfind("Unable to read user names. : " + path, 0), 0u) << errors.Text();
    }
    // A file of names that runs on for ever stops at the bound, without being read.
    std::string huge = kHeaderLine + "\n" + std::string(CTavUserNameFile::kMaxFileSize, '\n');
    EXPECT_FALSE(CTavUserNameFile::Load(dir.Write("huge.txt", huge).string(), entries, nullptr));
}

TEST_F(UserNameFileOnDisk, AFailedSaveKeepsThePreviousFileWhole) {
    ASSERT_TRUE(CTavUserNameFile::Save(Path(), manager, nullptr));
    const std::string before = test::ReadFile(Path());
    ASSERT_TRUE(TavAddNameBank(manager, Patch, TavEntityArea::User, 1, 128));
    bool saved = true;
    {
        const test::FileSizeLimit limit(before.size() + 10);
        saved = CTavUserNameFile::Save(Path(), manager, &errors);
    }
    EXPECT_FALSE(saved);
    EXPECT_EQ(test::ReadFile(Path()), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
    EXPECT_NE(errors.Text().find("Unable to write user names. : " + Path()), std::string::npos);
}

TEST(UserNameFile, EntriesBecomeBanksCoveringTheHighestProgram) {
    CTavEntityManager manager;
    ASSERT_TRUE(TavAddNameBank(manager, Patch, TavEntityArea::User, 5, 9)); // replaced
    const std::vector<CTavUserNameEntry> entries = {
        {Patch, {81, 0, 3}, 12, "Three"}, {Patch, {81, 0, 1}, 4, "One"},
        {Patch, {81, 33, 0}, 2, "Card"},  {RhythmSet, {82, 2, 4}, 39, "Kit"},
        {Patch, {82, 0, 0}, 1, "Wrong"},  {RhythmSet, {82, 127, 0}, 39, "Far"},
    };
    CTavBankCounts counts;
    TavBanksFromUserNames(manager, entries, counts);
    EXPECT_EQ(counts.List(Patch, 0), (std::vector<int32_t>{4}));
    EXPECT_EQ(counts.List(Patch, 1), (std::vector<int32_t>{0, 1}));
    EXPECT_EQ(counts.List(RhythmSet, 0), (std::vector<int32_t>{0, 0, 5}));
    ASSERT_EQ(counts.List(RhythmSet, 1).size(), 96u); // LSB 127 is the last card bank
    EXPECT_EQ(counts.List(RhythmSet, 1).back(), 1);
    EXPECT_EQ(manager.Count({Patch, 0, 0, -2}), 4);
    EXPECT_EQ(manager.Count({Patch, 0, 5, -2}), 0);
    EXPECT_EQ(manager.InformationOf({Patch, 0, 0, 3}).Name(), "Three");
    EXPECT_EQ(manager.InformationOf({Patch, 0, 0, 1}).Category(), 4);
    EXPECT_EQ(manager.InformationOf({Patch, 0, 0, 0}).Name(), "");
    EXPECT_FALSE(manager.InformationOf({Patch, 0, 0, 0}).IsNull());
    EXPECT_EQ(manager.InformationOf({Patch, 0, 0, 2}).Category(), 0);
    EXPECT_EQ(manager.ProgramIdOf({Patch, 1, 1, 0}), (CTavProgramId{81, 33, 0}));
    EXPECT_EQ(manager.InformationOf({RhythmSet, 0, 2, 0}).Category(), 39);
    EXPECT_EQ(manager.InformationOf({RhythmSet, 0, 2, 4}).Name(), "Kit");
}

// Entries beyond program 127 travel at the next LSB; a file gives the bank the device's
// number information gives, not a second one.
TEST(UserNameFile, AFullBankRunsOnIntoTheNextLsb) {
    const auto run = [](int32_t lsb, int32_t from, int32_t to) {
        std::vector<CTavUserNameEntry> entries;
        for (int32_t program = from; program <= to; ++program)
            entries.push_back(
                {Patch, {81, lsb, program}, 1, "P" + std::to_string(lsb) + "-" + std::to_string(program)});
        return entries;
    };
    const auto join = [](std::vector<std::vector<CTavUserNameEntry>> parts) {
        std::vector<CTavUserNameEntry> all;
        for (auto& part : parts)
            all.insert(all.end(), part.begin(), part.end());
        return all;
    };
    const struct {
        const char* what;
        std::vector<CTavUserNameEntry> entries;
        std::vector<int32_t> userCounts, cardCounts;
    } cases[] = {
        {"130 at LSBs 0 and 1", join({run(0, 0, 127), run(1, 0, 1)}), {130}, {}},
        {"three LSBs", join({run(0, 0, 127), run(1, 0, 127), run(2, 0, 4)}), {261}, {}},
        {"a cut bank does not run on", join({run(0, 0, 100), run(1, 0, 1)}), {101, 2}, {}},
        {"a gap in the LSBs starts a bank", join({run(0, 0, 127), run(2, 0, 1)}), {128, 0, 2}, {}},
        {"card banks alike", join({run(32, 0, 127), run(33, 0, 19), run(35, 0, 0)}), {}, {148, 0, 0, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CTavEntityManager manager;
        CTavBankCounts counts;
        TavBanksFromUserNames(manager, c.entries, counts);
        EXPECT_EQ(counts.List(Patch, TavEntityArea::User), c.userCounts);
        EXPECT_EQ(counts.List(Patch, TavEntityArea::Card), c.cardCounts);
        int32_t banks = 0;
        for (const auto* list : {&c.userCounts, &c.cardCounts})
            for (const int32_t count : *list)
                banks += count > 0;
        EXPECT_EQ(manager.CountBanks({Patch, TavWildcard, TavWildcard, TavWildcard}), banks);
        // Every entry is found under its own program ID with its own name.
        for (const CTavUserNameEntry& entry : c.entries) {
            const CTavEntityId id = manager.EntityIdOf(entry.program);
            ASSERT_TRUE(id.IsValid()) << entry.name;
            EXPECT_EQ(manager.InformationOf(id).Name(), entry.name);
            EXPECT_EQ(manager.ProgramIdOf(id), entry.program);
        }
    }
}

} // namespace

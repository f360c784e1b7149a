// Recovery files: one slot per running editor, what a dead one left (a SIGKILLed process
// among them) found and loaded, files from before the last clean exit and unreadable ones
// kept aside, the writer thread, and when a write is due.

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "files/CTavDataFile.h"
#include "files/CTavRecovery.h"
#include "support/FakeClock.h"
#include "support/ModelFixture.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

const char* const kScript = R"(
<structType><type>Sys</type><name>$name</name><address>$address</address>
  <value><name>masterLevel</name><default>100</default></value>
</structType>
<structType><type>Root</type><name>$name</name><address>$address</address>
  <struct><type>Sys</type><name>system</name><address>00</address></struct>
</structType>
<struct><type>Root</type><name>qv</name><address>01 00 00 00</address></struct>
)";

class Recovery : public test::ModelFixture {
protected:
    void SetUp() override { Build(kScript); }
    std::string Folder() const { return (dir.Path() / "state" / "vireo-editor").string(); }
    Bytes Encoded() {
        Bytes bytes;
        CTavDataFile file(Buffers(), nullptr);
        EXPECT_TRUE(file.Encode(bytes));
        return bytes;
    }
    static void WriteFile(const std::string& path, const Bytes& bytes) {
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                   static_cast<std::streamsize>(bytes.size()));
    }

    test::TempDir dir;
};

TEST_F(Recovery, RunningEditorsHoldSlotsOfTheirOwnAndADeadOnesFileIsFound) {
    CTavRecoveryStore first, second;
    ASSERT_TRUE(first.Open(Folder()));
    ASSERT_TRUE(second.Open(Folder()));
    EXPECT_NE(first.Path(), second.Path());
    EXPECT_EQ(fs::status(Folder()).permissions() & fs::perms::all, fs::perms::owner_all);
    WriteFile(second.Path(), Encoded());
    EXPECT_TRUE(first.FindLeft().empty()); // the second is still running

    {
        auto dying = std::make_unique<CTavRecoveryStore>();
        ASSERT_TRUE(dying->Open(Folder()));
        WriteFile(dying->Path(), Encoded());
    } // gone without a clean exit: its lock goes, its file stays
    const auto left = first.FindLeft();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].slot, 2);

    // A clean exit removes its own file and puts older ones aside, numbered, never deleted.
    second.CloseCleanly();
    EXPECT_FALSE(fs::exists(second.Path()));
    fs::last_write_time(left[0].path, fs::file_time_type::clock::now() - std::chrono::hours(1));
    EXPECT_TRUE(first.FindLeft().empty());
    EXPECT_TRUE(fs::exists(left[0].path + ".old"));
    WriteFile(left[0].path, {1, 2});
    EXPECT_EQ(first.PutAside({left[0].path, 0, 2}, ".old"), left[0].path + ".old.1");
}

TEST_F(Recovery, AFolderThatIsNotOneOfTheUsersIsRefusedWithAReason) {
    const std::string file = dir.Write("plain", "x").string();
    CTavRecoveryStore store;
    std::string why;
    EXPECT_FALSE(store.Open(file, &why));
    EXPECT_NE(why.find("is not a folder"), std::string::npos) << why;
    EXPECT_FALSE(store.Open("", &why));
    EXPECT_FALSE(why.empty());
    EXPECT_FALSE(store.IsOpen());
}

TEST_F(Recovery, AKilledEditorLeavesAFileTheNextStartFindsAndLoads) {
    Value("qv.system.masterLevel").SetRaw(33);
    const Bytes state = Encoded();
    Value("qv.system.masterLevel").SetRaw(100);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The editor: keeps its state for recovery, and is killed mid-session.
        CTavRecoveryStore store;
        if (!store.Open(Folder()))
            _exit(2);
        CTavRecoveryWriter writer;
        writer.Post(store.Path(), state);
        writer.Flush();
        kill(getpid(), SIGKILL);
        _exit(3);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;

    CTavRecoveryStore next;
    ASSERT_TRUE(next.Open(Folder()));
    const auto left = next.FindLeft();
    ASSERT_EQ(left.size(), 1u);
    CTavDataFile file(Buffers(), nullptr);
    ASSERT_TRUE(file.Load(left[0].path));
    EXPECT_EQ(Value("qv.system.masterLevel").GetRaw(), 33);
}

TEST_F(Recovery, TheWriterWritesTheNewestBytesAndSaysOnceWhenItCannot) {
    CTavRecoveryWriter writer;
    const std::string path = (dir.Path() / "r.vro").string();
    for (uint8_t i = 1; i <= 20; ++i)
        writer.Post(path, Bytes(1000, i));
    writer.Flush();
    EXPECT_EQ(test::ReadFile(path), std::string(1000, '\x14'));
    EXPECT_LE(writer.Written(), 20u);
    EXPECT_TRUE(writer.TakeFailure().empty());
    writer.Post((dir.Path() / "missing" / "r.vro").string(), Bytes(4, 0));
    writer.Flush();
    EXPECT_NE(writer.TakeFailure().find("could not be written"), std::string::npos);
    EXPECT_TRUE(writer.TakeFailure().empty());
}

TEST(RecoverySchedule, WritesEveryThirtySecondsWhileChangedAndAtOnceWhenAsked) {
    FakeClock clock;
    CTavRecoveryScheduler schedule(clock);
    struct Step {
        int advanceSeconds;
        uint64_t revision;
        bool soon;
        bool due;
    } steps[] = {
        {0, 1, false, false},  // changed, but the interval has not passed
        {29, 1, false, false}, //
        {1, 1, false, true},   // 30 s
        {40, 1, false, false}, // nothing changed since
        {0, 2, false, true},   // changed 40 s after the last write
        {1, 3, false, false},  // changed again 1 s later: waits
        {0, 3, true, true},    // a Paste: at once
        {0, 3, true, false},   // asked again, but nothing changed
    };
    for (const Step& step : steps) {
        clock.Advance(std::chrono::seconds(step.advanceSeconds));
        schedule.Changed(step.revision);
        if (step.soon)
            schedule.WriteSoon();
        EXPECT_EQ(schedule.Due(), step.due) << step.advanceSeconds << " " << step.revision;
    }
}

} // namespace

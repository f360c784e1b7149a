// Opening outside files: only regular files within their limit, never waiting on a FIFO.

#include <gtest/gtest.h>

#include "files/TavReadFile.h"
#include "support/TestSupport.h"

namespace {

TEST(ReadFile, ReadsRegularFilesThroughLinksWithinTheLimit) {
    test::TempDir dir;
    const auto file = dir.Write("data.bin", std::string("ab\0cd", 5));
    std::filesystem::create_symlink(file, dir.Path() / "link");
    for (const auto& path : {file, dir.Path() / "link"}) {
        std::string text;
        EXPECT_EQ(TavReadWholeFile(path.string(), 5, text), TavFileRead::kRead);
        EXPECT_EQ(text, std::string("ab\0cd", 5));
    }
    std::vector<uint8_t> bytes{1, 2};
    std::string why;
    EXPECT_EQ(TavReadWholeFile(file.string(), 4, bytes, &why), TavFileRead::kRefused);
    EXPECT_TRUE(bytes.empty());
    EXPECT_EQ(why, file.string() + " : larger than 4 bytes");
    EXPECT_EQ(TavReadWholeFile(dir.Write("empty", "").string(), 0, bytes), TavFileRead::kRead);
}

TEST(ReadFile, RefusesWhatIsNotAFileAndTellsAMissingOne) {
    test::TempDir dir;
    std::string why;
    std::string text = "kept?";
    EXPECT_EQ(TavReadWholeFile((dir.Path() / "none").string(), 100, text, &why), TavFileRead::kMissing);
    EXPECT_TRUE(text.empty());
    EXPECT_EQ(TavReadWholeFile((dir.Path() / "none" / "below").string(), 100, text), TavFileRead::kMissing);
    for (test::NotAFile kind : test::kNotAFiles) {
        SCOPED_TRACE(test::Describe(kind));
        const auto path = dir.Path() / test::Describe(kind);
        test::MakeNotAFile(kind, path);
        why.clear();
        // A FIFO would block here for ever if it were opened waiting for a writer.
        const TavFileRead result = TavReadWholeFile(path.string(), 1 << 20, text, &why);
        EXPECT_EQ(result, kind == test::NotAFile::kDangling ? TavFileRead::kMissing : TavFileRead::kRefused);
        EXPECT_EQ(why.rfind(path.string() + " : ", 0), 0u) << why;
        uint64_t size = 1;
        EXPECT_EQ(TavOpenForReading(path.string(), 1 << 20, size), nullptr);
        EXPECT_EQ(size, 0u);
    }
}

} // namespace

// The recent files list: newest first, each once, at most eight, kept in the settings as it
// changes and read back without what a hand-edited list may hold; menu texts.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/CTavRecentFiles.h"
#include "app/ITavSettings.h"

namespace {

using Files = std::vector<std::string>;

TEST(RecentFiles, NewestFirstEachOnceAtMostEightAndKeptAsTheyChange) {
    CTavMemorySettings settings;
    {
        CTavRecentFiles recent(settings);
        for (int i = 1; i <= 10; ++i)
            recent.Add("/songs/" + std::to_string(i) + ".vro");
        recent.Add("/songs/5.vro");
        recent.Remove("/songs/9.vro");
        recent.Remove("/songs/none.vro");
        EXPECT_EQ(recent.Files(), (Files{"/songs/5.vro", "/songs/10.vro", "/songs/8.vro", "/songs/7.vro",
                                         "/songs/6.vro", "/songs/4.vro", "/songs/3.vro"}));
    }
    // A list edited by hand: a relative name and a repeat are left out.
    settings.SetString(CTavRecentFiles::kSection, "File8", "relative.vro");
    settings.SetString(CTavRecentFiles::kSection, "File7", "/songs/5.vro");
    const CTavRecentFiles again(settings);
    EXPECT_EQ(again.Files().size(), 6u);
    EXPECT_EQ(again.Files().front(), "/songs/5.vro");
}

TEST(RecentFiles, MenuTextsNumberTheFileNames) {
    struct Case {
        size_t index;
        const char* path;
        const char* text;
    } cases[] = {{0, "/a/song.vro", "&1 song.vro"}, {7, "/b/R&B.vro", "&8 R&&B.vro"}, {2, "plain", "&3 plain"}};
    for (const Case& c : cases)
        EXPECT_EQ(CTavRecentFiles::MenuText(c.index, c.path), c.text);
}

} // namespace

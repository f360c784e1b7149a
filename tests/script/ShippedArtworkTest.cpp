// The shipped script's bitmaps: every one it names has been drawn into the build's Script
// folder, in the layout its definition declares, at 1x and (as "@2x") at twice the size.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/CTavSystem.h"
#include "script/CTavResourceManager.h"
#include "support/TestSupport.h"

namespace {

// An uncompressed 24- or 32-bit BMP, as the artwork tool writes them.
class Bmp {
public:
    bool Load(const std::filesystem::path& path) {
        m_bytes = test::ReadFile(path);
        if (m_bytes.size() < 54 || m_bytes.compare(0, 2, "BM") != 0)
            return false;
        m_dataOffset = U32(10);
        width = static_cast<int32_t>(U32(18));
        const int32_t rawHeight = static_cast<int32_t>(U32(22));
        m_bottomUp = rawHeight > 0;
        height = rawHeight > 0 ? rawHeight : -rawHeight;
        m_bytesPerPixel = (m_bytes[28] & 0xff) / 8;
        m_stride = (width * m_bytesPerPixel + 3) / 4 * 4;
        return U32(30) == 0 && (m_bytesPerPixel == 3 || m_bytesPerPixel == 4) &&
               m_bytes.size() >= m_dataOffset + static_cast<size_t>(m_stride) * height;
    }

    // 0xRRGGBB.
    uint32_t Pixel(int x, int y) const {
        const int row = m_bottomUp ? height - 1 - y : y;
        const size_t at = m_dataOffset + static_cast<size_t>(row) * m_stride + x * m_bytesPerPixel;
        return Byte(at + 2) << 16 | Byte(at + 1) << 8 | Byte(at);
    }

    int32_t width = 0;
    int32_t height = 0;

private:
    uint32_t Byte(size_t at) const { return static_cast<uint8_t>(m_bytes[at]); }
    uint32_t U32(size_t at) const {
        return Byte(at) | Byte(at + 1) << 8 | Byte(at + 2) << 16 | Byte(at + 3) << 24;
    }

    std::string m_bytes;
    uint32_t m_dataOffset = 0;
    bool m_bottomUp = true;
    int m_bytesPerPixel = 0;
    int32_t m_stride = 0;
};

struct Definition {
    std::string name;
    long stateCount = 1;
    long direction = 0;
    long mask = 0;
};

std::vector<Definition> ShippedBitmaps() {
    CTavSystem system;
    std::ifstream in(test::ShippedScriptDir() / "VireoEditorScript.xml", std::ios::binary);
    EXPECT_TRUE(system.ReadScript(in));
    std::vector<Definition> bitmaps;
    for (const CTavElementDefinition& element : system.ResourceManager().BitmapDefinitions()) {
        Definition bitmap;
        bitmap.name = *element.Find("name");
        for (auto [tag, field] : {std::pair{"stateCount", &bitmap.stateCount},
                                  std::pair{"direction", &bitmap.direction}, std::pair{"mask", &bitmap.mask}})
            if (const std::string* text = element.Find(tag))
                *field = std::stol(*text);
        bitmaps.push_back(bitmap);
    }
    return bitmaps;
}

std::filesystem::path BuiltScriptDir() {
    return VIREO_BUILT_SCRIPT_DIR;
}

// The size of one state, as the editor works it out from the image.
struct StateSize {
    int width;
    int height;
};

StateSize StateOf(const Definition& bitmap, const Bmp& image) {
    const int split = bitmap.mask ? 2 : 1;
    if (bitmap.direction == 0)
        return {image.width / split, image.height / static_cast<int>(bitmap.stateCount)};
    return {image.width / static_cast<int>(bitmap.stateCount), image.height / split};
}

} // namespace

TEST(ShippedArtwork, EveryBitmapIsDrawnInTheLayoutItsDefinitionDeclares) {
    const std::vector<Definition> bitmaps = ShippedBitmaps();
    ASSERT_FALSE(bitmaps.empty());
    for (const Definition& bitmap : bitmaps) {
        Bmp image;
        ASSERT_TRUE(image.Load(BuiltScriptDir() / (bitmap.name + ".bmp"))) << bitmap.name;
        Bmp twice;
        ASSERT_TRUE(twice.Load(BuiltScriptDir() / (bitmap.name + "@2x.bmp"))) << bitmap.name;
        EXPECT_EQ(twice.width, 2 * image.width) << bitmap.name;
        EXPECT_EQ(twice.height, 2 * image.height) << bitmap.name;
        const StateSize state = StateOf(bitmap, image);
        const int split = bitmap.mask ? 2 : 1;
        const int count = static_cast<int>(bitmap.stateCount);
        EXPECT_GT(state.width, 0) << bitmap.name;
        EXPECT_GT(state.height, 0) << bitmap.name;
        // No remainder: every state, and its mask, has exactly the same size.
        EXPECT_EQ(image.width, state.width * (bitmap.direction == 0 ? split : count)) << bitmap.name;
        EXPECT_EQ(image.height, state.height * (bitmap.direction == 0 ? count : split)) << bitmap.name;
    }
}

TEST(ShippedArtwork, MasksAreBlackWhereDrawnAndThePictureIsBlackWhereNot) {
    for (const Definition& bitmap : ShippedBitmaps()) {
        if (!bitmap.mask)
            continue;
        for (const char* suffix : {".bmp", "@2x.bmp"}) {
            Bmp image;
            ASSERT_TRUE(image.Load(BuiltScriptDir() / (bitmap.name + suffix))) << bitmap.name << suffix;
            const StateSize state = StateOf(bitmap, image);
            const bool vertical = bitmap.direction == 0;
            for (int s = 0; s < bitmap.stateCount; ++s) {
                const int left = vertical ? 0 : s * state.width;
                const int top = vertical ? s * state.height : 0;
                const int maskLeft = left + (vertical ? state.width : 0);
                const int maskTop = top + (vertical ? 0 : state.height);
                int drawn = 0;
                int faults = 0;
                for (int y = 0; y < state.height; ++y) {
                    for (int x = 0; x < state.width; ++x) {
                        const uint32_t mask = image.Pixel(maskLeft + x, maskTop + y);
                        if (mask == 0)
                            ++drawn;
                        else if (mask != 0xffffff || image.Pixel(left + x, top + y) != 0)
                            ++faults;
                    }
                }
                EXPECT_GT(drawn, 0) << bitmap.name << suffix << " state " << s;
                EXPECT_EQ(faults, 0) << bitmap.name << suffix << " state " << s;
            }
        }
    }
}

#pragma once
// A resource factory for view tests: bitmaps of 20 x 20 pixel frames, stacked, that
// draw nothing; no text writers or graph drawers.

#include <memory>
#include <string>

#include "script/ITavResourceFactory.h"

namespace test {

class FakeBitmap : public CTavStateBitmap {
public:
    void DrawState(CTavDrawInfo&, TavPoint, int32_t) override {}

protected:
    bool LoadImage(const std::string&, int32_t& width, int32_t& height) override {
        width = 20;
        height = 20 * StateCount();
        return true;
    }
    void ReleaseImage() override {}
};

class FakeResources : public ITavResourceFactory {
public:
    std::unique_ptr<CTavStateBitmap> CreateBitmap() override { return std::make_unique<FakeBitmap>(); }
    std::unique_ptr<CTavTextWriter> CreateTextWriter() override { return nullptr; }
    std::unique_ptr<CTavGraphDrawer> CreateGraphDrawer() override { return nullptr; }
};

} // namespace test

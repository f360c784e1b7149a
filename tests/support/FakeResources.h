#pragma once
// A resource factory for view tests: bitmaps of 20 x 20 pixel frames, stacked, and text
// writers, both recording what they draw; no graph drawers.

#include <memory>
#include <string>
#include <vector>

#include "app/CTavSystem.h"
#include "app/CTavTextOut.h"
#include "script/ITavResourceFactory.h"

namespace test {

class FakeBitmap : public CTavStateBitmap {
public:
    struct Drawn {
        TavPoint at;
        int32_t state;
    };
    void DrawState(CTavDrawInfo&, TavPoint at, int32_t state) override { drawn.push_back({at, state}); }
    std::vector<Drawn> drawn;

protected:
    bool LoadImage(const std::string&, int32_t& width, int32_t& height) override {
        width = 20;
        height = 20 * StateCount();
        return true;
    }
    void ReleaseImage() override {}
};

class FakeTextWriter : public CTavTextWriter {
public:
    struct Drawn {
        TavRect rect;
        std::string text;
    };
    void DrawText(CTavDrawInfo&, const TavRect& rect, const std::string& text) override {
        drawn.push_back({rect, text});
    }
    std::vector<Drawn> drawn;

protected:
    bool CreateFont() override { return true; }
};

class FakeResources : public ITavResourceFactory {
public:
    std::unique_ptr<CTavStateBitmap> CreateBitmap() override { return std::make_unique<FakeBitmap>(); }
    std::unique_ptr<CTavTextWriter> CreateTextWriter() override { return std::make_unique<FakeTextWriter>(); }
    std::unique_ptr<CTavGraphDrawer> CreateGraphDrawer() override { return nullptr; }
};

// The error text of creating the managers from a script over these resources; empty when
// creation succeeded (and a script that does not read says so).
inline std::string CreationErrors(const std::string& script) {
    CTavSystem system;
    system.SetResourceFactory(std::make_unique<FakeResources>());
    system.SetTextOut(CTavSystem::kErrorOutput, new CTavTextOutStringStream);
    system.AttachErrorOutputToManagers();
    if (!system.ReadScript(script))
        return "The script does not read.\n" + system.ErrorText();
    return system.CreateManagers() ? std::string() : system.ErrorText();
}

} // namespace test

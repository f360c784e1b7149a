#pragma once
// Resources for running without a display (the command-line companion, core tests): bitmaps
// read only their image size, text writers and graph drawers draw nothing.

#include <memory>
#include <string>

#include "script/ITavResourceFactory.h"

// Reads width and height from the headers of a BMP file. False when the file is missing or
// is not a BMP.
bool TavReadBmpSize(const std::string& path, int32_t& width, int32_t& height);

class CTavHeadlessStateBitmap : public CTavStateBitmap {
public:
    void DrawState(CTavDrawInfo&, TavPoint, int32_t) override {}

protected:
    bool LoadImage(const std::string& path, int32_t& width, int32_t& height) override {
        return TavReadBmpSize(path, width, height);
    }
    void ReleaseImage() override {}
};

class CTavHeadlessTextWriter : public CTavTextWriter {
public:
    void DrawText(CTavDrawInfo&, const TavRect&, const std::string&) override {}

protected:
    bool CreateFont() override { return true; }
};

class CTavHeadlessResourceFactory : public ITavResourceFactory {
public:
    std::unique_ptr<CTavStateBitmap> CreateBitmap() override;
    std::unique_ptr<CTavTextWriter> CreateTextWriter() override;
    std::unique_ptr<CTavGraphDrawer> CreateGraphDrawer() override;
};

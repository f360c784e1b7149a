#pragma once
// Makes the Qt bitmaps, text writers and graph drawers.

#include "script/ITavResourceFactory.h"

class CResourceFactory : public ITavResourceFactory {
public:
    std::unique_ptr<CTavStateBitmap> CreateBitmap() override;
    std::unique_ptr<CTavTextWriter> CreateTextWriter() override;
    std::unique_ptr<CTavGraphDrawer> CreateGraphDrawer() override;
};

#include "script/qt/CResourceFactory.h"

#include "script/qt/CGraphDrawer.h"
#include "script/qt/CStateBitmap.h"
#include "script/qt/CTextWriter.h"

std::unique_ptr<CTavStateBitmap> CResourceFactory::CreateBitmap() {
    return std::make_unique<CStateBitmap>();
}

std::unique_ptr<CTavTextWriter> CResourceFactory::CreateTextWriter() {
    return std::make_unique<CTextWriter>();
}

std::unique_ptr<CTavGraphDrawer> CResourceFactory::CreateGraphDrawer() {
    return std::make_unique<CGraphDrawer>();
}

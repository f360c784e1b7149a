#include "device/TavControlCatalog.h"

#include "device/CTavBufferAccessor.h"

namespace Brio {

namespace {
const CTavEntityManager* g_catalog = nullptr;
} // namespace

const CTavEntityManager& TavControlCatalog() {
    return g_catalog ? *g_catalog : CTavBufferAccessor::Instance().Entities();
}

void TavSetControlCatalog(const CTavEntityManager* catalog) {
    g_catalog = catalog;
}

} // namespace Brio

#pragma once
// The catalog the device controls take names from: the device layer's, unless another
// was set (tests build controls over a catalog of their own).

class CTavEntityManager;

namespace Brio {

const CTavEntityManager& TavControlCatalog();
// Null goes back to the device layer's.
void TavSetControlCatalog(const CTavEntityManager* catalog);

} // namespace Brio

#pragma once
// Helpers the device controls share for the values they are bound to by name: taking the
// named references out of the script's items, reading integers and writing several values
// as one edit.

#include <cstdint>
#include <initializer_list>
#include <utility>

#include "model/ITavBufferHandler.h"
#include "script/CTavElementDefinition.h"

class CTavBufferManager;
class CTavValue;
class CTavView;

namespace Brio {

// For each (tag, index) pair in the order given: when items hold the tag, its text becomes
// the view's next value reference and index its number; the item is taken out.
void TavTakeValueRefs(TavItems& items, CTavView& view, std::initializer_list<std::pair<const char*, int*>> refs);

// Whether every reference of the list that the view has (index 0 or more) is an integer.
bool TavAreIntegers(const CTavView& view, std::initializer_list<int> refs);

// The raw integer of a value; absent for none or a value that is not an integer.
int32_t TavRawOf(const CTavValue* value, int32_t absent = -1);

// Writes each value's raw number limited to its range, leaving out the values that hold
// it already, in one write followed by the commit (transmit, publish, clear). True when
// anything was written.
bool TavWriteLimited(CTavBufferManager& buffers, const TavIntegerWrites& writes);

} // namespace Brio

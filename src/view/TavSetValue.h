#pragma once
// How controls write values: one write through the buffer manager followed by the commit
// (transmit, publish and clear the pending changes), so the device gets the change and
// every view, the writing control included, repaints from the new value. A write that
// would not change the value is skipped entirely.

#include <cstdint>
#include <string>
#include <vector>

class CTavBufferManager;
class CTavValue;

// The number of values in the value's range: its number table's length, or
// maximum - minimum + 1.
int32_t TavValueCount(const CTavValue& value);

// Sends, publishes and clears the buffer manager's pending changes.
void TavCommitPending(CTavBufferManager& buffers);

// Each returns true when it wrote (and committed), false when the value already held it.
bool TavSetValueIndex(CTavBufferManager& buffers, CTavValue& value, int32_t index);
bool TavSetValueInteger(CTavBufferManager& buffers, CTavValue& value, int32_t raw);
bool TavSetValueText(CTavBufferManager& buffers, CTavValue& value, const std::string& text);
bool TavSetValueList(CTavBufferManager& buffers, CTavValue& value, const std::vector<int32_t>& list);

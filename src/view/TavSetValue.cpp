#include "view/TavSetValue.h"

#include <cstdint>

#include "model/CTavBufferManager.h"
#include "model/CTavValue.h"
#include "script/CTavTable.h"

int32_t TavValueCount(const CTavValue& value) {
    const CTavValueSpec& spec = value.Spec();
    if (spec.numberTable)
        return spec.numberTable->Count();
    // A range over all of 32 bits holds one value more than an int32_t can count.
    const int64_t count = int64_t{spec.maximum} - spec.minimum + 1;
    return count > INT32_MAX ? INT32_MAX : static_cast<int32_t>(count);
}

void TavCommitPending(CTavBufferManager& buffers) {
    buffers.TransmitPending();
    buffers.PublishPending();
    buffers.ClearPending();
}

bool TavSetValueIndex(CTavBufferManager& buffers, CTavValue& value, int32_t index) {
    if (value.GetPosition() == index)
        return false;
    buffers.WriteIntegerByPosition(value, index);
    TavCommitPending(buffers);
    return true;
}

bool TavSetValueInteger(CTavBufferManager& buffers, CTavValue& value, int32_t raw) {
    if (value.GetRaw() == raw)
        return false;
    buffers.WriteInteger(value, raw);
    TavCommitPending(buffers);
    return true;
}

bool TavSetValueText(CTavBufferManager& buffers, CTavValue& value, const std::string& text) {
    if (value.GetText() == text)
        return false;
    buffers.WriteText(value, text);
    TavCommitPending(buffers);
    return true;
}

bool TavSetValueList(CTavBufferManager& buffers, CTavValue& value, const std::vector<int32_t>& list) {
    if (value.GetList() == list)
        return false;
    buffers.WriteList(value, list);
    TavCommitPending(buffers);
    return true;
}

#include "model/CTavBuffer.h"

#include "model/CTavStruct.h"

std::string CTavBuffer::FullPath() const {
    // Sized first and filled from the end: one string, not one per level.
    size_t length = Name().size();
    for (const CTavStruct* ancestor = Parent(); ancestor; ancestor = ancestor->Parent())
        length += ancestor->Name().size() + 1;
    std::string path(length, '.');
    size_t end = length;
    const auto put = [&](const std::string& name) {
        end -= name.size();
        name.copy(path.data() + end, name.size());
    };
    put(Name());
    for (const CTavStruct* ancestor = Parent(); ancestor; ancestor = ancestor->Parent()) {
        --end; // the dot
        put(ancestor->Name());
    }
    return path;
}

TavRange CTavBuffer::AbsoluteRange() const {
    TavRange range = Range();
    for (const CTavStruct* ancestor = Parent(); ancestor; ancestor = ancestor->Parent()) {
        range.begin += ancestor->Range().begin;
        range.end += ancestor->Range().begin;
    }
    return range;
}

const CTavStruct* CTavBuffer::Root() const { return const_cast<CTavBuffer*>(this)->Root(); }

CTavStruct* CTavBuffer::Root() {
    CTavStruct* top = Parent();
    if (!top)
        return IsValue() ? nullptr : static_cast<CTavStruct*>(this);
    while (top->Parent())
        top = top->Parent();
    return top;
}

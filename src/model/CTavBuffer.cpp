#include "model/CTavBuffer.h"

#include "model/CTavStruct.h"

std::string CTavBuffer::FullPath() const {
    std::string path = Name();
    for (const CTavStruct* ancestor = Parent(); ancestor; ancestor = ancestor->Parent())
        path = ancestor->Name() + "." + path;
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

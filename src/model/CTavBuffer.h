#pragma once
// The common base of structs and values: a named object with an address range relative
// to its parent. Root structs have absolute ranges.

#include <string>

#include "model/TavAddress.h"

class CTavStruct;
class CTavRootStruct;
class CTavTextOut;

class CTavBuffer {
public:
    virtual ~CTavBuffer() = default;

    virtual const std::string& Name() const = 0;
    virtual TavRange Range() const = 0;
    virtual CTavStruct* Parent() const = 0;
    virtual bool IsValue() const { return false; }

    // Names from the root down joined by dots ("qv.prti.part[3].partLevel").
    std::string FullPath() const;
    // The range in the device's memory: the begins of every ancestor added.
    TavRange AbsoluteRange() const;
    // The top-most ancestor, or this object when it is a root struct.
    const CTavStruct* Root() const;
    CTavStruct* Root();
};

#pragma once
// Registry of the device functions that buttons call by name.

class CTavFunctionManager {
public:
    // Forgets every registered function.
    void Clear() {}
};

// Runs queued device functions later on the GUI thread.
class ITavFunctionPostCaller {
public:
    virtual ~ITavFunctionPostCaller() = default;
};

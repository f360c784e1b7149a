#pragma once
// A progress indicator for long operations: started with a number of steps, advanced one
// step at a time, and closed at the end.

class ITavProgress {
public:
    virtual ~ITavProgress() = default;
    virtual void Start(int steps) = 0;
    virtual void Step() = 0;
    virtual void Finish() = 0;
    // The message code of the text shown with the next Start (see TavStrings.h).
    virtual void SetMessageCode(int) {}
};

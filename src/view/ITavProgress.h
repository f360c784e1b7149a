#pragma once
// A progress indicator for long operations: started with a number of steps, advanced one
// step at a time (or set to a position), and closed at the end. Begins nest: only the
// outermost one opens the indicator and only the outermost end closes it.

#include <string>

class ITavProgress {
public:
    // Message codes for the indicator's text.
    enum Message : int {
        kNoMessage = 0,
        kGettingData = 1,
        kSynchronizing = 2,
        kUpdating = 4,
        kReadingSmf = 6
    };

    virtual ~ITavProgress() = default;
    // Begin without a text and without cancelling.
    virtual void Start(int steps) = 0;
    virtual void Step() = 0;
    virtual void Finish() = 0;

    // Begin with the text of a message code; cancelAllowed shows a Cancel button.
    virtual void Begin(int steps, int code, bool cancelAllowed) {
        (void)code;
        (void)cancelAllowed;
        Start(steps);
    }
    virtual void BeginText(int steps, const std::string& text, bool cancelAllowed) {
        (void)text;
        (void)cancelAllowed;
        Start(steps);
    }
    virtual void SetMessage(int) {}
    virtual void SetText(const std::string&) {}
    virtual void SetPosition(int) {}
    // Whether the user asked to cancel the operation.
    virtual bool Cancelled() { return false; }
};

// Keeps a progress indicator open for a scope, so every way out of an operation closes it
// (and gives the owner window back). Without an indicator it does nothing.
class CTavProgressScope {
public:
    CTavProgressScope(ITavProgress* progress, int steps, int code, bool cancelAllowed = false)
        : m_progress(progress) {
        if (m_progress)
            m_progress->Begin(steps, code, cancelAllowed);
    }
    ~CTavProgressScope() {
        if (m_progress)
            m_progress->Finish();
    }
    CTavProgressScope(const CTavProgressScope&) = delete;
    CTavProgressScope& operator=(const CTavProgressScope&) = delete;

    void Step() {
        if (m_progress)
            m_progress->Step();
    }
    bool Cancelled() { return m_progress && m_progress->Cancelled(); }

private:
    ITavProgress* m_progress;
};

#pragma once
// Text outputs: every diagnostic, error report and user question of the editor passes
// through a CTavTextOut. The root object keeps four of them in fixed slots (message box,
// buffer, error and clipboard output); each class decides what to do with the text.
// Outputs are used on the GUI thread only and hold no locks.

#include <atomic>
#include <string>
#include <string_view>

class CTavTextOut {
public:
    CTavTextOut() = default;
    virtual ~CTavTextOut();
    CTavTextOut(const CTavTextOut&) = delete;
    CTavTextOut& operator=(const CTavTextOut&) = delete;

    // Reports a message code (see TavStrings.h). The base ignores it.
    virtual void Report(int code);
    // Writes text, putting the indentation at the start of every line, and hands the
    // result to Output. The at-line-start state carries over between calls.
    void Write(std::string_view text);
    // printf-style formatting. Messages of any length are formatted whole.
    void Printf(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // Adds delta blanks to the indentation; a negative delta removes, never below empty.
    void Indent(int delta);
    // Asks the user a question. buttons: 0 OK, 1 OK/Cancel, 2 Yes/No, 3 Yes/No/Cancel.
    // icon: 0 question, 1 exclamation, 2 stop, other none. Answer: 1 Cancel, 2 Yes, 3 No,
    // 0 anything else. The base answers 0.
    virtual int Ask(int buttons, int code, int icon);
    virtual int Query(int a, int b, int c);

    const std::string& IndentText() const { return m_indent; }

protected:
    // Receives finished text. The base drops it.
    virtual void Output(const std::string& text);

private:
    std::string m_indent;
    bool m_atLineStart = true;
};

// Remembers the last reported code until the idle pass shows and clears it.
class CTavTextOutBuffer : public CTavTextOut {
public:
    void Report(int code) override { m_pendingCode.store(code, std::memory_order_relaxed); }
    int PendingCode() const { return m_pendingCode.load(std::memory_order_relaxed); }
    const std::string& LastText() const { return m_lastText; }

protected:
    void Output(const std::string& text) override { m_lastText = text; }

private:
    std::atomic<int> m_pendingCode{0};
    std::string m_lastText;
};

// Collects everything written into one text; the error output during start-up.
class CTavTextOutStringStream : public CTavTextOut {
public:
    const std::string& Text() const { return m_text; }
    void Clear() { m_text.clear(); }

protected:
    void Output(const std::string& text) override { m_text += text; }

private:
    std::string m_text;
};

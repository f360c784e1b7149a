#include "app/CTavTextOut.h"

#include <cstdarg>
#include <cstdio>

CTavTextOut::~CTavTextOut() = default;

void CTavTextOut::Report(int) {}

int CTavTextOut::Ask(int, int, int) {
    return 0;
}

int CTavTextOut::Query(int, int, int) {
    return 0;
}

void CTavTextOut::Output(const std::string&) {}

void CTavTextOut::Write(std::string_view text) {
    std::string result;
    result.reserve((m_indent.size() + 1) * text.size());
    for (char c : text) {
        if (m_atLineStart)
            result += m_indent;
        result += c;
        m_atLineStart = (c == '\n');
    }
    Output(result);
}

void CTavTextOut::Printf(const char* format, ...) {
    // Most messages fit the stack buffer; longer ones are formatted again into a text of
    // their exact length, so nothing is ever cut or written past a buffer.
    char buffer[512];
    va_list args;
    va_start(args, format);
    va_list retry;
    va_copy(retry, args);
    const int length = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (length < 0) {
        va_end(retry);
        return;
    }
    if (static_cast<size_t>(length) < sizeof buffer) {
        va_end(retry);
        Write(std::string_view(buffer, static_cast<size_t>(length)));
        return;
    }
    std::string text(static_cast<size_t>(length), '\0');
    std::vsnprintf(text.data(), text.size() + 1, format, retry);
    va_end(retry);
    Write(text);
}

void CTavTextOut::Indent(int delta) {
    const long length = static_cast<long>(m_indent.size()) + delta;
    m_indent.assign(length > 0 ? static_cast<size_t>(length) : 0, ' ');
}

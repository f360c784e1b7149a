#include "script/CTavTagReader.h"

namespace {

bool StartsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

bool EndsWith(std::string_view s, std::string_view suffix) {
    return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

} // namespace

bool CTavTagReader::CollectUntilClose(std::string& out) {
    const size_t close = m_text.find('>', m_pos);
    if (close == std::string_view::npos) {
        out.append(m_text.substr(m_pos));
        m_pos = m_text.size();
        return false;
    }
    out.append(m_text.substr(m_pos, close - m_pos));
    m_pos = close + 1;
    return true;
}

std::string CTavTagReader::NextTag() {
    std::string tag;
    NextTag(tag);
    return tag;
}

bool CTavTagReader::NextTag(std::string& tag) {
    for (;;) {
        if (AtEnd())
            return false;
        const size_t open = m_text.find('<', m_pos);
        if (open == std::string_view::npos) {
            m_pos = m_text.size();
            return false;
        }
        m_pos = open + 1;
        std::string collected;
        bool closed = CollectUntilClose(collected);
        if (StartsWith(collected, "!--")) {
            // A comment may hold '>' characters: it ends only at a '>' preceded by "--".
            while (closed && !EndsWith(collected, "--")) {
                collected += '>';
                closed = CollectUntilClose(collected);
            }
            if (closed)
                continue;
        }
        m_tag = collected;
        tag = std::move(collected);
        return true;
    }
}

std::string CTavTagReader::ElementText() {
    const std::string openTag = "<" + m_tag + ">";
    const std::string closeTag = "</" + m_tag + ">";
    int depth = 0;
    std::string result;
    while (!AtEnd()) {
        const size_t open = m_text.find('<', m_pos);
        if (open == std::string_view::npos) {
            result.append(m_text.substr(m_pos));
            m_pos = m_text.size();
            break;
        }
        result.append(m_text.substr(m_pos, open - m_pos));
        m_pos = open;
        std::string tag;
        bool closed = CollectUntilClose(tag);
        if (closed)
            tag += '>';
        if (StartsWith(tag, "<!--")) {
            while (closed && !EndsWith(tag, "-->")) {
                closed = CollectUntilClose(tag);
                if (closed)
                    tag += '>';
            }
            continue;
        }
        if (tag == closeTag) {
            if (depth == 0)
                break;
            --depth;
        } else if (tag == openTag) {
            ++depth;
        }
        result += tag;
    }
    return result;
}

#pragma once
// The editor script's own small tag reader. It walks a byte string (the script is
// Shift_JIS text and is never decoded here) and returns tag texts and raw element
// contents. There is no attribute parsing and no entity decoding at this level.

#include <string>
#include <string_view>

class CTavTagReader {
public:
    // The reader borrows the text: it must outlive the reader.
    explicit CTavTagReader(std::string_view text) : m_text(text) {}

    // Reads the next tag text (between '<' and '>'), skipping comments and any text before
    // the tag; false at the end of the input. An empty tag ("<>") is a tag like any other.
    bool NextTag(std::string& tag);
    // The same, answering an empty text both at the end and for an empty tag.
    std::string NextTag();
    // Returns the raw content of the element whose start tag NextTag returned last and
    // consumes its end tag. Nested elements of the same name are balanced; comments are
    // removed; everything else is kept verbatim. A missing end tag takes the rest.
    std::string ElementText();

    const std::string& CurrentTag() const { return m_tag; }
    bool AtEnd() const { return m_pos >= m_text.size(); }

private:
    // Appends bytes up to the next '>' (not included) to out and consumes the '>';
    // returns false when the input ended first.
    bool CollectUntilClose(std::string& out);

    std::string_view m_text;
    size_t m_pos = 0;
    std::string m_tag;
};

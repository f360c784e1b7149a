#pragma once
// Element definitions: script elements kept as text until the consuming subsystem
// converts them. An element is a type text plus an ordered list of (tag, text) items,
// one per child element, in file order with duplicates kept.

#include <string>
#include <string_view>
#include <list>
#include <utility>
#include <vector>

class CTavTextOut;

using TavItem = std::pair<std::string, std::string>;
// A list, so that converters can take the items they know out in any number without
// moving the rest each time.
using TavItems = std::list<TavItem>;

class CTavElementDefinition {
public:
    std::string type;
    TavItems items;

    // Reads the child elements of an element's text. A child "type" sets the type text
    // (a later one replaces an earlier one); every other child becomes an item.
    static CTavElementDefinition Parse(std::string_view text);

    // The text of the first item with this tag, or null.
    const std::string* Find(std::string_view tag) const;
};

// A structType or panelType element.
class CTavTypeDefinition {
public:
    std::string typeName;
    TavItems items;
    std::vector<CTavElementDefinition> childStructs; // children "struct" or "panel"
    std::vector<CTavElementDefinition> childValues;  // children "value" or "control"

    static CTavTypeDefinition Parse(std::string_view text);
};

// The first type definition with exactly this name (case-sensitive), or null; a later
// duplicate is never used.
const CTavTypeDefinition* TavFindTypeDefinition(const std::vector<CTavTypeDefinition>& list,
                                                std::string_view name);

// An element's text after macro resolution may not pass this (1 MiB).
constexpr size_t kTavMaxResolvedText = size_t{1} << 20;

// The work all macro resolutions of one build may do together: bytes scanned, written and
// compared. Nesting multiplies resolutions, so one bound for the whole build keeps a small
// hostile script from taking minutes.
struct TavMacroWork {
    size_t used = 0;
    size_t limit = size_t{1} << 28;
};

// Substitutes macro references in the template items: a '$' followed by the tag of an
// item of the definition is replaced by that item's text. The first item whose tag the
// text after '$' begins with wins. Inserted text is not scanned again. Fails when a '$'
// matches no item before any reference in the same text was replaced; after a
// replacement an unmatched '$' stays as it is. Also fails, with a line to errors, when the
// resolved items together pass kTavMaxResolvedText or work runs out; the items are then
// left partly resolved.
bool TavResolveMacros(const TavItems& definition, TavItems& templateItems, CTavTextOut* errors = nullptr,
                      TavMacroWork* work = nullptr);

// Takes the first "name" item out of items and answers its text; empty when there is none.
std::string TavTakeName(TavItems& items);

// A script text as a message shows it: cut to its first 400 bytes, NUL bytes written as
// "\0" so that the rest of the text is not lost.
std::string TavShownText(std::string_view text);

// Decodes "&quot;", "&amp;", "&apos;", "&lt;" and "&gt;", in that order, each over the
// whole text.
std::string TavDecodeEntities(std::string_view text);

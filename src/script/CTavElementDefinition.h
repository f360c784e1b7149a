#pragma once
// Element definitions: script elements kept as text until the consuming subsystem
// converts them. An element is a type text plus an ordered list of (tag, text) items,
// one per child element, in file order with duplicates kept.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

using TavItem = std::pair<std::string, std::string>;
using TavItems = std::vector<TavItem>;

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

// Substitutes macro references in the template items: a '$' followed by the tag of an
// item of the definition is replaced by that item's text. The first item whose tag the
// text after '$' begins with wins. Inserted text is not scanned again. Fails when a '$'
// matches no item before any reference in the same text was replaced; after a
// replacement an unmatched '$' stays as it is.
bool TavResolveMacros(const TavItems& definition, TavItems& templateItems);

// Takes the first "name" item out of items and answers its text; empty when there is none.
std::string TavTakeName(TavItems& items);

// Decodes "&quot;", "&amp;", "&apos;", "&lt;" and "&gt;", in that order, each over the
// whole text.
std::string TavDecodeEntities(std::string_view text);

// Builds the struct tree from struct types and struct definitions: macro resolution, array
// expansion, child structs and values, and the structs' own specs.

#include <algorithm>
#include <utility>

#include "app/CTavTextOut.h"
#include "model/CTavStruct.h"

namespace {

TavItem* FindItem(TavItems& items, std::string_view tag) {
    for (auto& item : items)
        if (item.first == tag)
            return &item;
    return nullptr;
}

void ReportLeftOver(CTavTextOut* errors, const char* prefix, const std::string& name, const TavItems& items) {
    if (!errors)
        return;
    errors->Printf(prefix, name.c_str());
    for (const auto& item : items)
        errors->Printf("%s, ", item.first.c_str());
    errors->Write("\n");
}

std::unique_ptr<CTavStruct> MakeStruct(int kind) {
    switch (kind) {
    case kTavRootStruct: return std::make_unique<CTavRootStruct>();
    case kTavNodeStruct: return std::make_unique<CTavNodeStruct>();
    default: return std::make_unique<CTavLeafStruct>();
    }
}

// Converts a struct's own spec from its type's items: name, address (default the running
// address) and size (default the size of its children).
bool ConvertStructSpec(const TavStructBuildContext& context, CTavStruct& structure, TavItems items,
                       int32_t runningAddress, int32_t defaultSize, const std::string& typeName) {
    CTavStructSpec spec;
    int32_t size = defaultSize;
    spec.begin = runningAddress;
    for (auto it = items.begin(); it != items.end();) {
        if (it->first == "name")
            spec.name = it->second;
        else if (it->first == "address")
            spec.begin = TavParseHexBytes(it->second);
        else if (it->first == "size")
            size = TavParseHexBytes(it->second);
        else {
            ++it;
            continue;
        }
        it = items.erase(it);
    }
    spec.end = spec.begin + size;
    if (!items.empty()) {
        ReportLeftOver(context.errors, "Struct type contains unknown tags. : %s : ", typeName, items);
        return false;
    }
    structure.SetSpec(context.specs.Intern(spec));
    return true;
}

int32_t EndOfLast(const TavStructList& list) { return list.empty() ? 0 : list.back()->Range().end; }

} // namespace

bool TavBuildStruct(const TavStructBuildContext& context, int kind, const CTavElementDefinition& definition,
                    TavStructList& list, CTavStruct* parent, int32_t runningAddress) {
    CTavTextOut* errors = context.errors;
    auto fail = [errors](const char* format, const std::string& text) {
        if (errors)
            errors->Printf(format, text.c_str());
        return false;
    };

    const CTavTypeDefinition* found = TavFindTypeDefinition(context.types, definition.type);
    if (!found)
        return fail("Unable to find struct type definition. : %s\n", definition.type);
    std::unique_ptr<CTavStruct> structure = MakeStruct(kind);
    structure->SetParent(parent);
    CTavTypeDefinition type = *found;
    TavItems instance = definition.items;

    // An address item "$A" makes an array: every further item A of the instance is the
    // address of one more element.
    std::vector<std::string> arrayAddresses;
    if (const TavItem* address = FindItem(type.items, "address"); address && address->second.starts_with('$')) {
        const std::string parameter = address->second.substr(1);
        bool first = true;
        for (auto it = instance.begin(); it != instance.end();) {
            if (it->first == parameter && !std::exchange(first, false)) {
                arrayAddresses.push_back(std::move(it->second));
                it = instance.erase(it);
            } else {
                ++it;
            }
        }
    }

    if (!TavResolveMacros(instance, type.items))
        return fail("Unable to resolve macros. : %s\n", definition.type);
    std::string resolvedName;
    if (TavItem* name = FindItem(type.items, "name")) {
        resolvedName = name->second;
        if (!arrayAddresses.empty())
            name->second += "[0]";
    }

    // Child structs: leaves when their type has values, nodes otherwise.
    for (const CTavElementDefinition& child : type.childStructs) {
        CTavElementDefinition childDefinition = child;
        if (!TavResolveMacros(instance, childDefinition.items))
            return fail("Unable to resolve macros. : %s\n", definition.type);
        const CTavTypeDefinition* childType = TavFindTypeDefinition(context.types, child.type);
        if (!childType)
            return fail("Unable to find child struct type definition : %s\n", child.type);
        TavStructList* children = structure->ChildStructs();
        if (!children)
            return fail("Struct type has both structs and values. : %s\n", type.typeName);
        const int childKind = childType->childValues.empty() ? kTavNodeStruct : kTavLeafStruct;
        if (!TavBuildStruct(context, childKind, childDefinition, *children, structure.get(), EndOfLast(*children)))
            return fail("Unable to convert child struct definition : %s\n", child.type);
    }

    // Child values, packed after one another unless they give an address.
    int32_t valueAddress = 0;
    for (const CTavElementDefinition& valueDefinition : type.childValues) {
        TavItems resolved = valueDefinition.items;
        if (!TavResolveMacros(instance, resolved))
            return fail("Unable to resolve macros. : %s\n", definition.type);
        std::vector<CTavValue>* values = structure->ChildValues();
        if (!values)
            return fail("Root struct or node struct can not have child values. : %s\n", type.typeName);
        CTavValueSpec spec;
        if (!TavConvertValueSpec(resolved, valueDefinition.type, valueAddress, context.resources, errors, spec))
            return fail("Unable to convert child values from element definitions. : %s\n", valueDefinition.type);
        if (!resolved.empty()) {
            ReportLeftOver(errors, "Value type contains unknown tags. : %s : ", valueDefinition.type, resolved);
            return false;
        }
        values->emplace_back(context.specs.Intern(spec));
        valueAddress = spec.end;
    }

    int32_t defaultSize = 0;
    if (const std::vector<CTavValue>* values = structure->ChildValues())
        for (const CTavValue& value : *values)
            defaultSize = std::max(defaultSize, value.Range().end);
    if (const TavStructList* children = structure->ChildStructs())
        for (const auto& child : *children)
            defaultSize = std::max(defaultSize, child->Range().end);

    if (!ConvertStructSpec(context, *structure, type.items, runningAddress, defaultSize, type.typeName))
        return false;
    const CTavStruct& first = *structure;
    list.push_back(std::move(structure));

    for (size_t j = 0; j < arrayAddresses.size(); ++j) {
        std::unique_ptr<CTavStruct> element = first.Clone();
        TavItems items = type.items;
        if (TavItem* name = FindItem(items, "name"))
            name->second = resolvedName + "[" + std::to_string(j + 1) + "]";
        if (TavItem* address = FindItem(items, "address"))
            address->second = arrayAddresses[j];
        if (!ConvertStructSpec(context, *element, items, 0, defaultSize, type.typeName))
            return false;
        list.push_back(std::move(element));
    }
    return true;
}

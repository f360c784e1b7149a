// Builds the struct tree from struct types and struct definitions: macro resolution, array
// expansion, child structs and values, and the structs' own specs.

#include <algorithm>
#include <climits>
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
    const int64_t end = int64_t{spec.begin} + size;
    if (spec.begin < 0 || size < 0 || end > INT32_MAX) {
        if (context.errors)
            context.errors->Printf("Struct address range is invalid. : %s\n", typeName.c_str());
        return false;
    }
    spec.end = static_cast<int32_t>(end);
    if (!items.empty()) {
        ReportLeftOver(context.errors, "Struct type contains unknown tags. : %s : ", typeName, items);
        return false;
    }
    structure.SetSpec(context.specs.Intern(spec));
    return true;
}

int32_t EndOfLast(const TavStructList& list) { return list.empty() ? 0 : list.back()->Range().end; }

// Marks a type as being built for as long as it lives.
class CBuildingType {
public:
    CBuildingType(TavStructBuildBudget& budget, const CTavTypeDefinition* type) : m_budget(budget) {
        m_budget.building.push_back(type);
    }
    ~CBuildingType() { m_budget.building.pop_back(); }
    CBuildingType(const CBuildingType&) = delete;
    CBuildingType& operator=(const CBuildingType&) = delete;

private:
    TavStructBuildBudget& m_budget;
};

// Counts buffers and leaf bytes against the build's limits; false with the message.
bool Spend(const TavStructBuildContext& context, size_t buffers, size_t bytes, const std::string& typeName) {
    TavStructBuildBudget& budget = context.budget;
    budget.buffers += buffers;
    budget.bytes += bytes;
    if (budget.buffers > kTavMaxModelBuffers) {
        if (context.errors)
            context.errors->Printf("Unable to build more than %zu structs and values. : %s\n", kTavMaxModelBuffers,
                                   typeName.c_str());
        return false;
    }
    if (budget.bytes > kTavMaxModelBytes) {
        if (context.errors)
            context.errors->Printf("Unable to build more than %zu bytes of structs. : %s\n", kTavMaxModelBytes,
                                   typeName.c_str());
        return false;
    }
    return true;
}

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
    // A type that holds itself, directly or through others, would never end.
    TavStructBuildBudget& budget = context.budget;
    if (std::find(budget.building.begin(), budget.building.end(), found) != budget.building.end())
        return fail("Unable to build struct type that contains itself. : %s\n", found->typeName);
    if (budget.building.size() >= kTavMaxStructDepth)
        return fail("Unable to nest struct types this deep. : %s\n", found->typeName);
    const CBuildingType building(budget, found);
    const CTavTypeDefinition& type = *found;
    const size_t buffersBefore = budget.buffers;
    const size_t bytesBefore = budget.bytes;
    if (!Spend(context, 1, 0, type.typeName))
        return false;
    std::unique_ptr<CTavStruct> structure = MakeStruct(kind);
    structure->SetParent(parent);
    TavItems typeItems = type.items;

    // An address item "$A" makes an array: every further item A of the instance is the
    // address of one more element, and the macros see only the first.
    std::vector<std::string> arrayAddresses;
    TavItems arrayInstance;
    if (const TavItem* address = FindItem(typeItems, "address"); address && address->second.starts_with('$')) {
        const std::string_view parameter = std::string_view(address->second).substr(1);
        bool first = true;
        for (const TavItem& item : definition.items) {
            if (item.first == parameter && !std::exchange(first, false))
                arrayAddresses.push_back(item.second);
            else
                arrayInstance.push_back(item);
        }
    }
    const TavItems& instance = arrayAddresses.empty() ? definition.items : arrayInstance;

    if (!TavResolveMacros(instance, typeItems, errors, &budget.macros))
        return fail("Unable to resolve macros. : %s\n", definition.type);
    std::string resolvedName;
    if (TavItem* name = FindItem(typeItems, "name")) {
        resolvedName = name->second;
        if (!arrayAddresses.empty())
            name->second += "[0]";
    }

    // Child structs: leaves when their type has values, nodes otherwise.
    for (const CTavElementDefinition& child : type.childStructs) {
        CTavElementDefinition childDefinition = child;
        if (!TavResolveMacros(instance, childDefinition.items, errors, &budget.macros))
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
        if (!TavResolveMacros(instance, resolved, errors, &budget.macros))
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
        if (spec.type == kTavString && spec.end - spec.begin > kTavMaxLeafBytes)
            return fail("String value is larger than 1 MiB. : %s\n", spec.name);
        if (!Spend(context, 1, 0, type.typeName))
            return false;
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

    if (!ConvertStructSpec(context, *structure, typeItems, runningAddress, defaultSize, type.typeName))
        return false;
    if (structure->Bytes()) {
        const int32_t length = structure->Range().Length();
        if (length > kTavMaxLeafBytes)
            return fail("Leaf struct is larger than 1 MiB. : %s\n", type.typeName);
        if (!Spend(context, 0, static_cast<size_t>(std::max(length, 0)), type.typeName))
            return false;
    }
    const CTavStruct& first = *structure;
    list.push_back(std::move(structure));

    // Every element of the array is a copy of the first with all that lies below it.
    const size_t elementBuffers = budget.buffers - buffersBefore;
    const size_t elementBytes = budget.bytes - bytesBefore;
    for (size_t j = 0; j < arrayAddresses.size(); ++j) {
        if (!Spend(context, elementBuffers, elementBytes, type.typeName))
            return false;
        std::unique_ptr<CTavStruct> element = first.Clone();
        TavItems items = typeItems;
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

#include "script/CTavElementDefinition.h"

#include "script/CTavTagReader.h"

CTavElementDefinition CTavElementDefinition::Parse(std::string_view text) {
    CTavElementDefinition definition;
    CTavTagReader reader(text);
    for (std::string tag = reader.NextTag(); !tag.empty(); tag = reader.NextTag()) {
        std::string content = reader.ElementText();
        if (tag == "type")
            definition.type = std::move(content);
        else
            definition.items.emplace_back(std::move(tag), std::move(content));
    }
    return definition;
}

const std::string* CTavElementDefinition::Find(std::string_view tag) const {
    for (const auto& [itemTag, text] : items)
        if (itemTag == tag)
            return &text;
    return nullptr;
}

CTavTypeDefinition CTavTypeDefinition::Parse(std::string_view text) {
    CTavTypeDefinition definition;
    CTavTagReader reader(text);
    for (std::string tag = reader.NextTag(); !tag.empty(); tag = reader.NextTag()) {
        std::string content = reader.ElementText();
        if (tag == "type")
            definition.typeName = std::move(content);
        else if (tag == "struct" || tag == "panel")
            definition.childStructs.push_back(CTavElementDefinition::Parse(content));
        else if (tag == "value" || tag == "control")
            definition.childValues.push_back(CTavElementDefinition::Parse(content));
        else
            definition.items.emplace_back(std::move(tag), std::move(content));
    }
    return definition;
}

const CTavTypeDefinition* TavFindTypeDefinition(const std::vector<CTavTypeDefinition>& list,
                                                std::string_view name) {
    for (const auto& definition : list)
        if (definition.typeName == name)
            return &definition;
    return nullptr;
}

namespace {

bool ResolveText(const TavItems& definition, std::string& text) {
    bool replaced = false;
    size_t pos = 0;
    while ((pos = text.find('$', pos)) != std::string::npos) {
        const std::string_view rest = std::string_view(text).substr(pos + 1);
        const TavItem* match = nullptr;
        for (const auto& item : definition) {
            if (rest.substr(0, item.first.size()) == item.first) {
                match = &item;
                break;
            }
        }
        if (!match) {
            if (!replaced)
                return false;
            ++pos;
            continue;
        }
        text.replace(pos, match->first.size() + 1, match->second);
        pos += match->second.size();
        replaced = true;
    }
    return true;
}

void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
    size_t pos = 0;
    while ((pos = text.find(from, pos)) != std::string::npos) {
        text.replace(pos, from.size(), to);
        pos += to.size();
    }
}

} // namespace

bool TavResolveMacros(const TavItems& definition, TavItems& templateItems) {
    for (auto& item : templateItems)
        if (!ResolveText(definition, item.second))
            return false;
    return true;
}

std::string TavDecodeEntities(std::string_view text) {
    std::string result(text);
    ReplaceAll(result, "&quot;", "\"");
    ReplaceAll(result, "&amp;", "&");
    ReplaceAll(result, "&apos;", "'");
    ReplaceAll(result, "&lt;", "<");
    ReplaceAll(result, "&gt;", ">");
    return result;
}

std::string TavTakeName(TavItems& items) {
    for (auto it = items.begin(); it != items.end(); ++it) {
        if (it->first == "name") {
            std::string name = std::move(it->second);
            items.erase(it);
            return name;
        }
    }
    return std::string();
}

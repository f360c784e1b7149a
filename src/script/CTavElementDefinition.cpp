#include "script/CTavElementDefinition.h"

#include <algorithm>

#include "app/CTavTextOut.h"
#include "script/CTavTagReader.h"

CTavElementDefinition CTavElementDefinition::Parse(std::string_view text) {
    CTavElementDefinition definition;
    CTavTagReader reader(text);
    for (std::string tag; reader.NextTag(tag);) {
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
    for (std::string tag; reader.NextTag(tag);) {
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

// Resolves one text into out, appending; false when a '$' matches nothing before any
// replacement. work is charged for every byte scanned, compared and written.
bool ResolveText(const TavItems& definition, std::string_view text, std::string& out, size_t& work,
                 size_t workLimit) {
    bool replaced = false;
    size_t pos = 0;
    for (;;) {
        // Stop early once the work runs out; the caller reports it.
        if (work > workLimit)
            return true;
        const size_t dollar = text.find('$', pos);
        const size_t end = dollar == std::string_view::npos ? text.size() : dollar;
        out.append(text.substr(pos, end - pos));
        work += end - pos;
        if (dollar == std::string_view::npos)
            return true;
        const std::string_view rest = text.substr(dollar + 1);
        const TavItem* match = nullptr;
        for (const auto& item : definition) {
            work += 1 + std::min(item.first.size(), rest.size());
            if (rest.substr(0, item.first.size()) == item.first) {
                match = &item;
                break;
            }
        }
        if (!match) {
            if (!replaced)
                return false;
            out += '$';
            pos = dollar + 1;
            continue;
        }
        out.append(match->second);
        work += match->second.size();
        pos = dollar + 1 + match->first.size();
        replaced = true;
        // Stop early once the text is too long; the caller reports it.
        if (out.size() > kTavMaxResolvedText)
            return true;
    }
}

constexpr std::pair<std::string_view, char> kEntities[] = {
    {"&quot;", '"'}, {"&amp;", '&'}, {"&apos;", '\''}, {"&lt;", '<'}, {"&gt;", '>'}};

// Replaces every occurrence of one entity in a single pass.
std::string ReplaceAll(std::string_view text, std::string_view from, char to) {
    std::string result;
    result.reserve(text.size());
    size_t pos = 0;
    for (size_t found; (found = text.find(from, pos)) != std::string_view::npos; pos = found + from.size()) {
        result.append(text.substr(pos, found - pos));
        result += to;
    }
    result.append(text.substr(pos));
    return result;
}

} // namespace

bool TavResolveMacros(const TavItems& definition, TavItems& templateItems, CTavTextOut* errors,
                      TavMacroWork* work) {
    TavMacroWork local;
    TavMacroWork& budget = work ? *work : local;
    size_t total = 0;
    std::string resolved;
    for (auto& item : templateItems) {
        if (item.second.find('$') == std::string::npos) {
            total += item.second.size();
            budget.used += item.second.size();
        } else {
            resolved.clear();
            if (!ResolveText(definition, item.second, resolved, budget.used, budget.limit))
                return false;
            total += resolved.size();
            item.second.swap(resolved);
        }
        if (total > kTavMaxResolvedText) {
            if (errors)
                errors->Printf("Resolved text is longer than %zu bytes. : %s\n", kTavMaxResolvedText,
                               TavShownText(item.first).c_str());
            return false;
        }
        if (budget.used > budget.limit) {
            if (errors)
                errors->Printf("Macro resolution takes more than %zu steps. : %s\n", budget.limit,
                               TavShownText(item.first).c_str());
            return false;
        }
    }
    return true;
}

std::string TavDecodeEntities(std::string_view text) {
    // One pass per entity in this order, so "&amp;lt;" ends as '<' as the script expects.
    std::string result(text);
    for (const auto& [entity, character] : kEntities)
        if (result.find('&') != std::string::npos)
            result = ReplaceAll(result, entity, character);
    return result;
}

std::string TavShownText(std::string_view text) {
    constexpr size_t kShownLength = 400;
    std::string shown;
    for (char c : text.substr(0, kShownLength)) {
        if (c == '\0')
            shown += "\\0";
        else
            shown += c;
    }
    return shown;
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

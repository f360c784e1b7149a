#include "view/TavControlCoverage.h"

#include <algorithm>
#include <cctype>
#include <functional>
#include <optional>
#include <set>
#include <unordered_map>
#include <unordered_set>

#include "app/CTavTextOut.h"
#include "model/CTavBufferManager.h"
#include "model/CTavStruct.h"
#include "model/CTavValue.h"
#include "view/CTavPanel.h"
#include "view/CTavViewManager.h"
#include "view/TavExpression.h"

namespace {

// Index expressions over paths that themselves hold index expressions, this deep at most.
constexpr int kMaxNesting = 8;
// An index too open to list is tried from 0 up to the first the tree lacks, this far.
constexpr int32_t kMaxProbedIndex = 4096;

using Indexes = std::optional<std::set<int32_t>>;

std::vector<CTavValue*> Expand(CTavBufferManager& buffers, std::string_view path, int depth);

bool Exists(CTavBufferManager& buffers, const std::string& path) {
    return buffers.FindStruct(path) || buffers.FindValue(path);
}

// The integers a value path can hold: the ranges of the integer values it can resolve to;
// none when there are too many to list.
Indexes Domain(CTavBufferManager& buffers, const std::string& path, int depth) {
    std::set<int32_t> domain;
    for (const CTavValue* value : Expand(buffers, path, depth + 1)) {
        if (value->Kind() != kTavKindInteger)
            continue;
        const CTavValueSpec& spec = value->Spec();
        if (int64_t{spec.maximum} - spec.minimum >= static_cast<int64_t>(kTavMaxIndexCombinations))
            return std::nullopt;
        for (int64_t raw = spec.minimum; raw <= spec.maximum; ++raw)
            domain.insert(static_cast<int32_t>(raw));
        if (domain.size() > kTavMaxIndexCombinations)
            return std::nullopt;
    }
    return domain;
}

// Every result the expression can give over the ranges of the values it reads; none when
// the combinations are too many to try.
Indexes Results(CTavBufferManager& buffers, std::string_view text, int depth) {
    CTavExpression expression;
    if (!expression.Parse(text))
        return std::set<int32_t>();
    std::vector<std::string> paths;
    for (const std::string& token : expression.Tokens())
        if (std::isalpha(static_cast<unsigned char>(token[0])) &&
            std::find(paths.begin(), paths.end(), token) == paths.end())
            paths.push_back(token);
    std::vector<std::vector<int32_t>> domains;
    size_t combinations = 1;
    for (const std::string& path : paths) {
        const Indexes domain = Domain(buffers, path, depth);
        if (!domain)
            return std::nullopt;
        domains.emplace_back(domain->begin(), domain->end());
        combinations *= domains.back().size();
        if (combinations == 0)
            return std::set<int32_t>();
        if (combinations > kTavMaxIndexCombinations)
            return std::nullopt;
    }
    // Counts through every combination, the last path fastest.
    std::vector<size_t> at(paths.size(), 0);
    const CTavExpression::PathReader read = [&](const std::string& path, int32_t& raw) {
        const size_t index = static_cast<size_t>(std::find(paths.begin(), paths.end(), path) - paths.begin());
        if (index >= paths.size())
            return false;
        raw = domains[index][at[index]];
        return true;
    };
    std::set<int32_t> results;
    for (size_t done = 0; done < combinations; ++done) {
        int32_t result = 0;
        if (expression.Evaluate(read, result))
            results.insert(result);
        for (size_t i = at.size(); i-- > 0;) {
            if (++at[i] < domains[i].size())
                break;
            at[i] = 0;
        }
    }
    return results;
}

std::vector<CTavValue*> Expand(CTavBufferManager& buffers, std::string_view path, int depth) {
    if (depth > kMaxNesting)
        return {};
    std::vector<std::string> prefixes{std::string()};
    size_t copied = 0;
    for (size_t open = path.find('['); open != std::string_view::npos; open = path.find('[', copied)) {
        const size_t close = TavClosingBracket(path, open);
        if (close == std::string_view::npos)
            return {};
        const Indexes indexes = Results(buffers, path.substr(open + 1, close - open - 1), depth);
        const std::string_view before = path.substr(copied, open - copied);
        std::vector<std::string> next;
        for (const std::string& prefix : prefixes) {
            const std::string base = prefix + std::string(before) + "[";
            const auto add = [&](int32_t index) {
                std::string candidate = base + std::to_string(index) + "]";
                if (!Exists(buffers, candidate))
                    return false;
                next.push_back(std::move(candidate));
                return true;
            };
            if (indexes) {
                for (const int32_t index : *indexes)
                    if (index >= 0)
                        add(index);
            } else {
                for (int32_t index = 0; index < kMaxProbedIndex && add(index); ++index) {
                }
            }
        }
        prefixes = std::move(next);
        copied = close + 1;
        if (prefixes.empty())
            return {};
    }
    const std::string_view tail = path.substr(std::min(copied, path.size()));
    std::vector<CTavValue*> values;
    for (const std::string& prefix : prefixes)
        if (CTavValue* value = buffers.FindValue(prefix + std::string(tail));
            value && std::find(values.begin(), values.end(), value) == values.end())
            values.push_back(value);
    return values;
}

} // namespace

bool TavConvertNoControlRules(const std::vector<CTavElementDefinition>& definitions,
                              std::vector<CTavNoControlRule>& rules, CTavTextOut* errors) {
    rules.clear();
    for (const CTavElementDefinition& definition : definitions) {
        CTavNoControlRule rule;
        size_t reasons = 0;
        for (const auto& [tag, text] : definition.items) {
            if (tag == "path") {
                rule.patterns.push_back(TavDecodeEntities(text));
            } else if (tag == "reason") {
                rule.reason = TavDecodeEntities(text);
                ++reasons;
            } else {
                if (errors)
                    errors->Printf("No control declaration unknown tags. : %s\n", TavShownText(tag).c_str());
                return false;
            }
        }
        if (rule.patterns.empty() || reasons != 1 || rule.reason.empty()) {
            if (errors)
                errors->Printf("No control declaration needs paths and one reason. : %s\n",
                               TavShownText(rule.patterns.empty() ? std::string() : rule.patterns.front()).c_str());
            return false;
        }
        rules.push_back(std::move(rule));
    }
    return true;
}

bool TavPathMatches(std::string_view pattern, std::string_view path) {
    // Greedy matching that goes back to the last star on a mismatch.
    size_t p = 0, s = 0;
    size_t star = std::string_view::npos, resume = 0;
    while (s < path.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = s;
        } else if (p < pattern.size() && pattern[p] == path[s]) {
            ++p;
            ++s;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            s = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

std::vector<CTavValue*> TavExpandValuePath(CTavBufferManager& buffers, std::string_view path) {
    return Expand(buffers, path, 0);
}

CTavControlCoverage TavMeasureControlCoverage(const CTavViewManager& views, CTavBufferManager& buffers,
                                              std::string_view rootName,
                                              const std::vector<CTavNoControlRule>& rules) {
    // Many controls share a path (the panels of one type): each is expanded once.
    std::unordered_map<std::string, std::vector<CTavValue*>> expanded;
    std::unordered_set<const CTavValue*> edited;
    const std::function<void(const CTavPanel&)> visit = [&](const CTavPanel& panel) {
        for (const auto& child : panel.ChildPanels())
            visit(*child);
        for (const auto& control : panel.Controls())
            for (const CTavValueRef& ref : control->ValueRefs()) {
                if (ref.readByExpression)
                    continue;
                auto found = expanded.find(ref.path);
                if (found == expanded.end())
                    found = expanded.emplace(ref.path, TavExpandValuePath(buffers, ref.path)).first;
                edited.insert(found->second.begin(), found->second.end());
            }
    };
    for (const auto& root : views.RootPanels())
        visit(*root);

    CTavControlCoverage coverage;
    CTavRootStruct* root = buffers.FindRoot(rootName);
    if (!root)
        return coverage;
    std::vector<std::vector<bool>> matched(rules.size());
    for (size_t i = 0; i < rules.size(); ++i)
        matched[i].assign(rules[i].patterns.size(), false);
    root->ForEachValue([&](CTavValue& value) {
        ++coverage.total;
        const std::string path = value.FullPath();
        const CTavNoControlRule* excusedBy = nullptr;
        for (size_t i = 0; i < rules.size(); ++i)
            for (size_t j = 0; j < rules[i].patterns.size(); ++j)
                if (TavPathMatches(rules[i].patterns[j], path)) {
                    matched[i][j] = true;
                    if (!excusedBy)
                        excusedBy = &rules[i];
                }
        if (edited.count(&value))
            ++coverage.covered;
        else if (excusedBy)
            coverage.excused.push_back({&value, excusedBy});
        else
            coverage.missing.push_back(&value);
    });
    for (size_t i = 0; i < rules.size(); ++i)
        for (size_t j = 0; j < rules[i].patterns.size(); ++j)
            if (!matched[i][j])
                coverage.unmatchedPatterns.push_back(rules[i].patterns[j]);
    return coverage;
}

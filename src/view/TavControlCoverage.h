#pragma once
// Which values of a root struct the panels let the user edit. A control edits a value when
// one of its value references can resolve to it: a bracketed index counts for every index
// its expression can give over the ranges of the values it reads. Values the script
// declares to have no control on purpose ("noControl" elements) are kept apart with their
// reason.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "script/CTavElementDefinition.h"

class CTavBufferManager;
class CTavTextOut;
class CTavValue;
class CTavViewManager;

// One "noControl" element: value path patterns ('*' stands for any run of characters)
// and why the values they match have no control.
struct CTavNoControlRule {
    std::vector<std::string> patterns;
    std::string reason;
};

// Converts the script's "noControl" elements: one or more "path" items and one "reason".
// False, with one line to errors, at the first element that has no path, not exactly one
// reason, or another item.
bool TavConvertNoControlRules(const std::vector<CTavElementDefinition>& definitions,
                              std::vector<CTavNoControlRule>& rules, CTavTextOut* errors);

// Whether the whole path matches the pattern; '*' matches any run, the empty one too.
bool TavPathMatches(std::string_view pattern, std::string_view path);

// Every value a value path written with bracketed index expressions can resolve to, in
// index order without repeats. An expression over values takes every combination of
// their ranges (up to kTavMaxIndexCombinations, beyond that every index the array has);
// indexes the tree does not hold are left out.
inline constexpr size_t kTavMaxIndexCombinations = size_t{1} << 16;
std::vector<CTavValue*> TavExpandValuePath(CTavBufferManager& buffers, std::string_view path);

struct CTavControlCoverage {
    struct CExcused {
        const CTavValue* value;
        const CTavNoControlRule* rule;
    };
    // The root's values, in tree order: without a control, and without one on purpose.
    std::vector<const CTavValue*> missing;
    std::vector<CExcused> excused;
    // Patterns of the rules that match no value of the root.
    std::vector<std::string> unmatchedPatterns;
    size_t covered = 0;
    size_t total = 0;
};

// The coverage of the root struct by the controls of every panel the view manager built.
// References that expressions registered (paths read inside brackets or by conditions) do
// not count; a value that has a control counts as covered even when a rule names it.
CTavControlCoverage TavMeasureControlCoverage(const CTavViewManager& views, CTavBufferManager& buffers,
                                              std::string_view rootName,
                                              const std::vector<CTavNoControlRule>& rules);

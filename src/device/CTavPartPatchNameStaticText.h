#pragma once
// The name of what a part plays: the catalog entry whose program ID is the part's bank
// select MSB, LSB and program number. The text follows those three values and the catalog
// (names read from the device, a write notification, the user names file); a click calls a
// device function, the part's patch list as a rule.

#include <cstdint>
#include <string>
#include <utility>

#include "view/CTavStaticTextControl.h"

class CTavEntityManager;
struct CTavEntityId;

namespace Brio {

class CTavPartPatchNameStaticText : public CTavStaticTextControl {
public:
    std::string_view GetKind() const override { return "quasarPartPatchNameStaticText"; }

    // The static text's attributes, then "msbValueRef", "lsbValueRef" and "pcValueRef"
    // (value references in that order after any "valueRef"), "function" and "arguments".
    bool Configure(TavItems& items) override;
    // All three values are required and must be integers.
    bool Associate(CTavPanel* parent) override;
    // The name for the current program ID from the catalog.
    void Refresh() override;
    // One line, or, when the rectangle is two of the text writer's lines high, two lines
    // for a name longer than about fits its width (TavSplitName).
    void Draw(CTavDrawInfo& info) override;
    // A press inside calls the function with the arguments (not a double click).
    bool OnMouse(const CTavMouseInfo& info) override;
    // With a function, Tab stops at the text, and Space or Return on it press it.
    bool OnKey(const CTavKeyInfo& info) override;
    bool TakesKeyboardFocus() const override { return !m_function.empty(); }
    const std::string& Function() const { return m_function; }
    // A catalog that changed since the last refresh refreshes and repaints the text.
    bool OnTimer(const CTavTimerInfo& info) override;

    const std::string& Name() const { return m_name; }

    // The catalog the names come from (TavControlCatalog): the device layer's unless one
    // is set (tests).
    static void SetCatalog(const CTavEntityManager* catalog);
    static const CTavEntityManager& Catalog();

private:
    std::string m_function;
    std::string m_arguments;
    int m_msbRef = -1;
    int m_lsbRef = -1;
    int m_pcRef = -1;
    std::string m_name;
    uint32_t m_generation = 0;
};

// What the part patch name text shows for a program ID: the catalog's name without its
// trailing blanks; an entry without a name as its area and number ("U:001", "C:128",
// "S:0001"); "---" for an ID no bank holds.
std::string TavPartPatchName(const CTavEntityManager& catalog, int32_t msb, int32_t lsb, int32_t pc);

// The two lines a name is drawn in: the name alone (second line empty) when it has at most
// 'fits' characters, otherwise broken at the blank nearest the middle, or in the middle
// when it has none.
std::pair<std::string, std::string> TavSplitName(const std::string& name, size_t fits);

} // namespace Brio

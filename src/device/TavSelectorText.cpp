#include "device/TavSelectorText.h"

#include <cstdio>

#include "entity/CTavEntityManager.h"

namespace Brio {

namespace {

// The number in the width of the format, then a blank and the name (or the dashes).
std::string Numbered(const char* format, int32_t number, const std::string& name) {
    char digits[24];
    std::snprintf(digits, sizeof digits, format, static_cast<int>(number));
    return std::string(digits) + " " + (name.empty() ? kTavNoEntryName : name);
}

CTavEntityId Entry(CTavEntityId bank, int32_t number) {
    bank.number = number;
    return bank;
}

} // namespace

TavWaveGroup TavWaveGroupOf(int32_t type, int32_t id) {
    if (type == 0 && id == 1)
        return TavWaveGroup::Internal;
    if (type == 3 && id == 2)
        return TavWaveGroup::UserSample;
    if (type == 3 && id == 3)
        return TavWaveGroup::CardSample;
    return TavWaveGroup::None;
}

CTavWaveGroupValues TavWaveGroupValuesOf(TavWaveGroup group) {
    switch (group) {
    case TavWaveGroup::Internal: return {0, 1};
    case TavWaveGroup::UserSample: return {3, 2};
    case TavWaveGroup::CardSample: return {3, 3};
    case TavWaveGroup::None: break;
    }
    return {-1, -1};
}

const char* TavWaveGroupText(TavWaveGroup group) {
    switch (group) {
    case TavWaveGroup::Internal: return "INTERNAL";
    case TavWaveGroup::UserSample: return "SAMP USER";
    case TavWaveGroup::CardSample: return "SAMP CARD";
    case TavWaveGroup::None: break;
    }
    return "---";
}

CTavEntityId TavWaveGroupBank(TavWaveGroup group) {
    switch (group) {
    case TavWaveGroup::Internal: return {TavEntityType::Wave, 2, 0, TavWildcard};
    case TavWaveGroup::UserSample: return {TavEntityType::Sample, 0, 0, TavWildcard};
    case TavWaveGroup::CardSample: return {TavEntityType::Sample, 1, 0, TavWildcard};
    case TavWaveGroup::None: break;
    }
    return CTavEntityId::Invalid();
}

std::string TavWaveIndexText(int32_t number, const std::string& name) {
    return Numbered("%04d", number, name);
}

std::string TavWaveIndexText(const CTavEntityManager& catalog, TavWaveGroup group, int32_t number) {
    const CTavEntityId bank = TavWaveGroupBank(group);
    if (bank.type < 0)
        return TavWaveIndexText(number, {});
    return TavWaveIndexText(number, catalog.InformationOf(Entry(bank, number)).Name());
}

std::string TavMfxText(int32_t type, const std::string& name) {
    return Numbered("%02d", type, name);
}

std::string TavMfxText(const CTavEntityManager& catalog, int32_t type) {
    return TavMfxText(type, catalog.InformationOf(Entry(kTavMfxBank, type)).Name());
}

} // namespace Brio

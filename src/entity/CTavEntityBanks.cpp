#include "entity/CTavEntityBanks.h"

namespace {

constexpr CTavEffectType kEffectTypes[kTavEffectTypeCount] = {
    {"THROUGH", 0},
    {"STEREO EQ", 1},
    {"SPECTRUM", 1},
    {"ENHANCER", 1},
    {"ISOLATOR", 1},
    {"LOW BOOST", 1},
    {"SUPER FILTER", 1},
    {"STEP FILTER", 1},
    {"AUTO WAH", 1},
    {"HUMANIZER", 1},
    {"PHASER", 2},
    {"STEREO PHASER", 2},
    {"STEP PHASER", 2},
    {"RING MODULATOR", 2},
    {"TREMOLO", 2},
    {"AUTO PAN", 2},
    {"ROTARY", 2},
    {"HEXA-CHORUS", 3},
    {"TREMOLO CHORUS", 3},
    {"SPACE-D", 3},
    {"STEREO CHORUS", 3},
    {"STEREO FLANGER", 3},
    {"STEP FLANGER", 3},
    {"OVERDRIVE", 4},
    {"DISTORTION", 4},
    {"GUITAR AMP SIM", 4},
    {"COMPRESSOR", 4},
    {"LIMITER", 4},
    {"SLICER", 4},
    {"GATE", 4},
    {"LOFI NOISE", 6},
    {"LOFI COMPRESS", 6},
    {"LOFI RADIO", 6},
    {"TELEPHONE", 6},
    {"PHONOGRAPH", 6},
    {"TAPE ECHO", 6},
    {"FBK PITCH SHIFTER", 7},
    {"2Vo PITCH SHIFTER", 7},
    {"GATED REVERB", 8},
    {"STEREO DELAY", 5},
    {"MODULATION DELAY", 5},
    {"TRIPLE TAP DELAY", 5},
    {"QUADRUPLE TAP DELAY", 5},
    {"MULTI TAP DELAY", 5},
    {"REVERSE DELAY", 5},
    {"SHUFFLE DELAY", 5},
    {"TIME CONTROL DELAY", 5},
    {"TIME SKIP DELAY", 5},
};

using CSampleBank = CSequentialIntermittentBank<Brio::CTavSampleInformation, 65536>;
using CSamplePatchBank = CSequentialIntermittentBank<CCategoryInformation, 128>;
using CNameBank = CSequentialContinuousBank<CCategoryInformation, 128>;

} // namespace

const CTavEffectType* TavEffectTypes() {
    return kEffectTypes;
}

bool TavCreateFixedBanks(CTavEntityManager& manager, const std::vector<std::string>& waveNames) {
    using namespace TavEntityType;
    using namespace TavEntityArea;
    using namespace TavBankSelect;
    bool ok = manager.AddBank(std::make_unique<CSequentialContinuousBank<CCategoryInformation, 128>>(
        CTavEntityId{MultiEffect, Internal, 0, 0}, CTavProgramId{0, 0, 0}, kTavEffectTypeCount));
    ok = manager.AddBank(std::make_unique<CSequentialContinuousBank<CNameInformation, 65536>>(
             CTavEntityId{Wave, Internal, 0, 0}, CTavProgramId{WaveMsb, 64, 0}, kTavWaveCount)) &&
         ok;
    ok = manager.AddBank(std::make_unique<CSampleBank>(
             CTavEntityId{Sample, User, 0, 0}, CTavProgramId{SampleMsb, 0, 0}, kTavUserSampleCount)) &&
         ok;
    ok = manager.AddBank(std::make_unique<CSampleBank>(CTavEntityId{Sample, Card, 0, 0},
                                                       CTavProgramId{SampleMsb, CardLsbBase, 0},
                                                       kTavCardSampleCount)) &&
         ok;
    ok = manager.AddBank(std::make_unique<CSamplePatchBank>(CTavEntityId{Patch, UserSamplePatch, 0, 0},
                                                            CTavProgramId{UserSamplePatchMsb, 0, 0},
                                                            kTavUserSampleCount - 1)) &&
         ok;
    ok = manager.AddBank(std::make_unique<CSamplePatchBank>(CTavEntityId{Patch, CardSamplePatch, 0, 0},
                                                            CTavProgramId{CardSamplePatchMsb, 0, 0},
                                                            kTavCardSampleCount - 1)) &&
         ok;

    auto effects = manager.InserterFor({MultiEffect, Internal, 0, TavWildcard});
    for (int32_t i = 0; i < kTavEffectTypeCount; ++i)
        effects->PushBack(CCategoryInformation(kEffectTypes[i].name, kEffectTypes[i].category));
    auto waves = manager.InserterFor({Wave, Internal, 0, TavWildcard});
    waves->PushBack(CNameInformation("Off"));
    for (const std::string& name : waveNames)
        if (!waves->PushBack(CNameInformation(name)))
            break;
    for (int32_t area : {User, Card}) {
        auto samples = manager.InserterFor({Sample, area, 0, TavWildcard});
        samples->PushBack(Brio::CTavSampleInformation("Off", Brio::TavSampleKind::None, 0, 0));
    }
    return ok;
}

CTavProgramId TavNameBankProgramId(int32_t type, int32_t area, int32_t subBank) {
    const int32_t msb =
        type == TavEntityType::RhythmSet ? TavBankSelect::RhythmSetMsb : TavBankSelect::PatchMsb;
    return {msb, subBank + (area == TavEntityArea::Card ? TavBankSelect::CardLsbBase : 0), 0};
}

void TavPadBank(CTavEntityManager::IInserter& inserter, int32_t type) {
    inserter.Fill(CCategoryInformation("", TavEmptyCategory(type)));
}

bool TavAddNameBank(CTavEntityManager& manager, int32_t type, int32_t area, int32_t subBank, int32_t count) {
    if ((type != TavEntityType::Patch && type != TavEntityType::RhythmSet) ||
        (area != TavEntityArea::User && area != TavEntityArea::Card) || subBank < 0 ||
        subBank >= TavMaxBanks(area) || count < 0 || count > kTavMaxBankCount)
        return false;
    const CTavEntityId first{type, area, subBank, 0};
    // Replaces a bank of the same first entity ID.
    manager.RemoveBank(first);
    if (!manager.AddBank(
            std::make_unique<CNameBank>(first, TavNameBankProgramId(type, area, subBank), count)))
        return false;
    if (count > 0) {
        auto inserter = manager.InserterFor({type, area, subBank, TavWildcard});
        TavPadBank(*inserter, type);
    }
    return true;
}

int64_t CTavBankCounts::Sum(int32_t type, int32_t area) const {
    int64_t sum = 0;
    for (int32_t count : List(type, area))
        sum += count;
    return sum;
}

int32_t CTavBankCounts::NameSteps(int32_t area, bool patches, bool rhythmSets) const {
    int64_t steps = 0;
    if (patches)
        steps += (Sum(TavEntityType::Patch, area) + 63) / 64;
    if (rhythmSets)
        steps += (Sum(TavEntityType::RhythmSet, area) + 63) / 64;
    return static_cast<int32_t>(steps);
}

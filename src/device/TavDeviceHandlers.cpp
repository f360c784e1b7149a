#include "device/TavDeviceHandlers.h"

#include <algorithm>

#include "device/CTavBoundTable.h"
#include "model/CTavStruct.h"
#include "model/CTavValue.h"
#include "script/CTavResourceManager.h"

namespace Brio {

namespace {

// The effect struct's values named by the table, each once, in table order.
TavValueList SwappedValues(CTavStruct& effect, const CTavStringTable& table) {
    TavValueList values;
    for (const std::string& path : table.Elements()) {
        CTavValue* value = effect.FindValue(effect.Name() + "." + path);
        if (value && std::find(values.begin(), values.end(), value) == values.end())
            values.push_back(value);
    }
    return values;
}

void RegisterEffect(CTavEffectSwapper& swapper, CTavValue* type, CTavStruct* effect,
                    const CTavStringTable* table) {
    if (!type || !effect || !effect->Bytes() || !table)
        return;
    TavValueList swapped = SwappedValues(*effect, *table);
    if (swapped.empty())
        return;
    const CTavValueSpec& spec = type->Spec();
    const int64_t first = std::min(spec.minimum, spec.maximum);
    const int64_t last =
        std::min<int64_t>(std::max(spec.minimum, spec.maximum), first + kTavMaxEffectTypes - 1);
    TavSavedBlocks blocks;
    for (int64_t raw = first; raw <= last; ++raw)
        blocks.emplace(static_cast<int32_t>(raw), *effect->Bytes());
    swapper.Register(*type, *effect, std::move(blocks), std::move(swapped));
}

} // namespace

std::unique_ptr<CTavEffectSwapper> TavMakeEffectSwapper(CTavBufferManager& buffers,
                                                        const CTavBoundTable& bound,
                                                        const CTavResourceManager& resources) {
    auto swapper = std::make_unique<CTavEffectSwapper>(buffers);
    const CTavStringTable* mfx = resources.FindStringTable("mfxValuePathTable");
    const CTavStringTable* reverb = resources.FindStringTable("reverbValuePathTable");
    RegisterEffect(*swapper, bound.mfx1Type, bound.mfx1, mfx);
    RegisterEffect(*swapper, bound.mfx2Type, bound.mfx2, mfx);
    RegisterEffect(*swapper, bound.reverbType, bound.reverb, reverb);
    return swapper;
}

std::unique_ptr<CTavFadeRangeClipper> TavMakeFadeRangeClipper(CTavBufferManager& buffers,
                                                              const CTavBoundTable& bound) {
    auto clipper = std::make_unique<CTavFadeRangeClipper>(buffers);
    for (int32_t p = 0; p < kTavPartCount; ++p)
        for (int32_t t = 0; t < kTavPatchToneCount; ++t)
            if (bound.tmtVelocityRangeLower[p][t] && bound.tmtVelocityRangeUpper[p][t])
                clipper->AddPair(*bound.tmtVelocityRangeLower[p][t], *bound.tmtVelocityRangeUpper[p][t]);
    for (int32_t p = 0; p < kTavPartCount; ++p)
        for (int32_t k = 0; k < kTavRhythmToneCount; ++k)
            for (int32_t l = 0; l < kTavLayerCount; ++l)
                if (bound.wmtVelocityRangeLower[p][k][l] && bound.wmtVelocityRangeUpper[p][k][l])
                    clipper->AddPair(*bound.wmtVelocityRangeLower[p][k][l],
                                     *bound.wmtVelocityRangeUpper[p][k][l]);
    return clipper;
}

} // namespace Brio

#include "device/TavSampleTool.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "app/CTavSystem.h"
#include "device/CTavBufferAccessor.h"
#include "device/CTavSampleViewHandler.h"
#include "model/CTavBufferManager.h"
#include "model/CTavValue.h"

namespace Brio {

namespace {

// The tool's one-sample selection, as an open sample list would hold it.
class CSingleSelection : public ITavSampleList {
public:
    explicit CSingleSelection(int32_t number) : m_number(number) {}
    std::vector<int32_t> SelectedSamples() const override { return {m_number}; }
    void ClearSelection() override {}
    void Resync() override {}

private:
    int32_t m_number;
};

// Opens the selection for a scope.
class CListScope {
public:
    CListScope(CTavSampleEditor& editor, ITavSampleList& list) : m_editor(editor), m_list(list) {
        editor.AddSampleList(&list);
    }
    ~CListScope() { m_editor.RemoveSampleList(&m_list); }
    CListScope(const CListScope&) = delete;
    CListScope& operator=(const CListScope&) = delete;

private:
    CTavSampleEditor& m_editor;
    ITavSampleList& m_list;
};

bool Integer(const std::string& text, long minimum, long maximum, int32_t& out) {
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || errno != 0 || *end != '\0' || value < minimum || value > maximum)
        return false;
    out = static_cast<int32_t>(value);
    return true;
}

bool Set(CTavBufferAccessor& accessor, const char* path, int32_t raw) {
    CTavValue* value = accessor.SampleEditor().Value(path);
    if (!value)
        return false;
    accessor.Notify(value, raw);
    return true;
}

// Reads the sample's information and shows and selects it on the device.
bool Prepare(CTavBufferAccessor& accessor, int32_t group, int32_t number, std::string& why) {
    CTavSampleEditor& editor = accessor.SampleEditor();
    CTavReader* reader = accessor.Reader();
    if (!reader || CTavSampleEditor::AreaOf(group) < 0) {
        why = "No such sample group.";
        return false;
    }
    if (!reader->ReadSampleInformation(CTavSampleEditor::AreaOf(group), number)) {
        why = reader->Failure().empty() ? "No such sample number." : reader->Failure();
        return false;
    }
    if (editor.SampleKind(group, number) == TavSampleKind::None) {
        why = "The device holds no sample " + std::to_string(number) + ".";
        return false;
    }
    Set(accessor, "vs.sampleEdit.view.sampleGroupID", group);
    Set(accessor, "vs.sampleEdit.view.sampleNumberL", number);
    if (!editor.SelectSample(group, number)) {
        why = "Unable to select the sample.";
        return false;
    }
    return true;
}

} // namespace

int32_t TavParseSampleGroup(const std::string& text) {
    if (text == "user" || text == "2")
        return TavSampleGroup::User;
    if (text == "card" || text == "3")
        return TavSampleGroup::Card;
    return -1;
}

bool TavSampleListText(CTavBufferAccessor& accessor, std::string& out, std::string& why) {
    if (!accessor.ReadSampleNames()) {
        why = accessor.Reader() ? accessor.Reader()->Failure() : "";
        return false;
    }
    static const char* const kinds[] = {"mono", "stereo-left", "stereo-right"};
    char line[64];
    for (int32_t area : {TavEntityArea::User, TavEntityArea::Card})
        for (auto entry = accessor.Entities().Reference({TavEntityType::Sample, area, 0, TavWildcard});
             entry->IsValid(); entry->Next()) {
            const auto* sample = dynamic_cast<const CTavSampleInformation*>(&entry->Information());
            const int32_t number = entry->EntityId().number;
            if (!sample || sample->IsNull() || number == 0 || sample->Kind() < 0 ||
                sample->Kind() >= TavSampleKind::None)
                continue;
            std::snprintf(line, sizeof line, "%s\t%d\t%s\t%d\t", area == TavEntityArea::User ? "User" : "Card", number,
                          kinds[sample->Kind()], sample->Size());
            out += line + sample->Name() + "\n";
        }
    return true;
}

bool TavRunSampleCommand(CTavBufferAccessor& accessor, int32_t group, int32_t number, const std::string& command,
                         const std::vector<std::string>& arguments, bool overwrite, std::string& why) {
    struct Entry {
        const char* command;
        const char* function;
        const char* overwrite;
        const char* parameter; // set from the one argument
        long minimum, maximum;
    };
    static const Entry entries[] = {
        {"truncate", "SampleTruncate", "vs.sampleEdit.modify.truncate.overwrite", nullptr, 0, 0},
        {"normalize", "SampleNormalize", "vs.sampleEdit.modify.normalize.overwrite", nullptr, 0, 0},
        {"emphasis", "SampleEmphasis", "vs.sampleEdit.modify.emphasis.overwrite", nullptr, 0, 0},
        {"amp", "SampleAmp", "vs.sampleEdit.modify.amp.overwrite", "vs.sampleEdit.modify.amp.envRate1", 0, 200},
        {"time-stretch", "SampleTimeStretch", nullptr, "vs.sampleEdit.modify.timeStretch.rate", 50000, 200000},
        {"chop", "SampleChop", nullptr, nullptr, 0, 0},
        {"chop-level", "SampleChopAutoLevel", nullptr, "vs.sampleEdit.modify.chop.autoChop.level", 1, 127},
        {"chop-beat", "SampleChopAutoBeat", nullptr, "vs.sampleEdit.modify.chop.autoChop.beat", 0, 3},
        {"chop-divide", "SampleChopAutoDivide", nullptr, "vs.sampleEdit.modify.chop.autoChop.divide", 2, 16},
        {"unload", "SampleUnload", nullptr, nullptr, 0, 0},
    };
    const Entry* entry = nullptr;
    for (const Entry& candidate : entries)
        if (command == candidate.command)
            entry = &candidate;
    if (!entry) {
        why = "Unknown sample command " + command + ".";
        return false;
    }
    // Amp takes an optional gain in percent; the others with a parameter need it.
    const bool optional = command == "amp";
    if (arguments.size() > (entry->parameter ? 1u : 0u) || (entry->parameter && !optional && arguments.empty())) {
        why = "Wrong arguments for " + command + ".";
        return false;
    }
    int32_t parameter = 0;
    if (!arguments.empty()) {
        bool ok = false;
        if (command == "time-stretch") {
            // A ratio of lengths: 1.5 makes the sample half as long again.
            char* end = nullptr;
            const double ratio = std::strtod(arguments[0].c_str(), &end);
            ok = end && *end == '\0' && std::isfinite(ratio) && Integer(std::to_string(std::lround(ratio * 100000)),
                                                                       entry->minimum, entry->maximum, parameter);
        } else {
            ok = Integer(arguments[0], entry->minimum, entry->maximum, parameter);
        }
        if (!ok) {
            why = "The value " + arguments[0] + " is out of range for " + command + ".";
            return false;
        }
    }
    if (!Prepare(accessor, group, number, why))
        return false;
    if (entry->overwrite)
        Set(accessor, entry->overwrite, overwrite ? 1 : 0);
    if (optional)
        Set(accessor, "vs.sampleEdit.modify.amp.point", 0);
    if (entry->parameter && !arguments.empty())
        Set(accessor, entry->parameter, parameter);
    CSingleSelection selection(number);
    CListScope open(accessor.SampleEditor(), selection);
    CTavSystem* system = accessor.System();
    if (!system || !system->FunctionManager().Call(entry->function, "")) {
        why = accessor.Reader() ? accessor.Reader()->Failure() : "";
        return false;
    }
    return true;
}

bool TavSampleWaveText(CTavBufferAccessor& accessor, int32_t group, int32_t number, int32_t count,
                       std::string& out, std::string& why) {
    if (count < 1 || count > 100000) {
        why = "The number of points must be 1 to 100000.";
        return false;
    }
    if (!Prepare(accessor, group, number, why))
        return false;
    CTavReader* reader = accessor.Reader();
    if (!reader->ReadBlocks(TavReadMask::Sample)) {
        why = reader->Failure();
        return false;
    }
    const CTavValue* end = accessor.SampleEditor().Value("com.utility.sample.sampleCommon.absoluteEndIndex");
    const int64_t frames = end ? end->GetRaw() : 0;
    if (frames <= 0) {
        why = "The device reports no frames for sample " + std::to_string(number) + ".";
        return false;
    }
    const int64_t step = std::clamp<int64_t>((frames + count - 1) / count, 1, 0x1FFFFF);
    std::vector<TavWavePoint> points;
    for (int64_t first = 0; first < frames && static_cast<int32_t>(points.size()) < count;) {
        const int32_t asked = static_cast<int32_t>(std::min<int64_t>(
            {CTavSampleEditor::kMaxWavePoints, count - static_cast<int64_t>(points.size()), (frames - first + step - 1) / step}));
        const size_t before = points.size();
        if (!accessor.SampleEditor().RequestWave(group, number, first, static_cast<int32_t>(step), asked, points)) {
            why = reader->Failure();
            return false;
        }
        if (points.size() == before)
            break; // past the device's end of the sample
        first += step * static_cast<int64_t>(points.size() - before);
    }
    char line[64];
    for (size_t i = 0; i < points.size(); ++i) {
        std::snprintf(line, sizeof line, "%lld\t%d\t%d\n", static_cast<long long>(step * static_cast<int64_t>(i)),
                      points[i].minimum, points[i].maximum);
        out += line;
    }
    return true;
}

} // namespace Brio

#include "device/CTavSampleFunctions.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "app/CTavSystem.h"
#include "app/CTavTextOut.h"
#include "app/TavStrings.h"
#include "device/CTavBufferAccessor.h"
#include "device/CTavDeviceFunctions.h"
#include "device/CTavFunctionManager.h"
#include "model/CTavBufferManager.h"
#include "model/CTavValue.h"
#include "view/ITavProgress.h"

namespace Brio {

namespace {

// How a command chooses its samples, and what it does after the device answered.
enum class Target { Shown, Selection, None };
enum class After { ReadInformation, MarkInformation, ReadChopPoints };

struct CommandSpec {
    const char* name;
    const char* address;
    const char* caption;
    Target target;
    After after;
};

// In registration order; Unload has its own function below.
constexpr CommandSpec kCommands[] = {
    {"SampleTruncate", "com.utility.sampleEdit.modify.truncate", "Truncate", Target::Shown, After::ReadInformation},
    {"SampleEmphasis", "com.utility.sampleEdit.modify.emphasis", "Emphasis", Target::Selection,
     After::ReadInformation},
    {"SampleNormalize", "com.utility.sampleEdit.modify.normalize", "Normalize", Target::Selection,
     After::ReadInformation},
    {"SampleAmp", "com.utility.sampleEdit.modify.amp", "Amp", Target::Shown, After::ReadInformation},
    {"SampleTimeStretch", "com.utility.sampleEdit.modify.timeStretch", "Time Stretch", Target::Shown,
     After::ReadInformation},
    {"SampleChop", "com.utility.sampleEdit.modify.chop", "Chop", Target::Shown, After::MarkInformation},
    {"SampleChopAutoLevel", "com.utility.sampleEdit.modify.autoChop", "Auto Chop", Target::None,
     After::ReadChopPoints},
    {"SampleChopAutoBeat", "com.utility.sampleEdit.modify.autoChop", "Auto Chop", Target::None,
     After::ReadChopPoints},
    {"SampleChopAutoDivide", "com.utility.sampleEdit.modify.autoChop", "Auto Chop", Target::None,
     After::ReadChopPoints},
};

constexpr int kProgressSteps = 100;

// Keeps the progress bar open with a caption for a scope.
class CCaptionScope {
public:
    CCaptionScope(ITavProgress* progress, const char* caption) : m_progress(progress) {
        if (m_progress)
            m_progress->BeginText(kProgressSteps, caption, false);
    }
    ~CCaptionScope() {
        if (m_progress)
            m_progress->Finish();
    }
    CCaptionScope(const CCaptionScope&) = delete;
    CCaptionScope& operator=(const CCaptionScope&) = delete;

private:
    ITavProgress* m_progress;
};

void Append(std::vector<uint8_t>& data, const CTavValue* value) {
    if (value && value->Bytes())
        data.insert(data.end(), value->Bytes(), value->Bytes() + value->Size());
}

class CSampleFunction : public CTavFunctionManager::IFunctor {
public:
    explicit CSampleFunction(CTavBufferAccessor& accessor) : m_accessor(accessor) {}
    bool Invoke(const std::string&) override {
        CTavWaitCursor wait(m_accessor);
        if (!m_accessor.Reader() || !m_accessor.Buffers())
            return false;
        m_accessor.Reader()->ClearFailure();
        const bool ok = Run();
        m_accessor.Buffers()->PublishPending();
        m_accessor.Buffers()->ClearPending();
        return ok;
    }

protected:
    virtual bool Run() = 0;

    CTavSampleEditor& Editor() { return m_accessor.SampleEditor(); }
    int32_t Raw(const char* path) {
        const CTavValue* value = Editor().Value(path);
        return value ? value->GetRaw() : -1;
    }
    ITavProgress* Progress() { return m_accessor.System() ? m_accessor.System()->ViewManager().Progress() : nullptr; }
    bool Send(const char* address, const std::vector<uint8_t>& data) {
        const CTavValue* command = Editor().Value(address);
        return command && !data.empty() &&
               m_accessor.Reader()->SendModifyCommand(static_cast<uint32_t>(command->AbsoluteRange().begin),
                                                      data.data(), data.size());
    }
    bool ReadInformation(int32_t group, int32_t number) {
        const bool ok = m_accessor.Reader()->ReadSampleInformation(CTavSampleEditor::AreaOf(group), number);
        Editor().MarkSampleInformation();
        return ok;
    }
    // The selected sample numbers of the first sample list, ascending; false without one.
    bool Selection(std::vector<int32_t>& numbers) {
        if (Editor().SampleLists().empty())
            return false;
        numbers = Editor().SampleLists().front()->SelectedSamples();
        std::sort(numbers.begin(), numbers.end());
        numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
        return true;
    }
    // A sample that holds audio (mono or the left of a stereo pair).
    bool Holds(int32_t group, int32_t number) {
        const int32_t kind = Editor().SampleKind(group, number);
        return kind == TavSampleKind::Mono || kind == TavSampleKind::StereoLeft;
    }
    // Writes the value as the user would, so the handlers follow (a closed modify page
    // refreshes the view).
    void Write(const char* path, int32_t raw) {
        if (CTavValue* value = Editor().Value(path))
            m_accessor.Buffers()->WriteInteger(*value, raw);
    }

    CTavBufferAccessor& m_accessor;
};

class FSampleModify : public CSampleFunction {
public:
    FSampleModify(CTavBufferAccessor& accessor, const CommandSpec& spec) : CSampleFunction(accessor), m_spec(spec) {}

private:
    bool Run() override {
        const int32_t group = Raw("vs.sampleEdit.view.sampleGroupID");
        const int32_t number = Raw("vs.sampleEdit.view.sampleNumberL");
        std::vector<int32_t> numbers;
        switch (m_spec.target) {
        case Target::Shown:
            if (Editor().SampleKind(group, number) == TavSampleKind::None || Editor().SampleLists().empty())
                return false;
            Editor().SampleLists().front()->ClearSelection();
            numbers = {number};
            break;
        case Target::Selection:
            if (CTavSampleEditor::AreaOf(group) < 0 || !Selection(numbers))
                return false;
            // Nothing selected (an earlier command cleared the selection): the sample shown,
            // rather than a command that silently does nothing.
            if (numbers.empty())
                numbers = {number};
            Editor().SampleLists().front()->ClearSelection();
            numbers.erase(std::remove_if(numbers.begin(), numbers.end(),
                                         [&](int32_t n) { return !Holds(group, n); }),
                          numbers.end());
            break;
        case Target::None:
            break;
        }
        const std::vector<uint8_t> data = TavSampleCommandData(m_accessor, m_spec.name);
        if (data.empty())
            return false;
        if (m_spec.target == Target::None) {
            bool sent = false;
            {
                CCaptionScope bar(Progress(), m_spec.caption);
                sent = Send(m_spec.address, data);
            }
            if (sent)
                Editor().ReadChopPoints();
            m_accessor.Notify(Editor().Value("vs.sampleEdit.modify.chop.edit.currentChopId"), 0);
            return true;
        }
        bool ok = true;
        {
            CCaptionScope bar(Progress(), m_spec.caption);
            for (int32_t n : numbers) {
                if (m_spec.target == Target::Selection) {
                    m_accessor.Notify(Editor().Value("vs.sampleEdit.view.sampleNumberL"), n);
                    m_accessor.Notify(Editor().Value("vs.sampleEdit.view.sampleGroupID"), group);
                    if (!Editor().SelectSample(group, n)) {
                        ok = false;
                        break;
                    }
                }
                if (!Send(m_spec.address, data)) {
                    ok = false;
                    break;
                }
                if (m_spec.after == After::ReadInformation)
                    ReadInformation(group, n);
                else
                    Editor().MarkSampleInformation();
            }
        }
        if (ok)
            Write("vs.sampleEdit.view.modifyView", 0);
        return ok;
    }

    const CommandSpec& m_spec;
};

class FSampleUnload : public CSampleFunction {
    using CSampleFunction::CSampleFunction;

    bool Run() override {
        CTavTextOut* box = m_accessor.System() ? m_accessor.System()->MessageBoxOutput() : nullptr;
        // 0 is OK; without a box there is nobody to say it.
        if (!box || box->Ask(1, TavStrings::kCodeAreYouSure, 0) != 0)
            return false;
        const int32_t group = Raw("vs.sampleEdit.view.sampleGroupID");
        std::vector<int32_t> numbers;
        if (CTavSampleEditor::AreaOf(group) < 0 || !Selection(numbers))
            return false;
        bool ok = true;
        {
            CCaptionScope bar(Progress(), "Unload");
            for (int32_t n : numbers) {
                if (!Holds(group, n))
                    continue;
                const bool stereo = Editor().SampleKind(group, n) == TavSampleKind::StereoLeft;
                if (!Editor().SelectSample(group, n) || !Send("com.utility.sampleEdit.utility.unload", {1})) {
                    ok = false;
                    break;
                }
                Editor().ForgetSample(group, n);
                if (stereo)
                    Editor().ForgetSample(group, n + 1);
                Editor().MarkSampleInformation();
            }
        }
        m_accessor.Notify(Editor().Value("vs.sampleEdit.view.sampleSelectState"), 0);
        const bool refreshed = Editor().RefreshSampleView(true);
        return ok && refreshed;
    }
};

} // namespace

std::vector<uint8_t> TavSampleCommandData(CTavBufferAccessor& accessor, const std::string& function) {
    CTavSampleEditor& editor = accessor.SampleEditor();
    const auto value = [&](const char* path) { return editor.Value(path); };
    std::vector<const CTavValue*> values;
    std::vector<uint8_t> data;
    if (function == "SampleTruncate") {
        values = {value("vs.sampleEdit.modify.truncate.overwrite")};
    } else if (function == "SampleEmphasis") {
        values = {value("vs.sampleEdit.modify.emphasis.overwrite"), value("vs.sampleEdit.modify.emphasis.type")};
    } else if (function == "SampleNormalize") {
        values = {value("vs.sampleEdit.modify.normalize.overwrite")};
    } else if (function == "SampleAmp") {
        values = {value("vs.sampleEdit.modify.amp.overwrite"), value("vs.sampleEdit.modify.amp.envRate1")};
        const CTavValue* point = value("vs.sampleEdit.modify.amp.point");
        // A flat gain sends the first rate alone; an envelope all four points.
        if (point && point->GetRaw() != 0) {
            char rate[48], address[48];
            values.pop_back();
            for (int i = 1; i <= 4; ++i) {
                std::snprintf(rate, sizeof rate, "vs.sampleEdit.modify.amp.envRate%d", i);
                std::snprintf(address, sizeof address, "vs.sampleEdit.modify.amp.envAddress%d", i);
                values.push_back(value(rate));
                values.push_back(value(address));
            }
        }
    } else if (function == "SampleTimeStretch") {
        values = {value("vs.sampleEdit.modify.timeStretch.rate"), value("vs.sampleEdit.modify.timeStretch.type"),
                  value("vs.sampleEdit.modify.timeStretch.adjust")};
    } else if (function == "SampleChop") {
        return {1};
    } else {
        const char* modes[] = {"SampleChopAutoLevel", "SampleChopAutoBeat", "SampleChopAutoDivide"};
        const char* parameters[] = {"vs.sampleEdit.modify.chop.autoChop.level", "vs.sampleEdit.modify.chop.autoChop.beat",
                                    "vs.sampleEdit.modify.chop.autoChop.divide"};
        for (uint8_t mode = 0; mode < 3; ++mode)
            if (function == modes[mode]) {
                const CTavValue* parameter = value(parameters[mode]);
                if (!parameter)
                    return {};
                return {mode, static_cast<uint8_t>(std::clamp(parameter->GetRaw(), 0, 0x7F))};
            }
        return {};
    }
    for (const CTavValue* each : values) {
        if (!each)
            return {};
        Append(data, each);
    }
    return data;
}

void TavRegisterSampleFunctions(CTavFunctionManager& functions, CTavBufferAccessor& accessor) {
    for (const CommandSpec& spec : kCommands) {
        functions.Unregister(spec.name);
        functions.Register(spec.name, std::make_unique<FSampleModify>(accessor, spec));
    }
    functions.Unregister("SampleUnload");
    functions.Register("SampleUnload", std::make_unique<FSampleUnload>(accessor));
}

} // namespace Brio

#include "app/cli/CliSampleCommands.h"

#include <cstdio>
#include <optional>

#include "app/CTavSystem.h"
#include "app/cli/CliPortCommands.h"
#include "app/cli/CliSupport.h"
#include "device/CTavBufferAccessor.h"
#include "device/TavSampleTool.h"
#include "view/ITavProgress.h"

namespace {

// "--in NAME --out NAME [--device-id N]" and the flags a command names; the rest in order.
struct SampleArguments {
    std::string in, out;
    std::optional<int32_t> deviceId;
    bool overwrite = false;
    int32_t points = 117;
    std::vector<std::string> rest;

    bool Parse(const std::vector<std::string>& arguments, bool flags) {
        for (size_t i = 0; i < arguments.size(); ++i) {
            const std::string& argument = arguments[i];
            const bool valued = argument == "--in" || argument == "--out" || argument == "--device-id" ||
                                (flags && argument == "--points");
            if (valued && i + 1 < arguments.size()) {
                const std::string& value = arguments[++i];
                if (argument == "--in") {
                    in = value;
                } else if (argument == "--out") {
                    out = value;
                } else {
                    const std::optional<int32_t> number = CliParseDecimal(value);
                    if (!number)
                        return false;
                    (argument == "--points" ? points : deviceId.emplace()) = *number;
                }
            } else if (flags && argument == "--overwrite") {
                overwrite = true;
            } else if (valued || (argument.rfind("--", 0) == 0 && argument.size() > 2)) {
                return false;
            } else {
                rest.push_back(argument);
            }
        }
        return !in.empty() && !out.empty();
    }
};

// A modify command's progress bar on standard error: its caption and the percent done.
class CommandProgress : public ITavProgress {
public:
    void Start(int) override { m_shown = -1; }
    void BeginText(int steps, const std::string& text, bool) override {
        m_caption = text;
        Start(steps);
    }
    void Step() override {}
    void SetPosition(int position) override {
        if (position / 10 == m_shown / 10 && m_shown >= 0)
            return;
        m_shown = position;
        std::fprintf(stderr, "%s: %d%%\n", m_caption.c_str(), position);
        std::fflush(stderr);
    }
    void Finish() override {}

private:
    std::string m_caption = "Working";
    int m_shown = -1;
};

int Failed(CTavSystem& system, const std::string& why) {
    const int status = system.PendingCode() != 0 ? CliFileError(system) : 1;
    if (!why.empty())
        CliError(why);
    return status;
}

int32_t Number(const std::string& text) {
    const std::optional<int32_t> number = CliParseDecimal(text);
    return number && *number >= 1 && *number <= 7000 ? *number : -1;
}

} // namespace

int CliSamples(CTavSystem& system, const std::vector<std::string>& arguments) {
    SampleArguments parsed;
    if (!parsed.Parse(arguments, false) || !parsed.rest.empty())
        return CliError("samples takes --in NAME --out NAME [--device-id N]");
    return CliWithDeviceLayer(system, parsed.in, parsed.out, parsed.deviceId, [&](Brio::CTavBufferAccessor& layer) {
        std::string out, why;
        if (!Brio::TavSampleListText(layer, out, why))
            return Failed(system, why);
        std::fwrite(out.data(), 1, out.size(), stdout);
        return 0;
    });
}

int CliSample(CTavSystem& system, const std::vector<std::string>& arguments) {
    SampleArguments parsed;
    if (!parsed.Parse(arguments, true) || parsed.rest.size() < 3 || Brio::TavParseSampleGroup(parsed.rest[0]) < 0 ||
        Number(parsed.rest[1]) < 0)
        return CliError("sample takes --in NAME --out NAME [--device-id N] [--overwrite] user|card NUMBER COMMAND "
                        "[ARGUMENT]");
    return CliWithDeviceLayer(system, parsed.in, parsed.out, parsed.deviceId, [&](Brio::CTavBufferAccessor& layer) {
        CommandProgress progress;
        system.ViewManager().SetProgress(&progress);
        if (layer.Reader())
            layer.Reader()->SetProgress(&progress);
        std::string why;
        const bool ok = Brio::TavRunSampleCommand(layer, Brio::TavParseSampleGroup(parsed.rest[0]),
                                                  Number(parsed.rest[1]), parsed.rest[2],
                                                  std::vector<std::string>(parsed.rest.begin() + 3, parsed.rest.end()),
                                                  parsed.overwrite, why);
        if (layer.Reader())
            layer.Reader()->SetProgress(nullptr);
        system.ViewManager().SetProgress(nullptr);
        return ok ? 0 : Failed(system, why);
    });
}

int CliWave(CTavSystem& system, const std::vector<std::string>& arguments) {
    SampleArguments parsed;
    if (!parsed.Parse(arguments, true) || parsed.overwrite || parsed.rest.size() != 2 ||
        Brio::TavParseSampleGroup(parsed.rest[0]) < 0 || Number(parsed.rest[1]) < 0)
        return CliError("wave takes --in NAME --out NAME [--device-id N] user|card NUMBER [--points N]");
    return CliWithDeviceLayer(system, parsed.in, parsed.out, parsed.deviceId, [&](Brio::CTavBufferAccessor& layer) {
        std::string out, why;
        if (!Brio::TavSampleWaveText(layer, Brio::TavParseSampleGroup(parsed.rest[0]), Number(parsed.rest[1]),
                                     parsed.points, out, why))
            return Failed(system, why);
        std::fwrite(out.data(), 1, out.size(), stdout);
        return 0;
    });
}

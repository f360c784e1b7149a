#include "app/cli/CliCoverageCommands.h"

#include <cstdio>

#include "app/CTavSystem.h"
#include "app/cli/CliSupport.h"
#include "model/CTavValue.h"
#include "view/CTavViewManager.h"
#include "view/TavControlCoverage.h"

int CliCoverage(CTavSystem& system, const std::vector<std::string>& arguments) {
    if (!arguments.empty())
        return CliError("coverage takes no arguments");
    CTavViewManager& views = system.ViewManager();
    const CTavControlCoverage coverage =
        TavMeasureControlCoverage(views, system.BufferManager(), kCliCoveredRoot, views.NoControlRules());
    for (const std::string& pattern : coverage.unmatchedPatterns)
        std::fprintf(stderr, "No value of %s matches the noControl path %s.\n", kCliCoveredRoot, pattern.c_str());
    std::string out;
    for (const CTavValue* value : coverage.missing)
        out += value->FullPath() + "\n";
    if (!coverage.excused.empty()) {
        out += "No control on purpose:\n";
        for (const CTavControlCoverage::CExcused& excused : coverage.excused)
            out += "  " + excused.value->FullPath() + "\t" + excused.rule->reason + "\n";
    }
    out += std::to_string(coverage.covered) + " of " + std::to_string(coverage.total) + " values have a control\n";
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}

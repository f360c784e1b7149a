#pragma once
// A text output that remembers what it was given, installed by tests in place of the
// message box output.

#include <string>
#include <vector>

#include "app/CTavTextOut.h"

namespace test {

class RecordingTextOut : public CTavTextOut {
public:
    void Report(int code) override { reports.push_back(code); }
    int Ask(int buttons, int code, int icon) override {
        asks.push_back({buttons, code, icon});
        return answer;
    }

    struct AskCall {
        int buttons, code, icon;
    };
    std::vector<int> reports;
    std::vector<std::string> outputs;
    std::vector<AskCall> asks;
    int answer = 0;

protected:
    void Output(const std::string& text) override { outputs.push_back(text); }
};

} // namespace test

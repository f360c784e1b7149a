#include "app/cli/CliModelCommands.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "app/CTavSystem.h"
#include "app/TavStrings.h"
#include "files/CTavDataFile.h"
#include "model/CTavBufferManager.h"

namespace {

int Error(const std::string& message) {
    std::fprintf(stderr, "%s\n", message.c_str());
    return 1;
}

// The text of the message code the data file reported.
int FileError(CTavSystem& system) {
    const std::string_view text = TavStrings::Text(TavStrings::MessageStringId(system.PendingCode()));
    return Error(std::string(text));
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

std::optional<int32_t> ParseDecimal(std::string_view text) {
    if (text.empty())
        return std::nullopt;
    const std::string copy(text);
    char* end = nullptr;
    errno = 0;
    const long number = std::strtol(copy.c_str(), &end, 10);
    if (*end != '\0' || errno == ERANGE || number < INT32_MIN || number > INT32_MAX || std::isspace(copy[0]))
        return std::nullopt;
    return static_cast<int32_t>(number);
}

void ForEachValue(CTavBufferManager& buffers, const std::function<void(CTavValue&)>& f) {
    for (const auto& root : buffers.RootStructs())
        root->ForEachValue(f);
}

struct Assignment {
    CTavValue* value;
    std::string path;
    int32_t raw = 0;
    std::string text;
};

// Checks every assignment before anything is written; on failure writes the reason to
// standard error and answers false.
bool ParseAssignments(CTavBufferManager& buffers, const std::vector<std::string>& arguments,
                      std::vector<Assignment>& assignments) {
    for (const std::string& argument : arguments) {
        const size_t equals = argument.find('=');
        if (equals == std::string::npos || equals == 0) {
            Error("Expected PATH=VALUE: " + argument);
            return false;
        }
        Assignment assignment;
        assignment.path = argument.substr(0, equals);
        const std::string valueText = argument.substr(equals + 1);
        assignment.value = buffers.FindValue(assignment.path);
        if (!assignment.value) {
            Error("Unknown value path: " + assignment.path);
            return false;
        }
        const CTavValueSpec& spec = assignment.value->Spec();
        if (assignment.value->Kind() == kTavKindString) {
            if (valueText.size() < 2 || valueText.front() != '"' || valueText.back() != '"') {
                Error("Expected a text in double quotes: " + assignment.path);
                return false;
            }
            assignment.text = valueText.substr(1, valueText.size() - 2);
            const size_t size = static_cast<size_t>(assignment.value->Size());
            if (assignment.text.size() > size) {
                Error("Text longer than " + std::to_string(size) + " bytes: " + assignment.path);
                return false;
            }
            assignment.text.resize(size, ' ');
        } else if (assignment.value->Kind() == kTavKindInteger) {
            const std::optional<int32_t> raw = ParseDecimal(valueText);
            if (!raw) {
                Error("Expected a decimal number: " + assignment.path);
                return false;
            }
            if (*raw < spec.minimum || *raw > spec.maximum) {
                Error("Value out of range [" + std::to_string(spec.minimum) + "," + std::to_string(spec.maximum) +
                      "]: " + assignment.path);
                return false;
            }
            assignment.raw = *raw;
        } else {
            Error("Value cannot be set: " + assignment.path);
            return false;
        }
        assignments.push_back(std::move(assignment));
    }
    return true;
}

} // namespace

int CliPaths(CTavSystem& system, const std::vector<std::string>& arguments) {
    if (arguments.size() > 1)
        return Error("paths takes at most one prefix");
    const std::string prefix = arguments.empty() ? std::string() : arguments[0];
    std::string out;
    ForEachValue(system.BufferManager(), [&](CTavValue& value) {
        const std::string path = value.FullPath();
        if (!path.starts_with(prefix))
            return;
        const CTavValueSpec& spec = value.Spec();
        out += path;
        out += '\t' + TavFormatAddress(value.AbsoluteRange().begin);
        out += '\t' + std::to_string(value.Size());
        out += '\t' + std::string(TavValueTypeText(spec.type));
        out += '\t' + std::to_string(spec.minimum);
        out += '\t' + std::to_string(spec.maximum);
        out += '\t' + (value.Kind() == kTavKindString ? Quoted(spec.defaultText) : std::to_string(spec.defaultValue));
        out += '\n';
    });
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}

int CliNew(CTavSystem& system, const std::vector<std::string>& arguments) {
    if (arguments.size() != 1)
        return Error("new takes one file");
    CTavDataFile file(system.BufferManager(), system.BufferOutput());
    return file.Save(arguments[0]) ? 0 : FileError(system);
}

int CliGet(CTavSystem& system, const std::vector<std::string>& arguments) {
    if (arguments.size() < 2)
        return Error("get takes a file and at least one value path");
    CTavBufferManager& buffers = system.BufferManager();
    std::vector<CTavValue*> values;
    for (size_t i = 1; i < arguments.size(); ++i) {
        CTavValue* value = buffers.FindValue(arguments[i]);
        if (!value)
            return Error("Unknown value path: " + arguments[i]);
        values.push_back(value);
    }
    CTavDataFile file(buffers, system.BufferOutput());
    if (!file.Load(arguments[0]))
        return FileError(system);
    std::string out;
    for (size_t i = 0; i < values.size(); ++i) {
        const CTavValue& value = *values[i];
        out += arguments[i + 1] + "=";
        out += value.Kind() == kTavKindString ? Quoted(value.GetText()) : std::to_string(value.GetRaw());
        out += '\n';
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}

int CliSet(CTavSystem& system, const std::vector<std::string>& arguments) {
    std::vector<std::string> assignmentsText;
    std::string input;
    std::string output;
    for (size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == "-o") {
            if (i + 1 >= arguments.size())
                return Error("-o needs a file");
            output = arguments[++i];
        } else if (input.empty()) {
            input = arguments[i];
        } else {
            assignmentsText.push_back(arguments[i]);
        }
    }
    if (input.empty() || assignmentsText.empty())
        return Error("set takes a file and at least one PATH=VALUE");
    if (output.empty())
        output = input;

    CTavBufferManager& buffers = system.BufferManager();
    std::vector<Assignment> assignments;
    if (!ParseAssignments(buffers, assignmentsText, assignments))
        return 1;
    CTavDataFile file(buffers, system.BufferOutput());
    if (!file.Load(input))
        return FileError(system);
    buffers.ClearPending();

    // Each assignment is one user edit: write, transmit, publish, clear.
    for (const Assignment& assignment : assignments) {
        if (assignment.value->Kind() == kTavKindString)
            buffers.WriteText(*assignment.value, assignment.text);
        else
            buffers.WriteInteger(*assignment.value, assignment.raw);
        buffers.TransmitPending();
        buffers.PublishPending();
        buffers.ClearPending();
    }
    return file.Save(output) ? 0 : FileError(system);
}

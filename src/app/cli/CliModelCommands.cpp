#include "app/cli/CliModelCommands.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string_view>

#include "app/CTavSystem.h"
#include "app/cli/CliSupport.h"
#include "device/CTavBufferAccessor.h"
#include "files/CTavDataFile.h"
#include "midi/CTavMidiManager.h"
#include "model/CTavBufferManager.h"

namespace {

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

void ForEachValue(CTavBufferManager& buffers, const std::function<void(CTavValue&)>& f) {
    for (const auto& root : buffers.RootStructs())
        root->ForEachValue(f);
}

// A value the data file holds, so that reading or setting it means something; a path
// of another root (view state, device commands) is refused with a message.
CTavValue* FindFileValue(CTavBufferManager& buffers, const std::string& path) {
    CTavValue* value = buffers.FindValue(path);
    if (!value) {
        CliError("Unknown value path: " + path);
        return nullptr;
    }
    const std::string& fileRoot = TavDataFileSettings().rootName;
    const CTavStruct* root = value->Root();
    if (!root || root->Name() != fileRoot) {
        CliError("Value is not kept in data files (only " + fileRoot + " is): " + path);
        return nullptr;
    }
    return value;
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
            CliError("Expected PATH=VALUE: " + argument);
            return false;
        }
        Assignment assignment;
        assignment.path = argument.substr(0, equals);
        const std::string valueText = argument.substr(equals + 1);
        assignment.value = FindFileValue(buffers, assignment.path);
        if (!assignment.value)
            return false;
        const CTavValueSpec& spec = assignment.value->Spec();
        if (assignment.value->Kind() == kTavKindString) {
            if (valueText.size() < 2 || valueText.front() != '"' || valueText.back() != '"') {
                CliError("Expected a text in double quotes: " + assignment.path);
                return false;
            }
            assignment.text = valueText.substr(1, valueText.size() - 2);
            // A text value holds 7-bit bytes only: anything else would be a status byte on
            // the wire and make the file unreadable.
            for (char c : assignment.text)
                if (static_cast<unsigned char>(c) > 0x7F) {
                    char byte[8];
                    std::snprintf(byte, sizeof byte, "%02X", static_cast<unsigned>(static_cast<unsigned char>(c)));
                    CliError("Text holds the byte " + std::string(byte) +
                             ", which the device cannot store (only 7-bit characters): " + assignment.path);
                    return false;
                }
            const size_t size = static_cast<size_t>(assignment.value->Size());
            if (assignment.text.size() > size) {
                CliError("Text longer than " + std::to_string(size) + " bytes: " + assignment.path);
                return false;
            }
            assignment.text.resize(size, ' ');
        } else if (assignment.value->Kind() == kTavKindInteger) {
            const std::optional<int32_t> raw = CliParseDecimal(valueText);
            if (!raw) {
                CliError("Expected a decimal number: " + assignment.path);
                return false;
            }
            if (*raw < spec.minimum || *raw > spec.maximum) {
                CliError("Value out of range [" + std::to_string(spec.minimum) + "," +
                         std::to_string(spec.maximum) + "]: " + assignment.path);
                return false;
            }
            assignment.raw = *raw;
        } else {
            CliError("Value cannot be set: " + assignment.path);
            return false;
        }
        assignments.push_back(std::move(assignment));
    }
    return true;
}

} // namespace

int CliPaths(CTavSystem& system, const std::vector<std::string>& arguments) {
    if (arguments.size() > 1)
        return CliError("paths takes at most one prefix");
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
        out += '\t' + (value.Kind() == kTavKindString ? Quoted(spec.defaultText)
                                                      : std::to_string(spec.defaultValue));
        out += '\n';
    });
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}

int CliNew(CTavSystem& system, const std::vector<std::string>& arguments) {
    if (arguments.size() != 1)
        return CliError("new takes one file");
    CTavDataFile file(system.BufferManager(), system.BufferOutput());
    return file.Save(arguments[0]) ? 0 : CliSaveError(system, file);
}

int CliGet(CTavSystem& system, const std::vector<std::string>& arguments) {
    if (arguments.size() < 2)
        return CliError("get takes a file and at least one value path");
    CTavBufferManager& buffers = system.BufferManager();
    std::vector<CTavValue*> values;
    for (size_t i = 1; i < arguments.size(); ++i) {
        CTavValue* value = FindFileValue(buffers, arguments[i]);
        if (!value)
            return 1;
        values.push_back(value);
    }
    CTavDataFile file(buffers, system.BufferOutput());
    if (!file.Load(arguments[0]))
        return CliFileError(system);
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

namespace {

// Records every message an output sends, in sending order across outputs.
class RecordingDevice : public CTavMidiOutDevice {
public:
    explicit RecordingDevice(std::vector<TavBytes>& sent) : m_sent(sent) {}
    void Send(const TavBytes& bytes) override { m_sent.push_back(bytes); }

private:
    std::vector<TavBytes>& m_sent;
};

} // namespace

int CliSet(CTavSystem& system, const std::vector<std::string>& arguments) {
    CliFileArguments files;
    std::vector<std::string> assignmentsText;
    if (!files.Parse(arguments, assignmentsText) || assignmentsText.empty())
        return CliError("set takes a file and at least one PATH=VALUE");

    CTavBufferManager& buffers = system.BufferManager();
    std::vector<Assignment> assignments;
    if (!ParseAssignments(buffers, assignmentsText, assignments) || !files.ApplyDeviceId(system))
        return 1;
    // The edits run the editor's handlers: ranges clipped, voice reserves kept within the
    // voices, controllers and tones kept in step.
    Brio::CTavBufferAccessor accessor;
    const CliLayerGuard guard(accessor);
    if (!CliStartDeviceLayer(system, accessor))
        return 1;
    if (!CliLoadDataFile(system, accessor, files.input))
        return CliFileError(system);
    CTavDataFile file(buffers, system.BufferOutput());

    std::vector<TavBytes> sent;
    std::vector<std::unique_ptr<RecordingDevice>> devices;
    for (const auto& output : system.MidiManager().Outputs()) {
        devices.push_back(std::make_unique<RecordingDevice>(sent));
        output->SetDevice(devices.back().get());
    }

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
    for (const auto& output : system.MidiManager().Outputs())
        output->SetDevice(nullptr);
    if (!file.Save(files.OutputPath()))
        return CliSaveError(system, file);
    if (files.sysex) {
        std::string out;
        for (const TavBytes& message : sent)
            out += CliHex(message) + "\n";
        std::fwrite(out.data(), 1, out.size(), stdout);
    }
    return 0;
}

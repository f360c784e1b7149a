#include "app/cli/CliMidiCommands.h"

#include <cstdio>

#include "app/CTavSystem.h"
#include "app/cli/CliSupport.h"

#include "files/CTavDataFile.h"
#include "model/CTavBufferManager.h"
#include <algorithm>
#include <memory>

namespace {

// Remembers every value that received data changed, once each, in order of first change.
class ReceivedValues : public ITavBufferHandler {
public:
    bool AfterReceive(const TavValueList& values) override {
        for (CTavValue* value : values)
            if (std::find(changed.begin(), changed.end(), value) == changed.end())
                changed.push_back(value);
        return false;
    }
    TavValueList changed;
};

} // namespace

int CliReceive(CTavSystem& system, const std::vector<std::string>& arguments) {
    CliFileArguments files;
    std::vector<std::string> hexMessages;
    if (!files.Parse(arguments, hexMessages) || hexMessages.empty())
        return CliError("receive takes a file and at least one message in hex");
    std::vector<TavBytes> messages;
    for (const std::string& hex : hexMessages) {
        TavBytes bytes;
        if (!CliParseHexMessage(hex, bytes))
            return CliError("Invalid hex message: " + hex);
        messages.push_back(std::move(bytes));
    }
    CTavMidiIn* input = system.MidiManager().Input(0);
    if (!input)
        return CliError("The script has no MIDI input.");
    if (!files.ApplyDeviceId(system))
        return 1;

    CTavBufferManager& buffers = system.BufferManager();
    CTavDataFile file(buffers, system.BufferOutput());
    if (!file.Load(files.input))
        return CliFileError(system);
    buffers.ClearPending();
    auto recorder = std::make_unique<ReceivedValues>();
    ReceivedValues& received = *recorder;
    buffers.Handlers().Add(std::move(recorder));

    for (const TavBytes& message : messages)
        input->Receive(message);
    if (!file.Save(files.OutputPath()))
        return CliFileError(system);
    std::string out;
    for (CTavValue* value : received.changed)
        out += value->FullPath() + "\n";
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}

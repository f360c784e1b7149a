#include "app/cli/CliMidiCommands.h"

#include <cstdio>

#include "app/CTavSystem.h"
#include "app/cli/CliSupport.h"
#include "device/CTavBufferAccessor.h"
#include "files/CTavDataFile.h"
#include "model/CTavBufferManager.h"
#include "model/CTavStruct.h"

#include <algorithm>
#include <memory>

namespace {

// Remembers every value that received data changed, once each, in order of first change:
// the values received and what the handlers before it changed with them (a part value a
// received controller sets), as far as the data file holds them. It goes last in the chain.
class ReceivedValues : public ITavBufferHandler {
public:
    explicit ReceivedValues(CTavBufferManager& buffers) : m_buffers(buffers) {}
    bool AfterReceive(const TavValueList& values) override {
        for (CTavValue* value : values)
            Add(value);
        for (CTavBuffer* buffer : m_buffers.PendingChanges())
            if (buffer->IsValue() && IsKept(*buffer))
                Add(static_cast<CTavValue*>(buffer));
        return false;
    }
    TavValueList changed;

private:
    void Add(CTavValue* value) {
        if (std::find(changed.begin(), changed.end(), value) == changed.end())
            changed.push_back(value);
    }
    static bool IsKept(const CTavBuffer& buffer) {
        const CTavStruct* root = buffer.Root();
        return root && root->Name() == TavDataFileSettings().rootName;
    }
    CTavBufferManager& m_buffers;
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

    // What arrives runs the editor's handlers, as from the device.
    CTavBufferManager& buffers = system.BufferManager();
    Brio::CTavBufferAccessor accessor;
    const CliLayerGuard guard(accessor);
    if (!CliStartDeviceLayer(system, accessor))
        return 1;
    if (!CliLoadDataFile(system, accessor, files.input))
        return CliFileError(system);
    CTavDataFile file(buffers, system.BufferOutput());
    auto recorder = std::make_unique<ReceivedValues>(buffers);
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

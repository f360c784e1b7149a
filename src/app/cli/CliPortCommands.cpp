#include "app/cli/CliPortCommands.h"

#include <csignal>
#include <cstdio>
#include <memory>
#include <unistd.h>

#include "app/CTavSystem.h"
#include "app/TavStartup.h"
#include "app/cli/CliSupport.h"
#include "files/CTavDataFile.h"
#include "midi/CTavMidiReader.h"
#include "midi/port/CMidiDevices.h"
#include "midi/port/CMidiEventQueue.h"
#include "midi/port/CQueuedReader.h"
#include "midi/port/CRtMidiBackend.h"
#include "midi/port/CVirtualDevicePort.h"
#include "model/CTavBufferManager.h"

namespace {

// Set once from the command line, before any command runs.
uint8_t virtualDeviceIdByte = 0x10;

void ConfigureVirtualDevice(CVirtualDeviceHost& host, const CTavSystem& system) {
    host.Configure(TavReadScriptText(system), CVirtualDevice::DefaultMemoryPath());
    host.WithDevice([](CVirtualDevice& device) { device.SetDeviceId(virtualDeviceIdByte); });
}

// The machine's ports and the virtual device, whose memory is kept in its usual file.
struct PortSession {
    explicit PortSession(const CTavSystem& system) : reader(queue, system.BufferOutput()) {
        ConfigureVirtualDevice(host, system);
        ports.AddBackend(std::make_unique<CRtMidiBackend>());
        ports.AddBackend(std::make_unique<CVirtualDeviceBackend>(host));
    }
    // Closes the ports before the device saves its memory.
    int Finish(int status) {
        input.reset();
        output.reset();
        std::string error;
        if (!host.Shutdown(error))
            return CliError(error);
        return status;
    }

    CVirtualDeviceHost host;
    CMidiPorts ports;
    CMidiEventQueue queue;
    CQueuedReader reader;
    CTavMidiWriter writer;
    std::unique_ptr<CMidiInDevice> input;
    std::unique_ptr<CMidiOutDevice> output;
};

// "--in NAME --out NAME [--device-id N] FILE"
struct TransferArguments {
    std::string in, out;
    CliFileArguments file;

    bool Parse(const std::vector<std::string>& arguments) {
        std::vector<std::string> rest;
        for (size_t i = 0; i < arguments.size(); ++i) {
            if ((arguments[i] == "--in" || arguments[i] == "--out") && i + 1 < arguments.size()) {
                (arguments[i] == "--in" ? in : out) = arguments[i + 1];
                ++i;
            } else {
                rest.push_back(arguments[i]);
            }
        }
        std::vector<std::string> left;
        return !in.empty() && !out.empty() && file.Parse(rest, left) && left.empty() && file.output.empty();
    }
};

// Opens both ports, binds them to the script's first input and output and puts the
// session's reader and writer on them.
int Connect(CTavSystem& system, PortSession& session, const TransferArguments& arguments) {
    CTavMidiManager& midi = system.MidiManager();
    if (!midi.Input(0) || !midi.Output(0))
        return CliError("The script has no MIDI input or output.");
    if (!arguments.file.ApplyDeviceId(system))
        return 1;
    CTavTextOut* messages = system.MessageBoxOutput();
    session.input = std::make_unique<CMidiInDevice>(arguments.in, session.queue);
    if (!session.input->Open(session.ports, messages))
        return CliError("Unable to open the MIDI input port: " + arguments.in);
    session.output = std::make_unique<CMidiOutDevice>(arguments.out);
    if (!session.output->Open(session.ports, messages))
        return CliError("Unable to open the MIDI output port: " + arguments.out);
    session.input->AddListener(midi.Input(0));
    midi.Output(0)->SetDevice(session.output.get());
    TavInstallTransfer(midi, session.reader, session.writer);
    return 0;
}

std::vector<CTavLeafStruct*> RootLeaves(CTavSystem& system) {
    std::vector<CTavLeafStruct*> leaves;
    if (CTavRootStruct* root = system.BufferManager().FindRoot(std::string(CTavSystem::kRootName)))
        root->ForEachLeaf([&](CTavLeafStruct& leaf) { leaves.push_back(&leaf); });
    return leaves;
}

// Percent done on standard error: rewritten in place on a terminal, a line per tenth
// otherwise.
void Progress(const char* verb, size_t done, size_t total) {
    const size_t percent = total ? done * 100 / total : 100;
    const size_t before = total ? (done - 1) * 100 / total : 0;
    if (isatty(fileno(stderr))) {
        if (percent != before || done == 1)
            std::fprintf(stderr, "\r%s: %zu%%", verb, percent);
        if (done == total)
            std::fputc('\n', stderr);
    } else if (percent / 10 != before / 10 || done == total) {
        std::fprintf(stderr, "%s: %zu%%\n", verb, percent);
    }
    std::fflush(stderr);
}

} // namespace

void CliSetVirtualDeviceId(uint8_t id) {
    virtualDeviceIdByte = id;
}

int CliPorts(CTavSystem& system, const std::vector<std::string>& arguments) {
    if (!arguments.empty())
        return CliError("ports takes no arguments");
    PortSession session(system);
    std::string out = "Inputs:\n";
    for (const std::string& name : session.ports.InputNames())
        out += "  " + name + "\n";
    out += "Outputs:\n";
    for (const std::string& name : session.ports.OutputNames())
        out += "  " + name + "\n";
    std::fwrite(out.data(), 1, out.size(), stdout);
    return session.Finish(0);
}

int CliRead(CTavSystem& system, const std::vector<std::string>& arguments) {
    TransferArguments parsed;
    if (!parsed.Parse(arguments))
        return CliError("read takes --in NAME --out NAME [--device-id N] OUT.vro");
    PortSession session(system);
    if (const int status = Connect(system, session, parsed))
        return session.Finish(status);
    const std::vector<CTavLeafStruct*> leaves = RootLeaves(system);
    for (size_t i = 0; i < leaves.size(); ++i) {
        const TavRange range = leaves[i]->AbsoluteRange();
        if (!session.reader.RequestData(static_cast<uint32_t>(range.begin), range.Length())) {
            std::fputc('\n', stderr);
            return session.Finish(CliFileError(system));
        }
        Progress("Reading", i + 1, leaves.size());
    }
    system.BufferManager().ClearPending();
    CTavDataFile file(system.BufferManager(), system.BufferOutput());
    if (!file.Save(parsed.file.input))
        return session.Finish(CliFileError(system));
    return session.Finish(0);
}

int CliWrite(CTavSystem& system, const std::vector<std::string>& arguments) {
    TransferArguments parsed;
    if (!parsed.Parse(arguments))
        return CliError("write takes --in NAME --out NAME [--device-id N] FILE.vro");
    CTavDataFile file(system.BufferManager(), system.BufferOutput());
    if (!file.Load(parsed.file.input))
        return CliFileError(system);
    system.BufferManager().ClearPending();
    PortSession session(system);
    if (const int status = Connect(system, session, parsed))
        return session.Finish(status);
    const std::vector<CTavLeafStruct*> leaves = RootLeaves(system);
    for (size_t i = 0; i < leaves.size(); ++i) {
        const TavRange range = leaves[i]->AbsoluteRange();
        session.writer.SendData(static_cast<uint32_t>(range.begin), leaves[i]->Bytes()->data(),
                                leaves[i]->Bytes()->size());
        Progress("Writing", i + 1, leaves.size());
    }
    return session.Finish(0);
}

namespace {

// Hands what the device answers to the sequencer port the other program reads.
class Outlet : public CMidiIn {
public:
    explicit Outlet(std::unique_ptr<IMidiOutDriver> port) : m_port(std::move(port)) {}
    ~Outlet() override { Close(); }

protected:
    void OnShortMessage(uint32_t packed) override {
        const uint8_t bytes[3] = {static_cast<uint8_t>(packed), static_cast<uint8_t>(packed >> 8),
                                  static_cast<uint8_t>(packed >> 16)};
        std::string error;
        m_port->SendShort(bytes, 3, error);
    }
    void OnLongMessage(const uint8_t* bytes, size_t size) override {
        std::string error;
        if (!m_port->SendLong(bytes, size, error))
            std::fprintf(stderr, "%s\n", error.c_str());
    }
    void OnMessagesLost(uint32_t count) override {
        std::fprintf(stderr, "The virtual device's replies outran its MIDI port: %u dropped.\n", count);
    }

private:
    std::unique_ptr<IMidiOutDriver> m_port;
};

// Hands what the other program sends to the device.
class Inlet : public CMidiIn {
public:
    explicit Inlet(CVirtualDeviceHost& host) : m_host(host) {}
    ~Inlet() override { Close(); }

protected:
    void OnLongMessage(const uint8_t* bytes, size_t size) override {
        std::string error;
        if (!m_host.Send(bytes, size, error))
            std::fprintf(stderr, "%s\n", error.c_str());
    }
    void OnMessagesLost(uint32_t count) override {
        std::fprintf(stderr, "Messages to the virtual device came too fast: %u dropped.\n", count);
    }

private:
    CVirtualDeviceHost& m_host;
};

} // namespace

int CliSimulate(CTavSystem& system, const std::vector<std::string>& arguments) {
    std::string name = CVirtualDevice::kPortName;
    if (arguments.size() == 2 && arguments[0] == "--port")
        name = arguments[1];
    else if (!arguments.empty())
        return CliError("simulate takes [--port NAME]");

    // The signals that end the simulation are taken by sigwait below, so every thread
    // started from here on has them blocked.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    CVirtualDeviceHost host;
    ConfigureVirtualDevice(host, system);
    std::string error;
    if (!host.Create(error))
        return CliError(error);
    host.WithDevice([](CVirtualDevice& device) { device.SetSpeed(CVirtualDevice::Speed::Wire); });

    auto sender = CRtMidiBackend::OpenVirtualOutput(name, error);
    if (!sender)
        return CliError("Unable to open a MIDI port for the virtual device: " + error);
    // The outlet listens to the device like any input opened on it.
    Outlet outlet(std::move(sender));
    CVirtualDeviceBackend backend(host);
    outlet.Adopt(backend.OpenInput(CVirtualDevice::kPortName, outlet, error));
    Inlet inlet(host);
    auto receiver = CRtMidiBackend::OpenVirtualInput(name, inlet, error);
    if (!receiver)
        return CliError("Unable to open a MIDI port for the virtual device: " + error);
    inlet.Adopt(std::move(receiver));
    if (!outlet.Start() || !inlet.Start()) {
        inlet.Close();
        outlet.Close();
        return CliError("Unable to start the virtual device's MIDI ports.");
    }

    std::fprintf(stderr, "The virtual device listens on MIDI port \"%s\". Press Ctrl+C to stop.\n",
                 name.c_str());
    int signal = 0;
    sigwait(&stopSignals, &signal);
    inlet.Close();
    outlet.Close();
    if (!host.Shutdown(error))
        return CliError(error);
    return 0;
}

#include "app/cli/CliPortCommands.h"

#include <csignal>
#include <cstdio>
#include <memory>
#include <unistd.h>

#include "app/CTavSystem.h"
#include "app/CTavTextOut.h"
#include "app/TavStartup.h"
#include "app/TavStrings.h"
#include "app/cli/CliSupport.h"
#include "device/CTavBufferAccessor.h"
#include "device/CTavReader.h"
#include "entity/CTavUserNameFile.h"
#include "files/CTavDataFile.h"
#include "midi/CTavMidiReader.h"
#include "midi/port/CMidiDevices.h"
#include "midi/port/CMidiEventQueue.h"
#include "device/port/CQueuedDeviceReader.h"
#include "midi/port/CQueuedReader.h"
#include "midi/port/CRtMidiBackend.h"
#include "midi/port/CVirtualDevicePort.h"
#include "model/CTavBufferManager.h"
#include "script/CTavResourceManager.h"
#include "view/ITavProgress.h"

namespace {

// Set once from the command line, before any command runs.
uint8_t virtualDeviceIdByte = 0x10;
CVirtualDevice::Faults virtualDeviceFaults;

void ConfigureVirtualDevice(CVirtualDeviceHost& host, const CTavSystem& system) {
    host.Configure(TavReadScriptText(system), CVirtualDevice::DefaultMemoryPath());
    host.WithDevice([](CVirtualDevice& device) {
        device.SetDeviceId(virtualDeviceIdByte);
        device.InjectedFaults() = virtualDeviceFaults;
    });
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
// reader (the session's own unless another is given) and the session's writer on them.
int Connect(CTavSystem& system, PortSession& session, const TransferArguments& arguments,
            CTavMidiReader* reader = nullptr) {
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
    TavInstallTransfer(midi, reader ? *reader : session.reader, session.writer);
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

void CliSetVirtualDeviceFaults(const CVirtualDevice::Faults& faults) {
    virtualDeviceFaults = faults;
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
    std::string samples;
    for (size_t i = 0; i < arguments.size(); i += 2) {
        if (i + 1 >= arguments.size() || (arguments[i] != "--port" && arguments[i] != "--samples"))
            return CliError("simulate takes [--port NAME] [--samples DIR]");
        (arguments[i] == "--port" ? name : samples) = arguments[i + 1];
    }

    // The signals that end the simulation are taken by sigwait below, so every thread
    // started from here on has them blocked.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    CVirtualDeviceHost host;
    ConfigureVirtualDevice(host, system);
    host.SetSampleFolder(samples);
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

namespace {


class NameProgress : public ITavProgress {
public:
    void Start(int steps) override {
        m_total = steps > 0 ? static_cast<size_t>(steps) : 0;
        m_done = 0;
    }
    void Step() override {
        if (m_done < m_total)
            Progress("Reading names", ++m_done, m_total);
    }
    void Finish() override {}

private:
    size_t m_total = 0, m_done = 0;
};

std::vector<std::string> WaveNames(CTavSystem& system) {
    const CTavStringTable* table = system.ResourceManager().FindStringTable("internalWaveNameTable");
    return table ? table->Elements() : std::vector<std::string>();
}

} // namespace

int CliNames(CTavSystem& system, const std::vector<std::string>& arguments) {
    TransferArguments parsed;
    bool samples = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if ((argument == "--in" || argument == "--out" || argument == "--device-id") &&
            i + 1 < arguments.size()) {
            const std::string& value = arguments[++i];
            if (argument == "--in")
                parsed.in = value;
            else if (argument == "--out")
                parsed.out = value;
            else if (!(parsed.file.deviceId = CliParseDecimal(value)))
                return CliError("names takes --in NAME --out NAME [--samples] [--device-id N]");
        } else if (argument == "--samples") {
            samples = true;
        } else {
            return CliError("names takes --in NAME --out NAME [--samples] [--device-id N]");
        }
    }
    if (parsed.in.empty() || parsed.out.empty())
        return CliError("names takes --in NAME --out NAME [--samples] [--device-id N]");

    CTavEntityManager entities;
    TavCreateFixedBanks(entities, WaveNames(system));
    PortSession session(system);
    Brio::CQueuedDeviceReader reader(system, entities, session.queue);
    if (const int status = Connect(system, session, parsed, &reader))
        return session.Finish(status);
    NameProgress progress;
    reader.SetProgress(&progress);

    const uint32_t names = Brio::TavReadMask::UserPatchNames | Brio::TavReadMask::UserRhythmSetNames |
                           Brio::TavReadMask::CardNames;
    const int32_t steps = reader.CountSteps(names);
    progress.Start(steps);
    if (steps < 0 || !reader.ReadBlocks(names))
        return session.Finish(CliFileError(system));
    const std::string path = system.ScriptFolder() + CTavUserNameFile::kFileName;
    std::vector<CTavUserNameEntry> entries;
    if (!CTavUserNameFile::Save(path, entities, system.ErrorOutput()) ||
        !CTavUserNameFile::Load(path, entries, system.ErrorOutput())) {
        system.BufferOutput()->Report(TavStrings::kCodeSaveFailed);
        return session.Finish(CliFileError(system));
    }
    std::string out;
    char numbers[64];
    for (const CTavUserNameEntry& entry : entries) {
        std::snprintf(numbers, sizeof numbers, "\t%d\t%d\t%d\t%d\t", entry.program.msb, entry.program.lsb,
                      entry.program.program, entry.category);
        out += (entry.type == TavEntityType::RhythmSet ? "Rhythm" : "Patch") + std::string(numbers) +
               entry.name + "\n";
    }
    if (samples) {
        progress.Start(reader.CountSteps(Brio::TavReadMask::SampleNames));
        if (!reader.ReadBlocks(Brio::TavReadMask::SampleNames))
            return session.Finish(CliFileError(system));
        for (int32_t area : {TavEntityArea::User, TavEntityArea::Card})
            for (auto entry = entities.Reference({TavEntityType::Sample, area, 0, TavWildcard});
                 entry->IsValid(); entry->Next()) {
                const auto* sample = dynamic_cast<const Brio::CTavSampleInformation*>(&entry->Information());
                if (!sample || sample->IsNull() || entry->EntityId().number == 0)
                    continue;
                const CTavProgramId program = entry->ProgramId();
                std::snprintf(numbers, sizeof numbers, "\t%d\t%d\t%d\t%d\t%d\t", program.msb, program.lsb,
                              program.program, sample->Kind(), sample->Size());
                out += "Sample" + std::string(numbers) + sample->Name() + "\n";
            }
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return session.Finish(0);
}

// ---- Backup and restore through the device layer ------------------------------------------

namespace {

// The device layer's progress bar on standard error, worded by its message code.
class LayerProgress : public ITavProgress {
public:
    void Begin(int steps, int code, bool) override {
        m_verb = code == Brio::CTavBufferAccessor::kSynchronizingCode ? "Writing" : "Reading";
        Start(steps);
    }
    void Start(int steps) override {
        m_total = steps > 0 ? static_cast<size_t>(steps) : 0;
        m_done = 0;
    }
    void Step() override {
        if (m_done < m_total)
            Progress(m_verb, ++m_done, m_total);
    }
    void Finish() override {}

private:
    const char* m_verb = "Reading";
    size_t m_total = 0, m_done = 0;
};

// A session whose ports the device layer works through.
struct LayerSession {
    explicit LayerSession(CTavSystem& system) : system(system), ports(system) {}
    ~LayerSession() {
        accessor.Shutdown();
        system.ViewManager().SetProgress(nullptr);
    }

    // Opens the ports and starts the layer on them.
    int Open(const TransferArguments& arguments) {
        auto reader = std::make_unique<Brio::CQueuedDeviceReader>(system, accessor.Entities(), ports.queue);
        Brio::CQueuedDeviceReader* own = reader.get();
        if (const int status = Connect(system, ports, arguments, own))
            return status;
        system.ViewManager().SetProgress(&progress);
        if (!accessor.Start(system, std::move(reader), std::make_unique<Brio::CTavWriter>(system.BufferManager())))
            return CliError(system.ErrorText());
        // The input was opened above, and stays so for the session.
        accessor.SetInputLink([this] { return ports.input != nullptr; });
        // What the device or a file holds is what the tool reads, sends and compares: a
        // program the banks do not know is kept, never replaced by the first user patch.
        accessor.SetKeepPrograms(true);
        return 0;
    }
    // The failure's text: the message code left on the buffer output, else the one shown
    // at once (already on standard error); then what the reader or writer knows of it.
    int Failed() {
        const int status = system.PendingCode() != 0 ? CliFileError(system) : 1;
        const Brio::CTavReader* reader = accessor.Reader();
        const Brio::CTavWriter* writer = accessor.Writer();
        if (reader && !reader->Failure().empty())
            CliError(reader->Failure());
        else if (writer && !writer->Failure().empty())
            CliError(writer->Failure());
        return ports.Finish(status);
    }

    CTavSystem& system;
    PortSession ports;
    LayerProgress progress;
    Brio::CTavBufferAccessor accessor;
};

// The leaves Sync sends, in its order; the parts it skips have none.
std::vector<CTavLeafStruct*> SyncedLeaves(Brio::CTavBufferAccessor& accessor) {
    const Brio::CTavBoundTable& bound = accessor.Bound();
    std::vector<CTavStruct*> structs = {bound.setup, bound.system, bound.partInfo};
    for (int32_t part = 0; part < Brio::kTavPartCount; ++part)
        structs.push_back(Brio::CTavReader::PartEntityStruct(bound, &accessor, part));
    std::vector<CTavLeafStruct*> leaves;
    for (CTavStruct* structure : structs)
        if (structure)
            structure->ForEachLeaf([&](CTavLeafStruct& leaf) { leaves.push_back(&leaf); });
    return leaves;
}

} // namespace

int CliBackup(CTavSystem& system, const std::vector<std::string>& arguments) {
    TransferArguments parsed;
    if (!parsed.Parse(arguments))
        return CliError("backup takes --in NAME --out NAME [--device-id N] OUT.vro");
    LayerSession session(system);
    if (const int status = session.Open(parsed))
        return session.ports.Finish(status);
    // A backup takes the memory, not the names: the names file stays as it was.
    session.accessor.SetReadNamesWithoutFile(false);
    if (!session.accessor.Read())
        return session.Failed();
    system.BufferManager().ClearPending();
    CTavDataFile file(system.BufferManager(), system.BufferOutput());
    if (!file.Save(parsed.file.input))
        return session.ports.Finish(CliFileError(system));
    return session.ports.Finish(0);
}

int CliRestore(CTavSystem& system, const std::vector<std::string>& arguments) {
    std::vector<std::string> rest;
    bool verify = false;
    for (const std::string& argument : arguments)
        if (argument == "--verify")
            verify = true;
        else
            rest.push_back(argument);
    TransferArguments parsed;
    if (!parsed.Parse(rest))
        return CliError("restore takes --in NAME --out NAME [--device-id N] [--verify] FILE.vro");
    CTavDataFile file(system.BufferManager(), system.BufferOutput());
    if (!file.Load(parsed.file.input))
        return CliFileError(system);
    system.BufferManager().ClearPending();
    LayerSession session(system);
    if (const int status = session.Open(parsed))
        return session.ports.Finish(status);
    // What each part plays decides which structs go; the banks come from the device.
    if (!session.accessor.LoadBankLayout() || !session.accessor.Sync())
        return session.Failed();
    if (!verify)
        return session.ports.Finish(0);

    const std::vector<CTavLeafStruct*> leaves = SyncedLeaves(session.accessor);
    std::vector<std::vector<uint8_t>> sent;
    sent.reserve(leaves.size());
    for (CTavLeafStruct* leaf : leaves)
        sent.push_back(*leaf->Bytes());
    Brio::CTavReader& reader = *session.accessor.Reader();
    for (size_t i = 0; i < leaves.size(); ++i) {
        const TavRange range = leaves[i]->AbsoluteRange();
        if (!reader.RequestData(static_cast<uint32_t>(range.begin), range.Length())) {
            const int status = system.PendingCode() != 0 ? CliFileError(system) : 1;
            CliError("No answer to the request for " + leaves[i]->FullPath() + " at address " +
                     TavFormatAddress(range.begin) + " (" + std::to_string(range.Length()) + " bytes).");
            return session.ports.Finish(status);
        }
        Progress("Verifying", i + 1, leaves.size());
        const std::vector<uint8_t>& held = *leaves[i]->Bytes();
        if (held == sent[i])
            continue;
        size_t at = 0;
        while (at < held.size() && at < sent[i].size() && held[at] == sent[i][at])
            ++at;
        char difference[128];
        std::snprintf(difference, sizeof difference,
                      "The first byte that differs is at address %s: sent %02X, read %02X.",
                      TavFormatAddress(range.begin + static_cast<int32_t>(at)).c_str(),
                      at < sent[i].size() ? sent[i][at] : 0, at < held.size() ? held[at] : 0);
        CliError("The device holds other data at " + leaves[i]->FullPath() + ".");
        return session.ports.Finish(CliError(difference));
    }
    return session.ports.Finish(0);
}

int CliWithDeviceLayer(CTavSystem& system, const std::string& in, const std::string& out,
                       std::optional<int32_t> deviceId, const std::function<int(Brio::CTavBufferAccessor&)>& work) {
    TransferArguments parsed;
    parsed.in = in;
    parsed.out = out;
    parsed.file.deviceId = deviceId;
    LayerSession session(system);
    if (const int status = session.Open(parsed))
        return session.ports.Finish(status);
    return session.ports.Finish(work(session.accessor));
}

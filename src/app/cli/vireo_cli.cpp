// vireo-cli: the headless companion of the editor. It runs on the same core without any
// window: it reads the editor script, builds the managers and reports what went wrong.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/CTavSystem.h"
#include "app/TavStartup.h"
#include "app/cli/CliCoverageCommands.h"
#include "app/cli/CliEditCommands.h"
#include "app/cli/CliMidiCommands.h"
#include "app/cli/CliModelCommands.h"
#include "app/cli/CliOptions.h"
#include "app/cli/CliSampleCommands.h"
#include "app/cli/CliPortCommands.h"
#include "app/cli/CliSmfCommands.h"
#include "app/cli/CliSmfTransfer.h"
#include "virtual/TavVirtualDeviceOptions.h"

namespace {

constexpr const char* kUsage =
    "Usage: vireo-cli [--script-dir DIR] [--virtual-device-id N] [--virtual-device-fault=LIST]\n"
    "                 COMMAND [ARGUMENTS]\n"
    "\n"
    "Commands:\n"
    "  check                 read the editor script and build the managers as the\n"
    "                        editor does at start-up; print the start-up error text\n"
    "                        and exit 1 when that fails\n"
    "  coverage              build the panels as check does and list every value of qv\n"
    "                        that no control edits, one path per line (an index written\n"
    "                        as an expression counts for every index it can take); then\n"
    "                        the values the script declares to have no control on purpose\n"
    "                        (noControl elements), indented, each with its reason; and\n"
    "                        last the line \"N of M values have a control\"\n"
    "  paths [PREFIX]        list every value whose path starts with PREFIX: path,\n"
    "                        address, size, type, minimum, maximum, default\n"
    "  new OUT.vro           write a data file holding every default\n"
    "  get FILE.vro PATH...  print PATH=VALUE for each value in the file\n"
    "  set FILE.vro PATH=VALUE... [-o OUT.vro] [--sysex] [--device-id N]\n"
    "                        edit values as a user would, the editor's rules applied\n"
    "                        (ranges, voice reserves), and save the file (in place,\n"
    "                        or to OUT.vro); VALUE is a decimal raw value or a text in\n"
    "                        double quotes; --sysex prints every message the edits\n"
    "                        sent, in hex, one per line\n"
    "  edit FILE.vro [--part N] [--rhythm-tone K] COMMAND... [-o OUT.vro]\n"
    "                        run Edit menu commands by their menu text (\"Initialize\n"
    "                        Rhythm Set\", \"Copy Part Info Part 3\", \"Paste Patch Tone 4\")\n"
    "                        in order, offline, and save the file (in place, or to\n"
    "                        OUT.vro); --part shows part N (1 to 16) and --rhythm-tone\n"
    "                        selects rhythm key K (0 to 15) for the commands after it,\n"
    "                        each as often as needed; the user banks come from\n"
    "                        UserName.txt in the script folder, else one bank of 128\n"
    "                        patches and one of 128 rhythm sets\n"
    "  export-smf FILE.vro OUT.mid [--with-patches] [--device-id N]\n"
    "                        write the file's part settings as a Standard MIDI File of\n"
    "                        data sets, as the editor's Export SMF does; --with-patches\n"
    "                        adds each part's patch or rhythm set (up to the first part\n"
    "                        that plays neither); the user banks as for edit\n"
    "  import-smf IN.mid FILE.vro [-o OUT.vro] [--in NAME --out NAME] [--device-id N]\n"
    "                        apply the device's data sets in the MIDI file to the data\n"
    "                        file and save it (in place, or to OUT.vro); with ports,\n"
    "                        also send each data set to the device as the editor does.\n"
    "                        A file that cannot be read to its end exits 1 saying why;\n"
    "                        offline it saves nothing, with ports the file gets the\n"
    "                        data sets the device took before the fault\n"
    "  receive FILE.vro HEX... [-o OUT.vro] [--device-id N]\n"
    "                        offer each message (hex bytes, one message per argument)\n"
    "                        to the first MIDI input as if the device sent it, save,\n"
    "                        and print the paths of the values that changed\n"
    "  ports                 list the MIDI input and output ports, the virtual device\n"
    "                        included\n"
    "  read --in NAME --out NAME [--device-id N] OUT.vro\n"
    "                        read the device's whole memory block by block through\n"
    "                        the named ports and save it as a data file\n"
    "  write --in NAME --out NAME [--device-id N] FILE.vro\n"
    "                        send every block of the data file to the device\n"
    "  backup --in NAME --out NAME [--device-id N] OUT.vro\n"
    "                        check the device's identity, take it out of PC mode and\n"
    "                        read what the editor edits (setup, system, part info and\n"
    "                        every part's patch or rhythm set) into a data file\n"
    "  restore --in NAME --out NAME [--device-id N] [--verify] FILE.vro\n"
    "                        send a data file's setup, system, part info and every\n"
    "                        part's patch or rhythm set to the device; --verify reads\n"
    "                        them back and names the first block that differs\n"
    "  names --in NAME --out NAME [--samples] [--device-id N]\n"
    "                        read the names of the user and card patches and rhythm\n"
    "                        sets (with --samples also the sample names), store them\n"
    "                        in UserName.txt in the script folder and print them:\n"
    "                        LABEL, MSB, LSB, PC, CATEGORY, NAME separated by tabs\n"
    "                        (samples: Sample, 83, LSB, NUMBER, KIND, SIZE, NAME)\n"
    "  samples --in NAME --out NAME [--device-id N]\n"
    "                        read the sample names and print the user and card\n"
    "                        samples: User or Card, NUMBER, KIND (mono, stereo-left,\n"
    "                        stereo-right), SIZE, NAME separated by tabs\n"
    "  sample --in NAME --out NAME [--device-id N] [--overwrite] GROUP NUMBER COMMAND [ARG]\n"
    "                        run a sample command on sample NUMBER of GROUP (user or\n"
    "                        card): truncate, normalize, emphasis, amp [PERCENT],\n"
    "                        time-stretch RATIO (0.5 to 2), chop, chop-level N,\n"
    "                        chop-beat N, chop-divide N or unload; --overwrite replaces\n"
    "                        the sample instead of writing a new one; the device's\n"
    "                        progress goes to standard error; a failed or unanswered\n"
    "                        command exits 1 with its message\n"
    "  wave --in NAME --out NAME [--device-id N] GROUP NUMBER [--points N]\n"
    "                        print the sample's waveform reduced to N points (default\n"
    "                        117): FRAME, MIN, MAX separated by tabs\n"
    "  smf-dump IN.mid       print a Standard MIDI File: the header (format, tracks,\n"
    "                        division), each track and each event with its delta\n"
    "                        time, kind (channel, system, exclusive, escape, meta\n"
    "                        TYPE) and bytes in hex; a file that cannot be read to\n"
    "                        its end prints what was read and exits 1 saying where\n"
    "                        and why it stopped\n"
    "  simulate [--port NAME] [--samples DIR]\n"
    "                        run the virtual device on a MIDI sequencer port (default\n"
    "                        \"Vireo Virtual Device\") until interrupted; with --samples\n"
    "                        its user samples are the WAV and FLAC files of DIR (44100\n"
    "                        Hz, mono or stereo, in name order)\n"
    "\n"
    "The device ID N is the byte 16 to 31 (shown to users as 17 to 32); default 16.\n"
    "\n"
    "Options:\n"
    "  --script-dir DIR  read VireoEditorScript.xml from DIR (default: $VIREO_SCRIPT_DIR,\n"
    "                    else the Script folder beside the program)\n"
    "  --virtual-device-id N\n"
    "                    the device ID the virtual device answers to, 17 to 32 as the\n"
    "                    MIDI setup shows it (default 17); for every command that opens\n"
    "                    ports, and simulate\n"
    "  --virtual-device-fault=LIST\n"
    "                    make the virtual device misbehave, for trying the failure\n"
    "                    paths: a comma-separated list of identity (another model's\n"
    "                    identity reply), silent (no answer at all), leave-pc-mode\n"
    "                    (leaves PC mode as soon as it enters it), modify-error (every\n"
    "                    sample modify command fails), drop=N (every Nth answer is\n"
    "                    lost) and corrupt=N (byte N, from 0, of every data set's data\n"
    "                    is stored with its lowest bit flipped)\n"
    "  --help            show this text\n";

int Usage(const std::string& error) {
    std::fprintf(stderr, "vireo-cli: %s\n\n%s", error.c_str(), kUsage);
    return 2;
}

// Loads the script into the system as the editor's start-up does; on failure writes the
// start-up error text to standard error.
bool StartUp(CTavSystem& system, const CliOptions& options, CTavSystem::Views views) {
    const char* environment = std::getenv("VIREO_SCRIPT_DIR");
    system.SetScriptFolder(
        TavResolveScriptFolder(TavProgramFolder(), options.scriptDir, environment ? environment : ""));
    TavInstallHeadlessOutputs(system);
    std::string failure;
    if (TavLoadScriptAndCreateManagers(system, failure, views))
        return true;
    std::fputs(failure.c_str(), stderr);
    return false;
}

struct Command {
    const char* name;
    int (*run)(CTavSystem&, const std::vector<std::string>&);
};

// The editor cannot start without the root panel "main".
int Check(CTavSystem& system, const std::vector<std::string>&) {
    if (system.ViewManager().FindRootPanel("main"))
        return 0;
    std::fputs((system.ErrorText() + "Unable to open main panel.\n").c_str(), stderr);
    return 1;
}

constexpr Command kCommands[] = {
    {"check", Check},    {"paths", CliPaths},       {"new", CliNew},     {"get", CliGet},
    {"set", CliSet},     {"receive", CliReceive},   {"ports", CliPorts}, {"read", CliRead},
    {"write", CliWrite}, {"simulate", CliSimulate}, {"names", CliNames},
    {"backup", CliBackup}, {"restore", CliRestore}, {"edit", CliEdit},
    {"export-smf", CliExportSmf}, {"import-smf", CliImportSmf}, {"coverage", CliCoverage},
    {"samples", CliSamples}, {"sample", CliSample}, {"wave", CliWave},
};

} // namespace

int main(int argc, char** argv) {
    CliOptions options;
    std::string error;
    if (!ParseCliOptions(argc, argv, options, error))
        return Usage(error);
    if (options.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (options.command.empty())
        return Usage("no command given");
    if (options.virtualDeviceId) {
        uint8_t id = 0;
        if (!TavParseVirtualDeviceId(*options.virtualDeviceId, id, error)) {
            std::fprintf(stderr, "vireo-cli: %s\n", error.c_str());
            return 1;
        }
        CliSetVirtualDeviceId(id);
    }
    if (options.virtualDeviceFaults) {
        CVirtualDevice::Faults faults;
        if (!TavParseVirtualDeviceFaults(*options.virtualDeviceFaults, faults, error)) {
            std::fprintf(stderr, "vireo-cli: %s\n", error.c_str());
            return 1;
        }
        CliSetVirtualDeviceFaults(faults);
    }

    // Commands on files of their own need no script.
    if (options.command == "smf-dump")
        return CliSmfDump(options.arguments);

    const Command* command = nullptr;
    for (const Command& candidate : kCommands)
        if (options.command == candidate.name)
            command = &candidate;
    if (!command)
        return Usage("unknown command " + options.command);
    if (command->run == Check && !options.arguments.empty())
        return Usage("check takes no arguments");

    CTavSystem& system = CTavSystem::Instance();
    // Only check and coverage look at the panels; the other commands need the parameter
    // model alone.
    const bool panels = command->run == Check || command->run == CliCoverage;
    const CTavSystem::Views views = panels ? CTavSystem::Views::Build : CTavSystem::Views::Skip;
    const int status = StartUp(system, options, views) ? command->run(system, options.arguments) : 1;
    system.Shutdown();
    return status;
}

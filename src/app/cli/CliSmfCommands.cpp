#include "app/cli/CliSmfCommands.h"

#include <cstdio>

#include "app/TavStrings.h"
#include "app/cli/CliSupport.h"
#include "files/CTavSmf.h"

namespace {

uint32_t BigEndian(const uint8_t* bytes, size_t count) {
    uint32_t value = 0;
    for (size_t i = 0; i < count; ++i)
        value = (value << 8) | bytes[i];
    return value;
}

// Prints each part of the file as it is read, so a fault leaves everything before it shown.
class CDump : public CTavSmfFileRead {
public:
    using CTavSmfFileRead::CTavSmfFileRead;

protected:
    void OnHeader(const uint8_t* header) override {
        std::printf("header: format %u, tracks %u, division %u\n", BigEndian(header + 8, 2),
                    BigEndian(header + 10, 2), BigEndian(header + 12, 2));
    }
    void OnTrack(const uint8_t* trackHeader) override {
        std::printf("track %d: length %u\n", CurrentTrack() + 1, BigEndian(trackHeader + 4, 4));
    }
    void OnShortEvent(uint32_t delta, const TavBytes& message) override {
        Print(delta, EventStatus() >= 0xF0 ? "system" : "channel", message);
    }
    void OnExclusiveEvent(uint32_t delta, const CTavLongMessage& message) override {
        Print(delta, EventStatus() == 0xF7 ? "escape" : "exclusive", message.Bytes());
    }
    void OnMetaEvent(uint32_t delta, uint8_t type, const TavBytes& data) override {
        char kind[16];
        std::snprintf(kind, sizeof kind, "meta %02X", type);
        Print(delta, kind, data);
    }

private:
    static void Print(uint32_t delta, const char* kind, const TavBytes& bytes) {
        std::printf("  %u %s:%s%s\n", delta, kind, bytes.empty() ? "" : " ", CliHex(bytes).c_str());
    }
};

} // namespace

int CliSmfDump(const std::vector<std::string>& arguments) {
    if (arguments.size() != 1)
        return CliError("smf-dump takes one file");
    const std::string loadFailed(TavStrings::Text(TavStrings::kFileNotLoaded));
    CDump dump(arguments[0]);
    if (!dump.IsOpen())
        return CliError(loadFailed + " : " + dump.OpenFault());
    const bool ok = dump.Read();
    std::fflush(stdout);
    return ok ? 0 : CliError(loadFailed + " : " + dump.FaultText());
}

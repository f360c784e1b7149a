#include "midi/port/CMidiPorts.h"

#include <algorithm>
#include <cctype>

namespace {

bool Contains(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

} // namespace

std::vector<std::string> CMidiPorts::InputNames() const {
    std::vector<std::string> names;
    for (const auto& backend : m_backends)
        for (std::string& name : backend->InputNames())
            names.push_back(std::move(name));
    return names;
}

std::vector<std::string> CMidiPorts::OutputNames() const {
    std::vector<std::string> names;
    for (const auto& backend : m_backends)
        for (std::string& name : backend->OutputNames())
            names.push_back(std::move(name));
    return names;
}

// The first backend that lists the name opens it; names are compared exactly.
std::unique_ptr<IMidiInDriver> CMidiPorts::OpenInput(const std::string& name, CMidiIn& input,
                                                     std::string& error) const {
    error.clear();
    for (const auto& backend : m_backends)
        if (Contains(backend->InputNames(), name))
            return backend->OpenInput(name, input, error);
    return nullptr;
}

std::unique_ptr<IMidiOutDriver> CMidiPorts::OpenOutput(const std::string& name, std::string& error) const {
    error.clear();
    for (const auto& backend : m_backends)
        if (Contains(backend->OutputNames(), name))
            return backend->OpenOutput(name, error);
    return nullptr;
}

std::string CMidiPorts::FindInput(const std::string& saved) const {
    return TavMatchPortName(saved, InputNames());
}

std::string CMidiPorts::FindOutput(const std::string& saved) const {
    return TavMatchPortName(saved, OutputNames());
}

std::string TavPortNameWithoutNumbers(const std::string& name) {
    // " client:port" at the end, both numbers of at least one digit.
    const auto isDigit = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; };
    size_t at = name.size();
    const auto digitsBefore = [&]() {
        const size_t end = at;
        while (at > 0 && isDigit(name[at - 1]))
            --at;
        return at < end;
    };
    if (!digitsBefore() || at == 0 || name[at - 1] != ':')
        return name;
    --at;
    if (!digitsBefore() || at == 0 || name[at - 1] != ' ')
        return name;
    return name.substr(0, at - 1);
}

std::string TavMatchPortName(const std::string& saved, const std::vector<std::string>& present) {
    if (saved.empty())
        return {};
    if (Contains(present, saved))
        return saved;
    const std::string stem = TavPortNameWithoutNumbers(saved);
    for (const std::string& name : present)
        if (TavPortNameWithoutNumbers(name) == stem)
            return name;
    return {};
}

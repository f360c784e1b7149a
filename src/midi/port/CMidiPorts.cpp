#include "midi/port/CMidiPorts.h"

#include <algorithm>

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

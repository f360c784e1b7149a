#include "device/CTavFunctionManager.h"

bool CTavFunctionManager::Register(std::string_view name, std::unique_ptr<IFunctor> functor) {
    if (!functor)
        return false;
    return m_functions.emplace(std::string(name), std::move(functor)).second;
}

bool CTavFunctionManager::Call(std::string_view name, const std::string& arguments) {
    const auto found = m_functions.find(name);
    return found != m_functions.end() && found->second->Invoke(arguments);
}

bool CTavFunctionManager::Post(std::string_view name, const std::string& arguments,
                               ITavFunctionPostCaller* caller) {
    const auto found = m_functions.find(name);
    if (found == m_functions.end() || !caller)
        return false;
    return caller->Post(std::make_unique<CFunctor>(*found->second, arguments));
}

bool CTavFunctionManager::Unregister(std::string_view name) {
    const auto found = m_functions.find(name);
    if (found == m_functions.end())
        return false;
    m_functions.erase(found);
    return true;
}

#pragma once
// A device function registered on the root object while it lives, recording the argument
// texts it is called with; it reports itself enabled while enabled is set.

#include <memory>
#include <string>
#include <vector>

#include "app/CTavSystem.h"
#include "device/CTavFunctionManager.h"

namespace test {

class RecordedFunction {
public:
    explicit RecordedFunction(std::string name) : m_name(std::move(name)) {
        CTavSystem::Instance().FunctionManager().Register(m_name, std::make_unique<Functor>(*this));
    }
    ~RecordedFunction() { CTavSystem::Instance().FunctionManager().Unregister(m_name); }
    RecordedFunction(const RecordedFunction&) = delete;
    RecordedFunction& operator=(const RecordedFunction&) = delete;

    std::vector<std::string> calls;
    bool enabled = true;

private:
    class Functor : public CTavFunctionManager::IFunctor {
    public:
        explicit Functor(RecordedFunction& owner) : m_owner(owner) {}
        bool Invoke(const std::string& arguments) override {
            m_owner.calls.push_back(arguments);
            return true;
        }
        bool IsEnabled() const override { return m_owner.enabled; }

    private:
        RecordedFunction& m_owner;
    };
    std::string m_name;
};

} // namespace test

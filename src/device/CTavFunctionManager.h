#pragma once
// Registry of the device functions that buttons and commands call by name, and the post
// caller that runs a call later from the event loop, one call per posted event, when the
// caller must not run it inside its own event handling. GUI thread only.

#include <map>
#include <memory>
#include <string>
#include <string_view>

// Runs queued calls later on the GUI thread.
class ITavFunctionPostCaller {
public:
    class IFunctor {
    public:
        virtual ~IFunctor() = default;
        virtual bool Invoke() = 0;
    };

    virtual ~ITavFunctionPostCaller() = default;
    // Takes the functor over and runs it later; false (and the functor destroyed) when it
    // cannot be queued.
    virtual bool Post(std::unique_ptr<IFunctor> functor) = 0;
};

class CTavFunctionManager {
public:
    class IFunctor {
    public:
        virtual ~IFunctor() = default;
        virtual bool Invoke(const std::string& arguments) = 0;
        // Whether a button should offer the function now (a function that needs the MIDI
        // link is disabled while it is down). Calling it anyway is allowed.
        virtual bool IsEnabled() const { return true; }
    };

    // A registered function bound to its arguments, for the post caller.
    class CFunctor : public ITavFunctionPostCaller::IFunctor {
    public:
        CFunctor(CTavFunctionManager::IFunctor& function, std::string arguments)
            : m_function(function), m_arguments(std::move(arguments)) {}
        bool Invoke() override { return m_function.Invoke(m_arguments); }

    private:
        CTavFunctionManager::IFunctor& m_function;
        std::string m_arguments;
    };

    // False, and the new functor destroyed, when the name is taken; the first one stays.
    bool Register(std::string_view name, std::unique_ptr<IFunctor> functor);
    // Runs the function at once; false when the name is not registered.
    bool Call(std::string_view name, const std::string& arguments);
    // Queues the call on the post caller; false when the name is not registered or there is
    // no post caller.
    bool Post(std::string_view name, const std::string& arguments, ITavFunctionPostCaller* caller);
    bool Unregister(std::string_view name);
    bool IsRegistered(std::string_view name) const { return m_functions.find(name) != m_functions.end(); }
    // Registered and enabled now.
    bool IsEnabled(std::string_view name) const {
        const auto found = m_functions.find(name);
        return found != m_functions.end() && found->second->IsEnabled();
    }
    size_t Count() const { return m_functions.size(); }
    // Forgets every registered function.
    void Clear() { m_functions.clear(); }

private:
    std::map<std::string, std::unique_ptr<IFunctor>, std::less<>> m_functions;
};

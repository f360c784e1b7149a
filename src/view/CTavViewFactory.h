#pragma once
// View factories create panels and controls by kind. The platform's factory creates the
// window-bound root and node panels and the kinds it knows, and falls back to the generic
// factory for the rest.

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

class CTavNodePanel;
class CTavRootPanel;
class CTavView;

class ITavViewFactory {
public:
    virtual ~ITavViewFactory() = default;
    virtual std::unique_ptr<CTavRootPanel> CreateRootPanel() = 0;
    virtual std::unique_ptr<CTavNodePanel> CreateNodePanel() = 0;
    // Null for a kind the factory does not know.
    virtual std::unique_ptr<CTavView> CreateControl(std::string_view kind) = 0;
};

// The core panels and the generic control kinds.
class CTavViewFactory : public ITavViewFactory {
public:
    using Maker = std::function<std::unique_ptr<CTavView>()>;

    CTavViewFactory();
    ~CTavViewFactory() override;

    std::unique_ptr<CTavRootPanel> CreateRootPanel() override;
    std::unique_ptr<CTavNodePanel> CreateNodePanel() override;
    std::unique_ptr<CTavView> CreateControl(std::string_view kind) override;

    // Makes kind known (or replaces what it makes).
    void Register(std::string kind, Maker maker);
    bool Knows(std::string_view kind) const { return m_makers.find(kind) != m_makers.end(); }

private:
    std::map<std::string, Maker, std::less<>> m_makers;
};

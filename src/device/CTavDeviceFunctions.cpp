#include "device/CTavDeviceFunctions.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/CTavSystem.h"
#include "device/CTavBufferAccessor.h"
#include "device/CTavFunctionManager.h"
#include "device/CTavSampleFunctions.h"
#include "model/CTavBufferManager.h"
#include "model/CTavValue.h"
#include "view/CTavMenuItem.h"
#include "view/ITavPopupMenu.h"

namespace Brio {

namespace {

// Bounds what an argument text may cost to split.
constexpr size_t kMaxArgumentLength = 1024;

std::vector<std::string> Items(const std::string& text) {
    std::vector<std::string> items;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(',', start);
        if (end == std::string::npos)
            end = text.size();
        size_t first = start, last = end;
        while (first < last && static_cast<unsigned char>(text[first]) < 0x21)
            ++first;
        while (last > first && static_cast<unsigned char>(text[last - 1]) < 0x21)
            --last;
        if (last > first)
            items.push_back(text.substr(first, last - first));
        start = end + 1;
    }
    return items;
}

bool Decimal(const std::string& item, long& out) {
    errno = 0;
    char* end = nullptr;
    out = std::strtol(item.c_str(), &end, 10);
    return errno == 0 && end == item.c_str() + item.size();
}

// A function that runs under the wait cursor.
class CFunction : public CTavFunctionManager::IFunctor {
public:
    explicit CFunction(CTavBufferAccessor& accessor) : m_accessor(accessor) {}
    bool Invoke(const std::string& arguments) override {
        CTavWaitCursor wait(m_accessor);
        return Run(arguments);
    }

protected:
    virtual bool Run(const std::string& arguments) = 0;
    CTavBufferAccessor& m_accessor;
};

class FRead : public CFunction {
    using CFunction::CFunction;
    bool Run(const std::string&) override { return m_accessor.Read(); }
    bool IsEnabled() const override { return m_accessor.PortsReady(); }
};

class FSync : public CFunction {
    using CFunction::CFunction;
    bool Run(const std::string&) override { return m_accessor.Sync(); }
    bool IsEnabled() const override { return m_accessor.PortsReady(); }
};

class FSelectPatch : public CFunction {
public:
    FSelectPatch(CTavBufferAccessor& accessor, bool byCategory) : CFunction(accessor), m_byCategory(byCategory) {}

private:
    bool Run(const std::string& arguments) override {
        int32_t part = 0;
        if (!m_accessor.Buffers() || !TavEvaluatePartExpression(arguments, *m_accessor.Buffers(), part))
            return false;
        return m_byCategory ? m_accessor.SelectByCategory(part) : m_accessor.SelectByBank(part);
    }
    bool m_byCategory;
};

class FSelectSelectRhythmKey : public CFunction {
    using CFunction::CFunction;
    bool Run(const std::string&) override {
        CTavBufferManager* buffers = m_accessor.Buffers();
        CTavSystem* system = m_accessor.System();
        CTavValue* tone = m_accessor.Bound().rhythmTone;
        if (!buffers || !system || !system->PopupMenu() || !tone)
            return false;
        const std::unique_ptr<CTavMenuItem> menu = TavRhythmKeyMenu(*buffers, m_accessor.CurrentPart());
        const int32_t chosen = system->PopupMenu()->Show(*menu, tone->GetRaw(), TavPopupPosition::AtMouse());
        if (chosen < 0 || chosen >= kTavRhythmToneCount)
            return false;
        m_accessor.Notify(tone, chosen);
        buffers->PublishPending();
        buffers->ClearPending();
        return true;
    }
};

} // namespace

void TavUnregisterDeviceFunctions(CTavFunctionManager& functions) {
    for (const char* name : kTavDeviceFunctionNames)
        functions.Unregister(name);
}

void TavRegisterDeviceFunctions(CTavFunctionManager& functions, CTavBufferAccessor& accessor) {
    TavUnregisterDeviceFunctions(functions);
    functions.Register(kTavDeviceFunctionNames[0], std::make_unique<FRead>(accessor));
    functions.Register(kTavDeviceFunctionNames[1], std::make_unique<FSync>(accessor));
    functions.Register(kTavDeviceFunctionNames[2], std::make_unique<FSelectPatch>(accessor, false));
    functions.Register(kTavDeviceFunctionNames[3], std::make_unique<FSelectPatch>(accessor, true));
    functions.Register(kTavDeviceFunctionNames[4], std::make_unique<FSelectSelectRhythmKey>(accessor));
    TavRegisterSampleFunctions(functions, accessor);
}

bool TavEvaluatePartExpression(const std::string& arguments, CTavBufferManager& buffers, int32_t& part) {
    if (arguments.size() > kMaxArgumentLength)
        return false;
    const std::vector<std::string> items = Items(arguments);
    long index = 0;
    if (items.size() == 1) {
        if (!Decimal(items[0], index))
            return false;
    } else if (items.size() == 2) {
        const CTavValue* value = buffers.FindValue(items[0]);
        long offset = 0;
        if (!value || !Decimal(items[1], offset) || offset < -kTavPartCount || offset > kTavPartCount)
            return false;
        index = value->GetRaw() + offset;
    } else {
        return false;
    }
    if (index < 0 || index >= kTavPartCount)
        return false;
    part = static_cast<int32_t>(index);
    return true;
}

std::string TavNoteName(int32_t note) {
    static const char letters[] = "CCDEEFFGGABB";
    static const char signs[] = " # b  # # b ";
    const int32_t n = note < 0 ? 0 : note;
    char text[16];
    std::snprintf(text, sizeof text, "%c%c%d", letters[n % 12], signs[n % 12], n / 12 - 1);
    return text;
}

std::unique_ptr<CTavMenuItem> TavRhythmKeyMenu(CTavBufferManager& buffers, int32_t part) {
    auto menu = CTavMenuItem::Submenu("");
    char path[64];
    for (int32_t i = 0; i < kTavRhythmToneCount; ++i) {
        std::snprintf(path, sizeof path, "qv.rhy[%d].tone[%d].toneName", part, i);
        const CTavValue* name = buffers.FindValue(path);
        const std::string text =
            TavNoteName(CTavBufferAccessor::kFirstRhythmNote + i) + ": " + (name ? name->GetText() : std::string());
        menu->Append(std::make_unique<CTavMenuItem>(text)).SetLeafIndex(i);
    }
    return menu;
}

} // namespace Brio

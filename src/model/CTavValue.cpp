#include "model/CTavValue.h"

#include <algorithm>
#include <cstring>

#include "app/CTavTextOut.h"
#include "model/ITavDataOut.h"
#include "model/CTavStruct.h"

bool CTavValue::Attach(CTavStruct* parent, CTavTextOut* errors) {
    m_parent = parent;
    std::vector<uint8_t>* bytes = parent ? parent->Bytes() : nullptr;
    const TavRange range = Range();
    if (!bytes || range.begin < 0 || range.end < range.begin ||
        range.end > static_cast<int32_t>(bytes->size())) {
        m_bytes = nullptr;
        if (errors)
            errors->Printf("Value address range exceeds parent struct's one. : %s\n", FullPath().c_str());
        return false;
    }
    m_bytes = bytes->data() + range.begin;
    return true;
}

void CTavValue::SetRaw(int32_t raw) {
    if (m_bytes && Kind() == kTavKindInteger && Size() >= TavValueTypeSize(m_spec->type))
        TavEncodeValue(m_spec->type, raw, m_bytes);
}

int32_t CTavValue::GetRaw() const {
    if (!m_bytes || Kind() != kTavKindInteger || Size() < TavValueTypeSize(m_spec->type))
        return 0;
    return TavDecodeValue(m_spec->type, m_bytes);
}

void CTavValue::SetText(const std::string& text) {
    if (!m_bytes)
        return;
    const size_t size = static_cast<size_t>(std::max(Size(), 0));
    std::memcpy(m_bytes, text.data(), std::min(size, text.size()));
}

std::string CTavValue::GetText() const {
    if (!m_bytes)
        return std::string();
    return std::string(reinterpret_cast<const char*>(m_bytes), static_cast<size_t>(std::max(Size(), 0)));
}

void CTavValue::SetList(const std::vector<int32_t>&) {}

std::vector<int32_t> CTavValue::GetList() const {
    return {};
}

bool CTavValue::Transmit() const {
    // An edit goes to the device as one data set holding the whole leaf that contains it.
    return m_parent && m_bytes && m_parent->Transmit();
}

bool CTavValue::TransmitOnce(uint32_t pass) const {
    if (m_parent && m_bytes)
        return m_parent->TransmitOnce(pass);
    return Transmit();
}

void CTavValue::ResetToDefault() {
    switch (Kind()) {
    case kTavKindInteger:
        SetRaw(m_spec->defaultValue);
        break;
    case kTavKindString: {
        std::string text = m_spec->defaultText;
        text.resize(static_cast<size_t>(std::max(Size(), 0)), ' ');
        SetText(text);
        break;
    }
    default:
        SetList({m_spec->defaultValue});
        break;
    }
}

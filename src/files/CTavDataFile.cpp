#include "files/CTavDataFile.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "app/CTavTextOut.h"
#include "app/TavStrings.h"
#include "files/TavReadFile.h"
#include "files/TavSafeFile.h"
#include "model/CTavBufferManager.h"

namespace {

constexpr size_t kMagicOffset = 0, kMagicWidth = 16;
constexpr size_t kRootOffset = 16, kRootWidth = 64;
constexpr size_t kModelOffset = 80, kModelWidth = 16;

// Left-aligned, blank-padded to width, cut at width.
void PutField(uint8_t* header, size_t offset, size_t width, std::string_view text) {
    std::memset(header + offset, ' ', width);
    std::memcpy(header + offset, text.data(), std::min(width, text.size()));
}

// The field as text up to its width or its first zero byte, blank-padded to the width.
std::string FieldText(const uint8_t* header, size_t offset, size_t width) {
    std::string text(reinterpret_cast<const char*>(header + offset), width);
    const size_t zero = text.find('\0');
    if (zero != std::string::npos)
        text.resize(zero);
    text.resize(width, ' ');
    return text;
}

std::string Padded(std::string_view text, size_t width) {
    std::string padded(text.substr(0, width));
    padded.resize(width, ' ');
    return padded;
}

struct FileCloser {
    void operator()(std::FILE* file) const {
        if (file)
            std::fclose(file);
    }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

} // namespace

std::string TavDataFileSettings::Filter() const {
    return modelName + " Editor Files(*" + extension + ")|*" + extension + "|All Files(*.*)|*.*||";
}

std::string TavDataFileSettings::DefaultExtension() const {
    return extension.starts_with('.') ? extension.substr(1) : extension;
}

CTavDataFile::CTavDataFile(CTavBufferManager& buffers, CTavTextOut* report, TavDataFileSettings settings)
    : m_buffers(buffers), m_report(report), m_settings(std::move(settings)) {}

bool CTavDataFile::Fail(int code) {
    if (m_report)
        m_report->Report(code);
    return false;
}

std::array<uint8_t, CTavDataFile::kHeaderSize> CTavDataFile::Header() const {
    std::array<uint8_t, kHeaderSize> header{};
    PutField(header.data(), kMagicOffset, kMagicWidth, kMagic);
    PutField(header.data(), kRootOffset, kRootWidth, m_settings.rootName);
    PutField(header.data(), kModelOffset, kModelWidth, m_settings.modelName);
    return header;
}

bool CTavDataFile::Encode(std::vector<uint8_t>& file) {
    m_why.clear();
    CTavRootStruct* root = m_buffers.FindRoot(m_settings.rootName);
    if (!root) {
        m_why = "the edit state has no root struct " + m_settings.rootName;
        return false;
    }
    const auto header = Header();
    file.assign(header.begin(), header.end());
    file.reserve(header.size() + CTavBufferManager::BodySize(*root));
    root->ForEachLeaf([&](CTavLeafStruct& leaf) {
        const std::vector<uint8_t>& bytes = *leaf.Bytes();
        file.insert(file.end(), bytes.begin(), bytes.end());
    });
    // What Load would refuse is never written: the file must read back.
    if (!CTavBufferManager::CanHoldBody(*root, file.data() + header.size(), file.size() - header.size())) {
        m_why = "the edit state holds a byte a value cannot hold, so the file could not be read back";
        return false;
    }
    return true;
}

bool CTavDataFile::Save(const std::string& path) {
    CTavRootStruct* root = m_buffers.FindRoot(m_settings.rootName);
    std::vector<uint8_t> file;
    if (!root || path.empty() || !Encode(file))
        return Fail(TavStrings::kCodeSaveFailed);
    if (!TavSaveFileSafely(path, file.data(), file.size(), &m_why))
        return Fail(TavStrings::kCodeSaveFailed);
    root->SetModified(false);
    return true;
}

bool CTavDataFile::Load(const std::string& path) {
    // Only the header and the body are read, so any size will do; what matters is that a
    // FIFO or device in the file's place is refused instead of waited on.
    uint64_t size = 0;
    FilePtr file(TavOpenForReading(path, UINT64_MAX, size));
    if (!file)
        return Fail(TavStrings::kCodeLoadFailed);
    std::array<uint8_t, kHeaderSize> header{};
    if (std::fread(header.data(), 1, header.size(), file.get()) != header.size())
        return Fail(TavStrings::kCodeLoadFailed);
    if (FieldText(header.data(), kMagicOffset, kMagicWidth) != Padded(kMagic, kMagicWidth) ||
        FieldText(header.data(), kModelOffset, kModelWidth) != Padded(m_settings.modelName, kModelWidth) ||
        FieldText(header.data(), kRootOffset, kRootWidth) != Padded(m_settings.rootName, kRootWidth))
        return Fail(TavStrings::kCodeWrongFileType);

    CTavRootStruct* root = m_buffers.FindRoot(m_settings.rootName);
    if (!root)
        return Fail(TavStrings::kCodeLoadFailed);
    // The whole body is read before any buffer changes; bytes after it are ignored.
    std::vector<uint8_t> body(CTavBufferManager::BodySize(*root));
    if (std::fread(body.data(), 1, body.size(), file.get()) != body.size())
        return Fail(TavStrings::kCodeLoadFailed);
    if (std::fclose(file.release()) != 0)
        return Fail(TavStrings::kCodeLoadFailed);
    // Every byte is later sent to the device as it is, so a byte the values cannot hold
    // (a status byte, or more than a nibble in a nibble value) makes the file unreadable.
    if (!CTavBufferManager::CanHoldBody(*root, body.data(), body.size()))
        return Fail(TavStrings::kCodeLoadFailed);
    m_buffers.LoadStruct(*root, body.data(), body.size());
    root->SetModified(false);
    return true;
}

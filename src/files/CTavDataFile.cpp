#include "files/CTavDataFile.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "app/CTavTextOut.h"
#include "app/TavStrings.h"
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

bool CTavDataFile::Save(const std::string& path) {
    CTavRootStruct* root = m_buffers.FindRoot(m_settings.rootName);
    if (!root || path.empty())
        return Fail(TavStrings::kCodeSaveFailed);

    // Write through a symbolic link to the file it names, as an in-place save would.
    std::error_code error;
    std::filesystem::path target = path;
    if (std::filesystem::is_symlink(target, error))
        target = std::filesystem::weakly_canonical(target, error);
    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
    std::string temporary = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    const int descriptor = mkstemp(temporary.data());
    if (descriptor < 0)
        return Fail(TavStrings::kCodeSaveFailed);
    FilePtr file(fdopen(descriptor, "wb"));
    if (!file) {
        ::close(descriptor);
        std::remove(temporary.c_str());
        return Fail(TavStrings::kCodeSaveFailed);
    }

    bool written = true;
    const auto header = Header();
    written = std::fwrite(header.data(), 1, header.size(), file.get()) == header.size();
    root->ForEachLeaf([&](CTavLeafStruct& leaf) {
        const std::vector<uint8_t>& bytes = *leaf.Bytes();
        if (written && !bytes.empty())
            written = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
    });
    written = written && std::fflush(file.get()) == 0 && ::fsync(fileno(file.get())) == 0;
    const bool closed = std::fclose(file.release()) == 0;
    if (!written || !closed) {
        std::remove(temporary.c_str());
        return Fail(TavStrings::kCodeSaveFailed);
    }
    // New files get the usual permissions; an existing file keeps its own.
    std::filesystem::perms permissions = std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                                         std::filesystem::perms::group_read | std::filesystem::perms::others_read;
    if (std::filesystem::exists(target, error))
        permissions = std::filesystem::status(target, error).permissions();
    std::filesystem::permissions(temporary, permissions, error);
    if (std::rename(temporary.c_str(), target.c_str()) != 0) {
        std::remove(temporary.c_str());
        return Fail(TavStrings::kCodeSaveFailed);
    }
    root->SetModified(false);
    return true;
}

bool CTavDataFile::Load(const std::string& path) {
    FilePtr file(std::fopen(path.c_str(), "rb"));
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
    m_buffers.LoadStruct(*root, body.data(), body.size());
    root->SetModified(false);
    return true;
}

#include "virtual/CVirtualDevice.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <string_view>
#include <system_error>

#include "app/CTavSystem.h"
#include "app/CTavTextOut.h"
#include "files/TavReadFile.h"
#include "files/TavSafeFile.h"
#include "midi/CTavMidi.h"
#include "model/CTavBufferManager.h"
#include "model/CTavStruct.h"
#include "script/CTavResourceManager.h"

namespace {

constexpr std::string_view kMemoryFileHeader = "VIREO-VIRTUAL-DEVICE-MEMORY 1\n";
constexpr size_t kMemoryFileCountBytes = 4;
// The generated catalog behind the image takes well under a megabyte.
constexpr size_t kMaxCatalogBytes = 8u << 20;

// How long count bytes take on a MIDI cable.
TavDuration WireTime(size_t count) {
    return TavDuration{static_cast<long long>(count) * 1000000 / CVirtualDevice::kWireBytesPerSecond};
}

bool IsCommand(const CTavHaldenMessage& message, uint8_t command) {
    return message.FieldLength(CTavHaldenMessage::kCommandId) == 1 &&
           *message.FieldData(CTavHaldenMessage::kCommandId) == command;
}

uint32_t FieldValue(const CTavHaldenMessage& message, int field) {
    return TavDecodeAddress(message.FieldData(field), static_cast<size_t>(message.FieldLength(field)));
}

} // namespace

CVirtualDevice::CVirtualDevice() = default;
CVirtualDevice::~CVirtualDevice() = default;

bool CVirtualDevice::Create(const std::string& scriptText, CTavTextOut* errors) {
    m_system.reset();
    m_leaves.clear();
    m_leavesByAddress.clear();
    m_roots.clear();
    m_imageSize = 0;
    m_replies.clear();
    m_wireFreeAt = TavTime{};

    auto system = std::make_unique<CTavSystem>();
    system->SetTextOut(CTavSystem::kErrorOutput, new CTavTextOutStringStream);
    system->SetTextOut(CTavSystem::kBufferOutput, new CTavTextOutBuffer);
    system->AttachErrorOutputToManagers();
    if (!system->ReadScript(scriptText) || !system->CreateManagers(CTavSystem::Views::Skip)) {
        if (errors) {
            const std::string reason = system->ErrorText();
            errors->Printf("The virtual device cannot be built from the editor script: %s\n",
                           reason.empty() ? "unknown error" : reason.substr(0, reason.find('\n')).c_str());
        }
        return false;
    }
    const CTavMidiIn* input = system->MidiManager().Input(0);
    if (!input) {
        if (errors)
            errors->Write("The editor script has no MIDI input for the virtual device.\n");
        return false;
    }

    m_manufacturerId = input->ManufacturerId();
    m_modelId = input->ModelId();
    m_addressSize = input->AddressSize();
    // The names the input was bound by: the same roots as its receivers, as the tree type.
    for (const std::string& name : input->RootStructNames()) {
        CTavRootStruct* root = system->BufferManager().FindRoot(name);
        if (!root)
            continue;
        m_roots.push_back(root->AbsoluteRange());
        root->ForEachLeaf([this](CTavLeafStruct& leaf) {
            m_leaves.push_back({&leaf, leaf.AbsoluteRange(), *leaf.Bytes()});
            m_imageSize += leaf.Bytes()->size();
        });
    }
    m_leavesByAddress.resize(m_leaves.size());
    for (size_t i = 0; i < m_leaves.size(); ++i)
        m_leavesByAddress[i] = i;
    std::sort(m_leavesByAddress.begin(), m_leavesByAddress.end(),
              [this](size_t a, size_t b) { return m_leaves[a].range.begin < m_leaves[b].range.begin; });
    m_categoryNames.clear();
    if (const CTavStringTable* categories = system->ResourceManager().FindStringTable("categoryTable"))
        m_categoryNames = categories->Elements();
    m_catalogAnswers.Bind(system->BufferManager());
    m_sampleAnswers.Bind(system->BufferManager());
    m_system = std::move(system);
    m_samples.MakeSynthetic();
    ResetCatalog();
    m_sampleAnswers.ShowSelected(m_samples);
    return true;
}

bool CVirtualDevice::IsCreated() const {
    return m_system != nullptr;
}

// ---- Messages -------------------------------------------------------------------------

void CVirtualDevice::Receive(const TavBytes& bytes, TavTime sent) {
    if (IsCreated() && !bytes.empty() && bytes.size() <= 3 && bytes.front() >= 0x80 && bytes.front() < 0xF0) {
        if (m_heard.size() == kHeardLimit)
            m_heard.pop_front();
        m_heard.push_back(bytes);
        return;
    }
    if (!IsCreated() || bytes.size() < 2 || bytes.front() != 0xF0 || bytes.back() != 0xF7)
        return;
    const TavTime arrived = m_speed == Speed::Wire ? sent + WireTime(bytes.size()) : sent;

    const bool identityRequest = bytes.size() == 6 && bytes[1] == 0x7E &&
                                 (bytes[2] == m_deviceId || bytes[2] == 0x7F) && bytes[3] == 0x06 &&
                                 bytes[4] == 0x01;
    if (identityRequest) {
        if (m_faults.dropIdentityReplies > 0) {
            --m_faults.dropIdentityReplies;
            return;
        }
        if (AnswerDropped())
            return;
        TavBytes reply = {0xF0, 0x7E, m_deviceId, 0x06, 0x02, m_manufacturerId, 0x14, 0x02, 0x00, 0x00, 0x00, 0x03,
                          0x00, 0x00, 0xF7};
        if (m_faults.foreignIdentityReplies > 0 || m_faults.foreignIdentity) {
            if (m_faults.foreignIdentityReplies > 0)
                --m_faults.foreignIdentityReplies;
            reply[11] = 0x04; // another version
        }
        QueueReply(std::move(reply), arrived);
        return;
    }
    if (bytes[1] == m_manufacturerId)
        ReceiveHalden(bytes, arrived);
}

void CVirtualDevice::ReceiveHalden(const TavBytes& bytes, TavTime arrived) {
    // The same checks the editor's input makes, from this side of the cable: framing, own
    // or broadcast ID, model ID, command and checksum.
    CTavHaldenMessage message;
    if (!message.Parse(bytes, m_addressSize) || message.GetField(CTavHaldenMessage::kModelId) != m_modelId ||
        message.FieldLength(CTavHaldenMessage::kDeviceId) != 1 ||
        message.FieldLength(CTavHaldenMessage::kChecksum) != 1 ||
        message.ComputeChecksum() != message.StoredChecksum())
        return;
    const uint8_t id = *message.FieldData(CTavHaldenMessage::kDeviceId);
    if (id != m_deviceId && id != 0x7F)
        return;
    if (IsCommand(message, CTavHaldenMessage::kDataSet)) {
        const uint32_t address = FieldValue(message, CTavHaldenMessage::kAddress);
        const uint8_t* data = message.FieldData(CTavHaldenMessage::kData);
        const size_t size = static_cast<size_t>(message.FieldLength(CTavHaldenMessage::kData));
        TavBytes corrupted;
        if (m_faults.corruptByte >= 0 && static_cast<size_t>(m_faults.corruptByte) < size) {
            corrupted.assign(data, data + size);
            corrupted[static_cast<size_t>(m_faults.corruptByte)] ^= 0x01;
            data = corrupted.data();
        }
        if (WriteMemory(address, data, size))
            ++m_dataSetsStored;
        AfterDataSet(address, data, size, arrived);
        std::vector<CVirtualSampleAnswers::Reply> replies;
        if (m_sampleAnswers.DataSet(m_samples, address, data, size, m_faults.modifyError, replies))
            SyncSampleCatalog();
        for (const CVirtualSampleAnswers::Reply& reply : replies)
            if (!m_faults.silent)
                QueueReply(CTavHaldenMessage::DataSet(m_manufacturerId, m_deviceId, m_modelId, m_addressSize,
                                                      reply.address, reply.data.data(), reply.data.size())
                               .Bytes(),
                           arrived);
        return;
    }
    // A request carries the size in as many bytes as an address.
    if (IsCommand(message, CTavHaldenMessage::kDataRequest) &&
        message.FieldLength(CTavHaldenMessage::kData) == m_addressSize)
        AnswerDataRequest(message, arrived);
}

void CVirtualDevice::AnswerDataRequest(const CTavHaldenMessage& request, TavTime arrived) {
    const uint32_t address = FieldValue(request, CTavHaldenMessage::kAddress);
    // Catalog queries carry their arguments where a size would be; everything else reads
    // the memory image.
    std::vector<TavBytes> payloads;
    TavBytes sampleAnswer;
    if (m_sampleAnswers.Request(m_samples, address, request.FieldData(CTavHaldenMessage::kData),
                                static_cast<size_t>(request.FieldLength(CTavHaldenMessage::kData)), sampleAnswer)) {
        if (sampleAnswer.empty())
            return;
        payloads.push_back(std::move(sampleAnswer));
    } else if (!m_catalogAnswers.Answer(m_catalog, address, request.FieldData(CTavHaldenMessage::kData),
                                 static_cast<size_t>(request.FieldLength(CTavHaldenMessage::kData)),
                                 payloads)) {
        TavBytes data;
        if (!ReadMemory(address, FieldValue(request, CTavHaldenMessage::kData), data))
            return;
        payloads.push_back(std::move(data));
    }

    if (m_faults.dropReplies > 0) {
        --m_faults.dropReplies;
        return;
    }
    if (AnswerDropped())
        return;
    uint8_t id = m_deviceId;
    if (m_faults.foreignDeviceIdReplies > 0) {
        --m_faults.foreignDeviceIdReplies;
        id = static_cast<uint8_t>((m_deviceId + 1) & 0x7F);
    }
    TavDuration extraDelay{0};
    if (m_faults.lateReplies > 0) {
        --m_faults.lateReplies;
        extraDelay = m_faults.lateBy;
    }
    auto dataSet = [&](uint32_t at, const uint8_t* bytes, size_t count) {
        return CTavHaldenMessage::DataSet(m_manufacturerId, id, m_modelId, m_addressSize, at, bytes, count)
            .Bytes();
    };
    // Only a single answer is split, and a single byte cannot be halved; it goes out whole.
    if (m_faults.splitReplies > 0 && payloads.size() == 1 && payloads.front().size() >= 2) {
        --m_faults.splitReplies;
        const TavBytes& data = payloads.front();
        const size_t half = data.size() / 2;
        QueueReply(dataSet(address, data.data(), half), arrived, extraDelay);
        QueueReply(dataSet(address + static_cast<uint32_t>(half), data.data() + half, data.size() - half),
                   arrived, extraDelay);
        return;
    }
    for (const TavBytes& data : payloads)
        QueueReply(dataSet(address, data.data(), data.size()), arrived, extraDelay);
}

bool CVirtualDevice::AnswerDropped() {
    if (m_faults.silent)
        return true;
    if (m_faults.dropEvery <= 0)
        return false;
    return ++m_answers % static_cast<uint64_t>(m_faults.dropEvery) == 0;
}

void CVirtualDevice::AfterDataSet(uint32_t address, const uint8_t* data, size_t size, TavTime arrived) {
    uint32_t at = 0;
    if (m_faults.leavePcMode && !m_faults.silent && size > 0 && data[0] != 0 &&
        AddressOf("com.utility.command.pcModeRequest", at) && at == address)
        LeavePcMode(arrived);
}

void CVirtualDevice::QueueReply(TavBytes bytes, TavTime ready, TavDuration extraDelay) {
    TavTime due = ready + extraDelay;
    if (m_speed == Speed::Wire) {
        // One sending line: a reply starts when the request is in and the line is free,
        // and is due once its last byte is out.
        due = std::max(ready, m_wireFreeAt) + extraDelay + WireTime(bytes.size());
        m_wireFreeAt = due;
    }
    m_replies.push_back({due, std::move(bytes)});
}

bool CVirtualDevice::TakeDue(TavTime now, TavBytes& reply) {
    const auto due =
        std::find_if(m_replies.begin(), m_replies.end(), [now](const Reply& r) { return r.due <= now; });
    if (due == m_replies.end())
        return false;
    reply = std::move(due->bytes);
    m_replies.erase(due);
    return true;
}

bool CVirtualDevice::NextDue(TavTime& due) const {
    if (m_replies.empty())
        return false;
    due = std::min_element(m_replies.begin(), m_replies.end(), [](const Reply& a, const Reply& b) {
              return a.due < b.due;
          })->due;
    return true;
}

// ---- Memory ---------------------------------------------------------------------------

template <typename F> bool CVirtualDevice::ForEachOverlap(uint32_t address, size_t size, F&& f) const {
    const int64_t begin = address;
    const int64_t end = begin + static_cast<int64_t>(size);
    // Within one root only, which also bounds what a request can make us allocate.
    const bool insideRoot =
        size > 0 && std::any_of(m_roots.begin(), m_roots.end(),
                                [&](const TavRange& root) { return root.begin <= begin && end <= root.end; });
    if (!insideRoot)
        return false;
    // Leaves do not overlap, so by address their ends are in order as well.
    auto first = std::partition_point(m_leavesByAddress.begin(), m_leavesByAddress.end(),
                                      [&](size_t i) { return m_leaves[i].range.end <= begin; });
    auto last = first;
    while (last != m_leavesByAddress.end() && m_leaves[*last].range.begin < end)
        ++last;
    if (first == last)
        return false;
    for (auto it = first; it != last; ++it) {
        const Leaf& leaf = m_leaves[*it];
        const int64_t from = std::max<int64_t>(begin, leaf.range.begin);
        const int64_t to = std::min<int64_t>(
            {end, leaf.range.end, leaf.range.begin + static_cast<int64_t>(leaf.leaf->Bytes()->size())});
        if (from < to)
            f(*leaf.leaf, static_cast<size_t>(from - leaf.range.begin), static_cast<size_t>(from - begin),
              static_cast<size_t>(to - from));
    }
    return true;
}

bool CVirtualDevice::ReadMemory(uint32_t address, size_t size, TavBytes& out) const {
    TavBytes bytes;
    const bool read =
        ForEachOverlap(address, size, [&](CTavLeafStruct& leaf, size_t at, size_t into, size_t count) {
            if (bytes.empty())
                bytes.assign(size, 0); // gaps between leaves read as zero
            std::memcpy(bytes.data() + into, leaf.Bytes()->data() + at, count);
        });
    if (!read)
        return false;
    bytes.resize(size, 0);
    out = std::move(bytes);
    return true;
}

bool CVirtualDevice::WriteMemory(uint32_t address, const uint8_t* data, size_t size) {
    if (!data)
        return false;
    return ForEachOverlap(address, size, [&](CTavLeafStruct& leaf, size_t at, size_t from, size_t count) {
        std::memcpy(leaf.Bytes()->data() + at, data + from, count);
    });
}

void CVirtualDevice::ResetMemory() {
    for (Leaf& leaf : m_leaves)
        *leaf.leaf->Bytes() = leaf.defaults;
}

// ---- Catalog --------------------------------------------------------------------------

void CVirtualDevice::ResetCatalog() {
    m_catalog = CVirtualCatalog::Generate(CVirtualCatalog::kDefaultSeed, m_categoryNames);
    SyncSampleCatalog();
}

void CVirtualDevice::SyncSampleCatalog() {
    m_catalog.SetSamples(false, m_samples.CatalogEntries(CVirtualSampleMemory::kUserGroup));
    m_catalog.SetSamples(true, m_samples.CatalogEntries(CVirtualSampleMemory::kCardGroup));
}

void CVirtualDevice::SamplesChanged() {
    SyncSampleCatalog();
    if (!m_samples.Find(m_sampleAnswers.SelectedGroup(), m_sampleAnswers.SelectedNumber()))
        m_sampleAnswers.Deselect();
    if (IsCreated())
        m_sampleAnswers.ShowSelected(m_samples);
}

bool CVirtualDevice::ImportSamples(const std::string& folder, CTavTextOut* errors) {
    const bool read = m_samples.ImportFolder(folder, errors);
    SamplesChanged();
    return read;
}

bool CVirtualDevice::StorePart(int part, uint8_t msb, uint8_t lsb, uint8_t program, TavTime now) {
    uint32_t notifyAt = 0;
    CVirtualCatalog::Slot slot;
    if (!IsCreated() || part < 0 || part >= 16 || !m_catalogAnswers.WriteMessageAddress(notifyAt) ||
        !m_catalog.Find(msb, lsb, program, slot))
        return false;
    const bool patch = msb == CVirtualCatalog::kPatchMsb;
    const std::string common =
        std::string(patch ? "qv.pat[" : "qv.rhy[") + std::to_string(part) + "].common.";
    CTavBufferManager& buffers = m_system->BufferManager();
    const CTavValue* name = buffers.FindValue(common + (patch ? "patchName" : "rhythmName"));
    const CTavValue* category = patch ? buffers.FindValue(common + "patchCategory") : nullptr;
    if (!name || (patch && !category))
        return false;
    const int32_t raw = patch ? category->GetRaw() : CVirtualCatalog::kRhythmSetCategory;
    m_catalog.SetEntry(msb, lsb, program, name->GetText(), static_cast<uint8_t>(std::clamp(raw, 0, 127)));

    const uint8_t notice[] = {msb, lsb, program, static_cast<uint8_t>(part)};
    QueueReply(CTavHaldenMessage::DataSet(m_manufacturerId, m_deviceId, m_modelId, m_addressSize, notifyAt,
                                          notice, sizeof notice)
                   .Bytes(),
               now);
    return true;
}

bool CVirtualDevice::AddressOf(const std::string& path, uint32_t& address) const {
    const CTavValue* value = IsCreated() ? m_system->BufferManager().FindValue(path) : nullptr;
    if (!value)
        return false;
    address = static_cast<uint32_t>(value->AbsoluteRange().begin);
    return true;
}

bool CVirtualDevice::InPcMode() const {
    uint32_t address = 0;
    TavBytes state;
    return AddressOf("com.utility.command.pcModeRequest", address) && ReadMemory(address, 1, state) &&
           state[0] != 0;
}

bool CVirtualDevice::LeavePcMode(TavTime now) {
    uint32_t request = 0, result = 0;
    if (!AddressOf("com.utility.command.pcModeRequest", request) ||
        !AddressOf("com.utility.command.pcModeResult", result))
        return false;
    const uint8_t off = 0;
    WriteMemory(request, &off, 1);
    QueueReply(
        CTavHaldenMessage::DataSet(m_manufacturerId, m_deviceId, m_modelId, m_addressSize, result, &off, 1).Bytes(),
        now);
    return true;
}

bool CVirtualDevice::LoadMemory(const std::string& path, CTavTextOut* errors) {
    auto fail = [&](const char* reason) {
        if (errors)
            errors->Printf("%s: %s\n", reason, path.c_str());
        return false;
    };
    if (!IsCreated())
        return fail("The virtual device has no memory image to load");
    m_samples.Load(SamplePath(path), errors);
    SamplesChanged();
    // A file of its own is opened like any outside file: a folder, FIFO or device in its
    // place is refused at once (the defaults stay), nothing at all is a first start.
    std::string content;
    std::string why;
    const size_t dataOffset = kMemoryFileHeader.size() + kMemoryFileCountBytes;
    const TavFileRead read = TavReadWholeFile(path, dataOffset + m_imageSize + kMaxCatalogBytes, content, &why);
    if (read == TavFileRead::kMissing)
        return true;
    if (read != TavFileRead::kRead) {
        if (errors)
            errors->Printf("Unable to read the virtual device memory; the defaults are kept: %s\n", why.c_str());
        return false;
    }

    const size_t imageEnd = dataOffset + m_imageSize;
    bool matches = content.size() >= imageEnd &&
                   std::string_view(content).substr(0, kMemoryFileHeader.size()) == kMemoryFileHeader;
    if (matches) {
        uint32_t count = 0;
        for (size_t i = 0; i < kMemoryFileCountBytes; ++i)
            count = (count << 8) | static_cast<uint8_t>(content[kMemoryFileHeader.size() + i]);
        matches = count == m_imageSize;
    }
    if (!matches)
        return fail("Virtual device memory file does not match the editor script");
    // Every byte of the image goes out in data sets; one above 7 bits would be a status byte.
    if (std::any_of(content.begin() + static_cast<std::ptrdiff_t>(dataOffset),
                    content.begin() + static_cast<std::ptrdiff_t>(imageEnd),
                    [](char byte) { return static_cast<uint8_t>(byte) > 0x7F; }))
        return fail("Virtual device memory file holds bytes above 0x7F; the defaults are kept");

    size_t at = dataOffset;
    for (Leaf& leaf : m_leaves) {
        TavBytes& bytes = *leaf.leaf->Bytes();
        std::memcpy(bytes.data(), content.data() + at, bytes.size());
        at += bytes.size();
    }
    // The catalog follows the image; files written before it existed end here.
    if (content.size() == imageEnd) {
        ResetCatalog();
    } else if (!m_catalog.Parse(std::string_view(content).substr(imageEnd))) {
        ResetCatalog();
        if (errors)
            errors->Printf("The catalog in the virtual device memory file is damaged; the generated one "
                           "replaces it: %s\n",
                           path.c_str());
    }
    SamplesChanged();
    return true;
}

bool CVirtualDevice::SaveMemory(const std::string& path, CTavTextOut* errors) const {
    auto fail = [&]() {
        if (errors)
            errors->Printf("Unable to save the virtual device memory: %s\n", path.c_str());
        return false;
    };
    if (!IsCreated())
        return fail();
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path target(path);
    if (target.has_parent_path())
        fs::create_directories(target.parent_path(), error);
    if (error)
        return fail();

    std::string file(kMemoryFileHeader);
    const uint32_t count = static_cast<uint32_t>(m_imageSize);
    for (int shift = 24; shift >= 0; shift -= 8)
        file.push_back(static_cast<char>(count >> shift));
    for (const Leaf& leaf : m_leaves) {
        const TavBytes& bytes = *leaf.leaf->Bytes();
        file.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
    file += m_catalog.Serialize();
    if (!m_samples.Save(SamplePath(path), errors))
        return false;
    std::string why;
    if (!TavSaveFileSafely(path, reinterpret_cast<const uint8_t*>(file.data()), file.size(), &why)) {
        if (errors)
            errors->Printf("Unable to save the virtual device memory: %s\n", why.c_str());
        return false;
    }
    return true;
}

std::string CVirtualDevice::DefaultMemoryPath() {
    auto environment = [](const char* name) {
        const char* value = std::getenv(name);
        return std::string(value ? value : "");
    };
    const std::string explicitPath = environment("VIREO_VIRTUAL_DEVICE_MEMORY");
    if (!explicitPath.empty())
        return explicitPath;
    std::string dataFolder = environment("XDG_DATA_HOME");
    if (dataFolder.empty())
        dataFolder = environment("HOME") + "/.local/share";
    return dataFolder + "/Halden/VireoEditor/VirtualDeviceMemory.bin";
}

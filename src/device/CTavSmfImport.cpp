// The device reader's Standard MIDI File import: every data set for the device in a file
// is stored in the root struct and sent on to the device, in file order.

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "device/CTavReader.h"
#include "model/CTavBufferManager.h"
#include "model/CTavStruct.h"
#include "view/ITavProgress.h"

namespace Brio {

namespace {

// Closes the import's file however the import ends.
class CFileCloser {
public:
    explicit CFileCloser(std::FILE*& file) : m_file(file) {}
    ~CFileCloser() {
        if (m_file)
            std::fclose(m_file);
        m_file = nullptr;
    }
    CFileCloser(const CFileCloser&) = delete;
    CFileCloser& operator=(const CFileCloser&) = delete;

private:
    std::FILE*& m_file;
};

// The progress bar's range: the file size, within what the bar can count.
int ProgressRange(uint64_t size) {
    return static_cast<int>(std::min<uint64_t>(size, static_cast<uint64_t>(INT32_MAX)));
}

} // namespace

bool CTavReader::ImportSmf(const std::string& path, ITavRootStruct& root) {
    m_smfImported = 0;
    // Opened without waiting (a pipe would block until someone writes to it); only a
    // regular file has a size to bound the reading by.
    const int descriptor = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
        return false;
    struct stat status {};
    if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        close(descriptor);
        return false;
    }
    m_smfFile = fdopen(descriptor, "rb");
    if (!m_smfFile) {
        close(descriptor);
        return false;
    }
    const CFileCloser closer(m_smfFile);
    m_smfBytes = nullptr;
    m_smfSize = static_cast<uint64_t>(status.st_size);
    m_smfFilePosition = 0;
    return Import(root);
}

bool CTavReader::ImportSmf(const uint8_t* bytes, size_t size, ITavRootStruct& root) {
    m_smfImported = 0;
    m_smfFile = nullptr;
    m_smfBytes = bytes;
    m_smfSize = bytes ? size : 0;
    const bool ok = Import(root);
    m_smfBytes = nullptr;
    return ok;
}

bool CTavReader::Import(ITavRootStruct& root) {
    m_smfRoot = &root;
    m_smfShown = 0;
    m_smfProgress = m_smfSize > kSmfProgressThreshold ? m_progress : nullptr;
    bool ok = false;
    {
        const CTavProgressScope scope(m_smfProgress, ProgressRange(m_smfSize), ITavProgress::kReadingSmf);
        ok = Read();
        if (m_smfProgress)
            m_smfProgress->SetPosition(ProgressRange(m_smfSize));
    }
    m_smfProgress = nullptr;
    m_smfRoot = nullptr;
    m_buffers.PublishPending();
    m_buffers.ClearPending();
    return ok;
}

void CTavReader::AdvanceSmfProgress() {
    if (!m_smfProgress || m_smfSize == 0)
        return;
    // About 256 updates over the file: each one repaints the bar.
    const uint64_t position = Position();
    if (position < m_smfShown + m_smfSize / 256)
        return;
    m_smfShown = position;
    const double done = static_cast<double>(std::min(position, m_smfSize)) / static_cast<double>(m_smfSize);
    m_smfProgress->SetPosition(static_cast<int>(done * ProgressRange(m_smfSize)));
}

void CTavReader::OnShortEvent(uint32_t, const TavBytes&) {
    AdvanceSmfProgress();
}

void CTavReader::OnMetaEvent(uint32_t, uint8_t, const TavBytes&) {
    AdvanceSmfProgress();
}

void CTavReader::OnExclusiveEvent(uint32_t, const CTavLongMessage& message) {
    AdvanceSmfProgress();
    CTavMidiOut* output = Output();
    const TavBytes& bytes = message.Bytes();
    if (!m_smfRoot || !output || bytes.size() < 2 || bytes[1] != CTavHaldenMessage::kManufacturerId)
        return;
    CTavHaldenMessage dataSet;
    if (!dataSet.Parse(bytes, output->AddressSize()) || bytes[1] != output->ManufacturerId() ||
        dataSet.GetField(CTavHaldenMessage::kModelId) != output->ModelId() ||
        dataSet.FieldLength(CTavHaldenMessage::kDeviceId) != 1 ||
        *dataSet.FieldData(CTavHaldenMessage::kDeviceId) != output->DeviceId() ||
        dataSet.GetField(CTavHaldenMessage::kCommandId) != TavBytes{CTavHaldenMessage::kDataSet} ||
        dataSet.ComputeChecksum() != dataSet.StoredChecksum())
        return;
    const uint32_t address =
        TavDecodeAddress(dataSet.FieldData(CTavHaldenMessage::kAddress),
                         static_cast<size_t>(dataSet.FieldLength(CTavHaldenMessage::kAddress)));
    // Data outside the root struct is not stored, but the device still gets it.
    m_smfRoot->ReceiveDataSet(static_cast<int32_t>(address), dataSet.FieldData(CTavHaldenMessage::kData),
                              static_cast<size_t>(dataSet.FieldLength(CTavHaldenMessage::kData)));
    output->SendMessage(dataSet);
    ++m_smfImported;
    if (m_buffers.PendingChanges().size() > kSmfPendingLimit) {
        m_buffers.PublishPending();
        m_buffers.ClearPending();
    }
}

size_t CTavReader::ReadBytes(uint64_t position, uint8_t* bytes, size_t count) {
    if (position >= m_smfSize || count == 0)
        return 0;
    count = static_cast<size_t>(std::min<uint64_t>(count, m_smfSize - position));
    if (m_smfBytes) {
        std::memcpy(bytes, m_smfBytes + position, count);
        return count;
    }
    // Reading goes forward mostly, so the stream seeks only when it must.
    if (!m_smfFile ||
        (position != m_smfFilePosition && fseeko(m_smfFile, static_cast<off_t>(position), SEEK_SET) != 0))
        return 0;
    const size_t read = std::fread(bytes, 1, count, m_smfFile);
    m_smfFilePosition = position + read;
    return read;
}

uint64_t CTavReader::Size() {
    return m_smfSize;
}

} // namespace Brio

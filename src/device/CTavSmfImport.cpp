// The device reader's Standard MIDI File import: every data set for the device in a file
// is stored in the root struct and sent on to the device, in file order. The base reader
// reads the file through its buffer, so the stream here is read on in order.

#include <algorithm>
#include <cstring>

#include "device/CTavReader.h"
#include "files/TavReadFile.h"
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
    m_smfCancelled = false;
    uint64_t size = 0;
    std::string why;
    m_smfFile = TavOpenForReading(path, kMaxFileSize, size, &why);
    if (!m_smfFile) {
        // The line names the path already; the caller puts it in front of the reason.
        const std::string named = path + " : ";
        m_smfFault = why.compare(0, named.size(), named) == 0 ? why.substr(named.size()) : why;
        return false;
    }
    const CFileCloser closer(m_smfFile);
    m_smfBytes = nullptr;
    m_smfSize = size;
    m_smfFilePosition = 0;
    return Import(root);
}

bool CTavReader::ImportSmf(const uint8_t* bytes, size_t size, ITavRootStruct& root) {
    m_smfImported = 0;
    m_smfCancelled = false;
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
    m_smfJoin.Interrupt();
    m_smfProgress = m_smfSize > kSmfProgressThreshold ? m_progress : nullptr;
    bool ok = false;
    {
        const CTavProgressScope scope(m_smfProgress, ProgressRange(m_smfSize), ITavProgress::kReadingSmf, true);
        ok = Read();
        if (m_smfProgress)
            m_smfProgress->SetPosition(ProgressRange(m_smfSize));
    }
    m_smfProgress = nullptr;
    m_smfRoot = nullptr;
    m_smfJoin.Interrupt();
    m_smfCancelled = !ok && Stopped();
    m_smfFault = FaultText();
    m_buffers.PublishPending();
    m_buffers.ClearPending();
    return ok;
}

void CTavReader::AdvanceSmfProgress() {
    if (!m_smfProgress || m_smfSize == 0)
        return;
    // About 256 updates over the file: each one repaints the bar and looks for Cancel.
    const uint64_t position = Position();
    if (position < m_smfShown + m_smfSize / 256)
        return;
    m_smfShown = position;
    const double done = static_cast<double>(std::min(position, m_smfSize)) / static_cast<double>(m_smfSize);
    m_smfProgress->SetPosition(static_cast<int>(done * ProgressRange(m_smfSize)));
    if (m_smfProgress->Cancelled())
        Stop(kSmfCancelled);
}

void CTavReader::OnTrack(const uint8_t*) {
    m_smfJoin.Interrupt();
}

void CTavReader::OnShortEvent(uint32_t, const TavBytes&) {
    m_smfJoin.Interrupt();
    AdvanceSmfProgress();
}

void CTavReader::OnMetaEvent(uint32_t, uint8_t, const TavBytes&) {
    m_smfJoin.Interrupt();
    AdvanceSmfProgress();
}

void CTavReader::OnExclusiveEvent(uint32_t, const CTavLongMessage&) {
    AdvanceSmfProgress();
    // Only a whole message goes on, joined when the file divides it: never an escape's raw
    // bytes (FF would reset the device) nor a message without its end.
    const TavBytes* message = m_smfJoin.Add(EventStatus(), ExclusiveBytes());
    CTavMidiOut* output = Output();
    if (!message || !m_smfRoot || !output)
        return;
    const TavBytes& bytes = *message;
    if (bytes.size() < 2 || bytes.front() != 0xF0 || bytes.back() != 0xF7 ||
        bytes[1] != CTavHaldenMessage::kManufacturerId)
        return;
    CTavHaldenMessage& dataSet = m_smfDataSet;
    const TavBytes& modelId = output->ModelId();
    if (!dataSet.Parse(bytes, output->AddressSize()) || bytes[1] != output->ManufacturerId() ||
        dataSet.FieldLength(CTavHaldenMessage::kModelId) != static_cast<int>(modelId.size()) ||
        !std::equal(modelId.begin(), modelId.end(), dataSet.FieldData(CTavHaldenMessage::kModelId)) ||
        dataSet.FieldLength(CTavHaldenMessage::kDeviceId) != 1 ||
        *dataSet.FieldData(CTavHaldenMessage::kDeviceId) != output->DeviceId() ||
        dataSet.FieldLength(CTavHaldenMessage::kCommandId) != 1 ||
        *dataSet.FieldData(CTavHaldenMessage::kCommandId) != CTavHaldenMessage::kDataSet ||
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
    // The base reader asks in order, so the stream seeks only when it must.
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

// The device reader's sample edit exchanges: the wave request, the modify commands with
// their progress, error and result answers, the memory figures, the chop points and the
// sample name page of one sample. Each answer is taken only while its own request waits,
// and only when its length fits; anything else at those addresses is ignored.

#include <algorithm>

#include "app/CTavTextOut.h"
#include "app/TavStrings.h"
#include "device/CTavReader.h"
#include "model/CTavBufferManager.h"
#include "model/CTavValue.h"
#include "view/ITavProgress.h"

namespace Brio {

namespace {

// Sets the reader's time-out and attempts for one exchange and puts them back after it.
class CExchangeSettings {
public:
    CExchangeSettings(CTavMidiReader& reader, int timeoutMs, int attempts)
        : m_reader(reader), m_timeout(reader.Timeout()), m_attempts(reader.Attempts()) {
        reader.SetTimeout(timeoutMs);
        reader.SetAttempts(attempts);
    }
    ~CExchangeSettings() {
        m_reader.SetTimeout(m_timeout);
        m_reader.SetAttempts(m_attempts);
    }
    CExchangeSettings(const CExchangeSettings&) = delete;
    CExchangeSettings& operator=(const CExchangeSettings&) = delete;

private:
    CTavMidiReader& m_reader;
    int m_timeout;
    int m_attempts;
};

// Clears what an exchange expects on every way out.
template <class T> class CExpect {
public:
    CExpect(T& slot, T value, T idle) : m_slot(slot), m_idle(idle) { m_slot = value; }
    ~CExpect() { m_slot = m_idle; }
    CExpect(const CExpect&) = delete;
    CExpect& operator=(const CExpect&) = delete;

private:
    T& m_slot;
    T m_idle;
};

int64_t At(CTavBufferManager& buffers, const char* path) {
    const CTavValue* value = buffers.FindValue(path);
    return value ? static_cast<int64_t>(value->AbsoluteRange().begin) : -1;
}

} // namespace

void CTavReader::BindSampleAddresses() {
    m_sampleAt = {At(m_buffers, "com.utility.sampleEdit.wave.request"),
                  At(m_buffers, "com.utility.sampleEdit.wave.data"),
                  At(m_buffers, "com.utility.sampleEdit.modify.progress"),
                  At(m_buffers, "com.utility.sampleEdit.modify.error"),
                  At(m_buffers, "com.utility.sampleEdit.modify.chopResult"),
                  At(m_buffers, "com.utility.sampleEdit.modify.autoChopResult"),
                  At(m_buffers, "com.utility.sampleEdit.utility.unloadResult"),
                  At(m_buffers, "com.utility.sampleEdit.modify.chopPointSize"),
                  At(m_buffers, "com.utility.sampleEdit.modify.chopPoint")};
}

bool CTavReader::RequestWave(const TavWaveRequest& request, std::vector<TavWavePoint>& points) {
    if (m_sampleAt.waveRequest < 0 || m_sampleAt.waveData < 0 || request.count <= 0 ||
        request.framesPerPoint <= 0)
        return false;
    const std::vector<uint8_t> bytes = TavEncodeWaveRequest(request);
    CExchangeSettings settings(*this, std::max(Timeout(), kWaveTimeoutMs), Attempts());
    CExpect<const TavWaveRequest*> expect(m_waveRequest, &request, nullptr);
    CExpect<std::vector<TavWavePoint>*> into(m_wavePoints, &points, nullptr);
    ++m_depth;
    const bool ok = SendDataAndWait(static_cast<uint32_t>(m_sampleAt.waveRequest), bytes.data(), bytes.size(), false);
    --m_depth;
    if (!ok)
        m_failure = "No answer to the wave request for sample " + std::to_string(request.number) + ".";
    if (m_depth == 0)
        HandlePendingNotifications();
    return ok;
}

bool CTavReader::SendModifyCommand(uint32_t address, const uint8_t* data, size_t size) {
    CExchangeSettings settings(*this, Timeout(), 1);
    CExpect<bool> expect(m_modifyPending, true, false);
    ++m_depth;
    const bool ok = SendDataAndWait(address, data, size, true);
    --m_depth;
    if (!ok)
        m_failure = "The sample command at address " + TavFormatAddress(static_cast<int32_t>(address)) +
                    " did not complete.";
    if (m_depth == 0)
        HandlePendingNotifications();
    return ok;
}

bool CTavReader::RequestMemory(const CTavValue* value, int64_t& bytes) {
    if (!value)
        return false;
    const int64_t at = static_cast<int64_t>(value->AbsoluteRange().begin);
    CExpect<int64_t> expect(m_memoryAt, at, -1);
    m_memoryBytes = -1;
    if (!Request(static_cast<uint32_t>(at), 1, [value] { return value->FullPath(); }) || m_memoryBytes < 0)
        return false;
    bytes = m_memoryBytes;
    return true;
}

bool CTavReader::RequestChopPointCount(int32_t& count) {
    if (m_sampleAt.chopPointSize < 0)
        return false;
    CExpect<bool> expect(m_chopCountPending, true, false);
    m_chopCount = -1;
    if (!Request(static_cast<uint32_t>(m_sampleAt.chopPointSize), 1, "the number of chop points") ||
        m_chopCount < 0)
        return false;
    count = m_chopCount;
    return true;
}

bool CTavReader::RequestChopPoint(int32_t index, int64_t& frame) {
    if (m_sampleAt.chopPoint < 0 || index < 0 || index >= kMaxChopPoints)
        return false;
    CExpect<int32_t> expect(m_chopIndex, index, -1);
    m_chopFrame = -1;
    if (!Request(static_cast<uint32_t>(m_sampleAt.chopPoint), index + 1,
                 [index] { return "chop point " + std::to_string(index + 1); }) ||
        m_chopFrame < 0)
        return false;
    frame = m_chopFrame;
    return true;
}

bool CTavReader::ReadSampleInformation(int32_t area, int32_t number) {
    const int32_t pages = area == TavEntityArea::Card ? kCardSamplePages : kUserSamplePages;
    const int32_t page = (number - 1) / kSamplesPerPage;
    if (!m_bound.sampleNameInformation || number < 1 || page >= pages ||
        (area != TavEntityArea::User && area != TavEntityArea::Card))
        return false;
    const int32_t lsbBase = area == TavEntityArea::Card ? TavBankSelect::CardLsbBase : 0;
    CExchangeSettings settings(*this, std::max(Timeout(), kSampleTimeoutMs), 1);
    CExpect<bool> expect(m_readingSamples, true, false);
    return RequestQuery(m_bound.sampleNameInformation, lsbBase + page / 128, page % 128, 1,
                        [number] { return "the sample name page of sample " + std::to_string(number); });
}

bool CTavReader::OnSampleAnswer(uint32_t address, const uint8_t* data, size_t size) {
    const int64_t at = address;
    if (at == m_sampleAt.waveData) {
        if (m_waveRequest && m_wavePoints && TavDecodeWaveAnswer(data, size, *m_waveRequest, *m_wavePoints))
            Answer();
        return true;
    }
    if (m_modifyPending) {
        if (at == m_sampleAt.progress) {
            if (size == 1) {
                if (m_progress)
                    m_progress->SetPosition(std::min(data[0] & 0x7F, 100));
                RestartTimeout();
            }
            return true;
        }
        if (at == m_sampleAt.error) {
            // Once: the wait is over, and what arrives after it is not looked at.
            if (m_report)
                m_report->Report(TavStrings::kCodeSampleModifyFailed);
            Refuse();
            return true;
        }
        if (at == m_sampleAt.chopResult || at == m_sampleAt.autoChopResult || at == m_sampleAt.unloadResult) {
            if (size == 1)
                Answer();
            return true;
        }
    }
    if (m_memoryAt >= 0 && at == m_memoryAt) {
        if (size == 5) {
            m_memoryBytes = TavGetSevenBits(data, 5);
            Answer();
        }
        return true;
    }
    if (m_chopCountPending && at == m_sampleAt.chopPointSize) {
        if (size == 1 && (data[0] & 0x7F) <= kMaxChopPoints) {
            m_chopCount = data[0] & 0x7F;
            Answer();
        }
        return true;
    }
    if (m_chopIndex >= 0 && at == m_sampleAt.chopPoint) {
        if (size == 6 && data[0] == m_chopIndex) {
            m_chopFrame = TavGetSevenBits(data + 1, 5);
            Answer();
        }
        return true;
    }
    return false;
}

} // namespace Brio

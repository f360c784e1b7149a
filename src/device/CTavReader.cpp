#include "device/CTavReader.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <vector>

#include "app/CTavTextOut.h"
#include "entity/CTavEntityRecords.h"
#include "model/CTavBufferManager.h"
#include "model/CTavValue.h"
#include "view/ITavProgress.h"

namespace Brio {

namespace {

// Restores the reader's time-out and attempts when a procedure ends.
class CWaitSettings {
public:
    CWaitSettings(CTavMidiReader& reader, int timeoutMs, int attempts)
        : m_reader(reader), m_timeout(reader.Timeout()), m_attempts(reader.Attempts()) {
        reader.SetTimeout(std::max(m_timeout, timeoutMs));
        reader.SetAttempts(attempts);
    }
    ~CWaitSettings() {
        m_reader.SetTimeout(m_timeout);
        m_reader.SetAttempts(m_attempts);
    }
    CWaitSettings(const CWaitSettings&) = delete;
    CWaitSettings& operator=(const CWaitSettings&) = delete;

private:
    CTavMidiReader& m_reader;
    int m_timeout;
    int m_attempts;
};

std::vector<CTavLeafStruct*> Leaves(CTavStruct* structure) {
    std::vector<CTavLeafStruct*> leaves;
    if (structure)
        structure->ForEachLeaf([&](CTavLeafStruct& leaf) { leaves.push_back(&leaf); });
    return leaves;
}

int32_t LeafCount(CTavStruct* structure) {
    return static_cast<int32_t>(Leaves(structure).size());
}

std::string HexBytes(const uint8_t* bytes, size_t count) {
    std::string text;
    char hex[4];
    for (size_t i = 0; i < count; ++i) {
        std::snprintf(hex, sizeof hex, i ? " %02X" : "%02X", bytes[i]);
        text += hex;
    }
    return text;
}

} // namespace

CTavReader::CTavReader(CTavBufferManager& buffers, CTavEntityManager& entities, CTavTextOut* report,
                       ITavClock& clock)
    : CTavMidiReader(report, clock), m_buffers(buffers), m_entities(entities), m_report(report) {
    m_bound.Bind(buffers);
    // Every reply is routed by these addresses; the tree never changes, so they are
    // learned once.
    auto at = [](const CTavValue* value) { return value ? static_cast<int64_t>(value->AbsoluteRange().begin) : -1; };
    m_at = {at(m_bound.writeMessage),          at(m_bound.patchNumberInformation),
            at(m_bound.rhythmSetNumberInformation), at(m_bound.patchNameInformation),
            at(m_bound.rhythmSetNameInformation),   at(m_bound.waveNameInformation),
            at(m_bound.sampleNameInformation)};
    BindSampleAddresses();
}

void CTavReader::Step() {
    if (m_progress)
        m_progress->Step();
}

bool CTavReader::Request(uint32_t address, int32_t size) {
    ++m_depth;
    const bool ok = RequestData(address, size);
    --m_depth;
    if (m_depth == 0)
        HandlePendingNotifications();
    return ok;
}

bool CTavReader::Request(uint32_t address, int32_t size, const CSubject& what) {
    if (Request(address, size))
        return true;
    m_failure = "No answer to the request for " + what.Text() + " at address " +
                TavFormatAddress(static_cast<int32_t>(address)) + " (" + std::to_string(size) + " bytes).";
    return false;
}

bool CTavReader::RequestQuery(const CTavValue* value, int32_t b1, int32_t b2, int32_t b3,
                              const CSubject& what) {
    if (!value || b1 < 0 || b1 > 0x7F || b2 < 0 || b2 > 0x7F || b3 < 0 || b3 > 0x7F)
        return false;
    const int32_t size = b1 << 14 | b2 << 7 | b3;
    if (Request(static_cast<uint32_t>(value->AbsoluteRange().begin), size))
        return true;
    char query[32];
    std::snprintf(query, sizeof query, "00 %02X %02X %02X", b1, b2, b3);
    m_failure = "No answer to the request for " + what.Text() + " (" + value->FullPath() + ", query " + query + ").";
    return false;
}

// ---- Structs --------------------------------------------------------------------------

bool CTavReader::ReadStruct(CTavStruct* structure, int32_t part) {
    if (!structure)
        return false;
    for (CTavLeafStruct* leaf : Leaves(structure)) {
        const TavRange range = leaf->AbsoluteRange();
        const auto what = [leaf, part] {
            std::string text = leaf->FullPath();
            if (part >= 0)
                text += " (part " + std::to_string(part + 1) + ")";
            return text;
        };
        if (!Request(static_cast<uint32_t>(range.begin), range.Length(), what))
            return false;
        Step();
    }
    return true;
}

CTavStruct* CTavReader::PartEntityStruct(const CTavDeviceBindings& bound, const ITavPartEntities* parts,
                                         int32_t part) {
    if (!parts || part < 0 || part >= kTavPartCount)
        return nullptr;
    const int32_t type = parts->PartEntityId(part).type;
    return type == TavEntityType::Patch       ? bound.patches[part]
           : type == TavEntityType::RhythmSet ? bound.rhythmSets[part]
                                              : nullptr;
}

bool CTavReader::ReadPartEntity(int32_t part) {
    CTavStruct* structure = PartEntityStruct(m_bound, m_parts, part);
    return structure && ReadStruct(structure, part);
}

bool CTavReader::ReadBlocks(uint32_t mask) {
    using namespace TavReadMask;
    m_skipped.clear();
    if ((mask & Setup) && !ReadStruct(m_bound.setup))
        return false;
    if ((mask & System) && !ReadStruct(m_bound.system))
        return false;
    if ((mask & PartInfo) && !ReadStruct(m_bound.partInfo))
        return false;
    if (mask & PartEntities) {
        if (!m_parts)
            return false;
        // A part whose program names nothing the catalog holds has no patch or rhythm set
        // to read; the others are read all the same.
        for (int32_t part = 0; part < kTavPartCount; ++part) {
            const int32_t type = m_parts->PartEntityId(part).type;
            if (type != TavEntityType::Patch && type != TavEntityType::RhythmSet)
                m_skipped.push_back(part);
            else if (!ReadPartEntity(part))
                return false;
        }
    }
    if ((mask & UserPatchNames) && !ReadNames(TavEntityType::Patch, TavEntityArea::User))
        return false;
    if ((mask & UserRhythmSetNames) && !ReadNames(TavEntityType::RhythmSet, TavEntityArea::User))
        return false;
    if ((mask & CardNames) && (!ReadNames(TavEntityType::Patch, TavEntityArea::Card) ||
                               !ReadNames(TavEntityType::RhythmSet, TavEntityArea::Card)))
        return false;
    if ((mask & SampleNames) && !ReadSampleNames())
        return false;
    if ((mask & Sample) && !ReadStruct(m_bound.sample))
        return false;
    return true;
}

int32_t CTavReader::CountSteps(uint32_t mask) {
    using namespace TavReadMask;
    int64_t steps = 0;
    if (mask & Setup)
        steps += LeafCount(m_bound.setup);
    if (mask & System)
        steps += LeafCount(m_bound.system);
    // Every block of the part info is read and sent, the reverb's included, so every one
    // counts: a count one short ran the bar past its end.
    if (mask & PartInfo)
        steps += LeafCount(m_bound.partInfo);
    if (mask & PartEntities)
        for (int32_t part = 0; part < kTavPartCount; ++part)
            steps += LeafCount(PartEntityStruct(m_bound, m_parts, part));
    if ((mask & (UserPatchNames | UserRhythmSetNames)) && !ReadNumberInformation(TavEntityArea::User))
        return -1;
    if ((mask & CardNames) && !ReadNumberInformation(TavEntityArea::Card))
        return -1;
    steps += CountKnownNameSteps(mask);
    if (mask & SampleNames)
        steps += kUserSamplePages + kCardSamplePages;
    return static_cast<int32_t>(std::min<int64_t>(steps, INT32_MAX));
}

int32_t CTavReader::CountKnownNameSteps(uint32_t mask) const {
    using namespace TavReadMask;
    int64_t steps = 0;
    if (mask & (UserPatchNames | UserRhythmSetNames))
        steps += m_counts.NameSteps(TavEntityArea::User, mask & UserPatchNames, mask & UserRhythmSetNames);
    if (mask & CardNames)
        steps += m_counts.NameSteps(TavEntityArea::Card, true, true);
    return static_cast<int32_t>(std::min<int64_t>(steps, INT32_MAX));
}

// ---- Number information and names -----------------------------------------------------

bool CTavReader::ReadNumberInformation(int32_t area) {
    const int32_t lsbBase = area == TavEntityArea::Card ? TavBankSelect::CardLsbBase : 0;
    for (int32_t type : {TavEntityType::Patch, TavEntityType::RhythmSet}) {
        m_entities.RemoveBanks({type, area, 0, 0});
        std::vector<int32_t>& list = m_counts.List(type, area);
        list.clear();
        CTavValue* banks = m_bound.bankInformation[type][area];
        if (!banks ||
            !Request(static_cast<uint32_t>(banks->AbsoluteRange().begin), banks->Size(),
                     [banks] { return banks->FullPath(); }))
            return false;
        list.resize(static_cast<size_t>(std::clamp(banks->GetRaw(), 0, TavMaxBanks(area))), 0);
        const CTavValue* query = type == TavEntityType::Patch ? m_bound.patchNumberInformation
                                                              : m_bound.rhythmSetNumberInformation;
        for (size_t i = 0; i < list.size(); ++i) {
            m_numberValue = query;
            m_numberLsb = static_cast<int32_t>(i) + lsbBase;
            m_numberCount = -1;
            const int32_t lsb = m_numberLsb;
            const bool ok = RequestQuery(query, lsb, 0, 1,
                                         [lsb] { return "the size of the bank at LSB " + std::to_string(lsb); });
            m_numberValue = nullptr;
            if (!ok || m_numberCount < 0)
                return false;
            list[i] = m_numberCount;
            if (!TavAddNameBank(m_entities, type, area, static_cast<int32_t>(i), m_numberCount))
                return false;
        }
    }
    return true;
}

bool CTavReader::ReadNames(int32_t type, int32_t area) {
    const std::vector<int32_t> list = m_counts.List(type, area);
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i] > 0 && !ReadNameList(type, area, static_cast<int32_t>(i), list[i]))
            return false;
    return true;
}

bool CTavReader::ReadNameList(int32_t type, int32_t area, int32_t subBank, int32_t count) {
    const CTavValue* query =
        type == TavEntityType::Patch ? m_bound.patchNameInformation : m_bound.rhythmSetNameInformation;
    std::unique_ptr<CTavEntityManager::IInserter> inserter =
        m_entities.InserterFor({type, area, subBank, TavWildcard});
    m_inserter = inserter.get();
    bool ok = query != nullptr && !inserter->IsNull();
    {
        CWaitSettings settings(*this, kNameTimeoutMs, 1);
        for (int32_t start = 0; ok && start < count; start += kNamesPerRequest) {
            // The query names the program of the first entry asked for, so a start beyond
            // 127 carries into the next LSB as the bank's program IDs do.
            const CTavProgramId first = m_entities.ProgramIdOf({type, area, subBank, start});
            Step();
            ok = first.IsValid() &&
                 RequestQuery(query, first.lsb, first.program, std::min(count - start, kNamesPerRequest), [&first] {
                     return "the names from program " + std::to_string(first.program) + " at LSB " +
                            std::to_string(first.lsb);
                 });
        }
    }
    TavPadBank(*inserter, type);
    m_inserter = nullptr;
    return ok;
}

bool CTavReader::ReadSampleNames() {
    using namespace TavEntityArea;
    for (int32_t area : {User, Card}) {
        m_entities.InserterFor({TavEntityType::Sample, area, 0, TavWildcard})
            ->PushBack(CTavSampleInformation("Off", TavSampleKind::None, 0, 0));
        m_entities.InserterFor(
            {TavEntityType::Patch, area == User ? UserSamplePatch : CardSamplePatch, 0, TavWildcard});
    }
    if (!m_bound.sampleNameInformation)
        return false;
    CWaitSettings settings(*this, kSampleTimeoutMs, 1);
    m_readingSamples = true;
    bool ok = true;
    const struct {
        int32_t lsbBase, pages;
    } areas[] = {{0, kUserSamplePages}, {TavBankSelect::CardLsbBase, kCardSamplePages}};
    for (const auto& area : areas)
        for (int32_t page = 0; ok && page < area.pages; ++page) {
            Step();
            ok = RequestQuery(m_bound.sampleNameInformation, area.lsbBase + page / 128, page % 128, 1, [&] {
                return "sample name page " + std::to_string(page + 1) +
                       (area.lsbBase == 0 ? " of the user samples" : " of the card samples");
            });
        }
    m_readingSamples = false;
    return ok;
}

// ---- Identity -------------------------------------------------------------------------

bool CTavReader::CheckIdentity(uint8_t deviceId) {
    m_identity = -1;
    m_identityDeviceId = deviceId;
    ++m_depth;
    const bool answered = SendAndWait(TavIdentityRequest(deviceId));
    --m_depth;
    m_identityDeviceId = -1;
    // Write notifications that came in while waiting.
    if (m_depth == 0)
        HandlePendingNotifications();
    if (!answered) {
        m_failure =
            "No answer to the identity request for device ID " + std::to_string(deviceId - 0x10 + 17) + ".";
        return false;
    }
    if (m_identity != 0) {
        m_failure = "The identity reply names another model: " + m_identityReply + ".";
        if (m_report)
            m_report->Report(kUnconnectedCode);
        return false;
    }
    return true;
}

// The reply is F0 7E dd 06 02 41 followed by family, model and version (8 bytes) and F7.
void CTavReader::OnUniversalMessage(const CTavLongMessage& message) {
    if (m_identityDeviceId < 0) {
        CTavMidiReader::OnUniversalMessage(message);
        return;
    }
    const TavBytes& bytes = message.Bytes();
    if (CurrentState() != kWaiting || bytes.size() != 15 || bytes[2] != m_identityDeviceId || bytes[3] != 0x06 ||
        bytes[4] != 0x02 || bytes[5] != CTavHaldenMessage::kManufacturerId)
        return;
    if (std::equal(std::begin(kIdentityBytes), std::end(kIdentityBytes), bytes.begin() + 6))
        m_identity = 0;
    m_identityReply = HexBytes(bytes.data() + 6, std::size(kIdentityBytes));
    Answer();
}

// ---- Replies --------------------------------------------------------------------------

bool CTavReader::IsAt(const CTavValue* value, uint32_t address) {
    return value && static_cast<uint32_t>(value->AbsoluteRange().begin) == address;
}

void CTavReader::OnDataSet(const CTavHaldenMessage& message) {
    const int addressLength = message.FieldLength(CTavHaldenMessage::kAddress);
    const int dataLength = message.FieldLength(CTavHaldenMessage::kData);
    if (addressLength <= 0 || dataLength < 0) {
        CTavMidiReader::OnDataSet(message);
        return;
    }
    const uint32_t address =
        TavDecodeAddress(message.FieldData(CTavHaldenMessage::kAddress), static_cast<size_t>(addressLength));
    const uint8_t* data = message.FieldData(CTavHaldenMessage::kData);
    const size_t size = static_cast<size_t>(dataLength);

    if (address == m_at.writeMessage) {
        if (size != 4 || data[0] > 0x7F || data[1] > 0x7F || data[2] > 0x7F || data[3] >= kTavPartCount)
            return;
        const Notification notification{{data[0], data[1], data[2]}, data[3]};
        if (m_pendingCount < kMaxPendingNotifications)
            m_pending[m_pendingCount++] = notification;
        if (CurrentState() == kIdle && m_depth == 0)
            HandlePendingNotifications();
        return;
    }
    if (CurrentState() != kWaiting)
        return;
    if (address == m_at.patchNumberInformation || address == m_at.rhythmSetNumberInformation) {
        CTavNumberRecord record;
        if (IsAt(m_numberValue, address) && TavParseNumberRecord(data, size, record) &&
            record.lsb == m_numberLsb) {
            m_numberCount = record.count;
            Answer();
        }
        return;
    }
    if (address == m_at.patchNameInformation || address == m_at.rhythmSetNameInformation ||
        address == m_at.waveNameInformation) {
        if (!m_inserter)
            return;
        if (TavIsEndRecord(data, size))
            Answer();
        else
            TavFileNameRecord(m_entities, *m_inserter, data, size);
        return;
    }
    if (address == m_at.sampleNameInformation) {
        if (!m_readingSamples)
            return;
        if (TavIsEndRecord(data, size))
            Answer();
        else
            TavFileSampleRecord(m_entities, data, size);
        return;
    }
    if (OnSampleAnswer(address, data, size))
        return;
    // The sample and wave number answers take no action of their own.
    CTavMidiReader::OnDataSet(message);
}

void CTavReader::HandlePendingNotifications() {
    // Handling one waits again, and more may arrive meanwhile: they are taken by this loop,
    // never by a nested call, so a device that keeps notifying cannot deepen the stack.
    if (m_handlingNotifications)
        return;
    m_handlingNotifications = true;
    while (m_pendingCount > 0 && m_depth == 0) {
        const Notification notification = m_pending[0];
        std::copy(m_pending + 1, m_pending + m_pendingCount, m_pending);
        --m_pendingCount;
        HandleWriteNotification(notification);
    }
    m_handlingNotifications = false;
}

void CTavReader::HandleWriteNotification(const Notification& notification) {
    const int32_t part = notification.part;
    const CTavEntityId entity = m_entities.EntityIdOf(notification.program);
    bool changed = false;
    if (entity.type == TavEntityType::Patch) {
        CTavValue* name = m_bound.patchName[part];
        CTavValue* category = m_bound.patchCategory[part];
        if (name && category && Request(static_cast<uint32_t>(name->AbsoluteRange().begin), name->Size()) &&
            Request(static_cast<uint32_t>(category->AbsoluteRange().begin), category->Size()))
            changed =
                m_entities.SetInformation(entity, CCategoryInformation(name->GetText(), category->GetRaw()));
    } else if (entity.type == TavEntityType::RhythmSet) {
        CTavValue* name = m_bound.rhythmName[part];
        if (name && Request(static_cast<uint32_t>(name->AbsoluteRange().begin), name->Size()))
            changed = m_entities.SetInformation(
                entity, CCategoryInformation(name->GetText(), TavEntityCategory::RhythmSet));
    }
    CTavValue* values[] = {m_bound.partBankSelectMsb[part], m_bound.partBankSelectLsb[part],
                           m_bound.partProgramNumber[part]};
    const int32_t raws[] = {notification.program.msb, notification.program.lsb, notification.program.program};
    TavValueList written;
    written.reserve(3);
    for (size_t i = 0; i < 3; ++i) {
        if (!values[i])
            continue;
        const CTavValueSpec& spec = values[i]->Spec();
        values[i]->SetRaw(std::clamp(raws[i], spec.minimum, std::max(spec.minimum, spec.maximum)));
        written.push_back(values[i]);
    }
    if (!written.empty()) {
        m_buffers.RecordReceived(written);
        m_buffers.PublishPending(TavChangeOrigin::kDevice);
        m_buffers.ClearPending();
    }
    if (changed && m_namesChanged)
        m_namesChanged();
}

} // namespace Brio

// The device layer's procedures that move the whole device: identity check, Read,
// synchronise, the name reads and PC mode while samples are edited.

#include <algorithm>
#include <vector>

#include "app/CTavSystem.h"
#include "app/CTavTextOut.h"
#include "app/TavStrings.h"
#include "device/CTavBufferAccessor.h"
#include "entity/CTavUserNameFile.h"
#include "model/CTavBufferManager.h"
#include "model/CTavValue.h"
#include "view/ITavProgress.h"

namespace Brio {

namespace {

constexpr uint32_t kPcModeReadMask = TavReadMask::Setup | TavReadMask::PartInfo;
constexpr uint32_t kProgressReadMask = TavReadMask::System | TavReadMask::PartEntities;
constexpr uint32_t kSyncMask =
    TavReadMask::Setup | TavReadMask::System | TavReadMask::PartInfo | TavReadMask::PartEntities;
constexpr uint32_t kNameMask = TavReadMask::UserPatchNames | TavReadMask::UserRhythmSetNames | TavReadMask::CardNames;

// Clears the busy flag on every way out.
class CBusyScope {
public:
    explicit CBusyScope(bool& flag) : m_flag(flag) { m_flag = true; }
    ~CBusyScope() { m_flag = false; }
    CBusyScope(const CBusyScope&) = delete;
    CBusyScope& operator=(const CBusyScope&) = delete;

private:
    bool& m_flag;
};

CTavValue* Find(const CTavBoundTable& bound, const char* path) {
    const auto found = bound.sampleValues.find(path);
    return found == bound.sampleValues.end() ? nullptr : found->second;
}

CTavValue* SampleEditView(const CTavBoundTable& bound) {
    return Find(bound, "vs.sampleEdit.view.view");
}

} // namespace

bool CTavBufferAccessor::PortsReady() const {
    if (!m_system || IsOffline() || !m_writer)
        return false;
    CTavMidiManager& midi = m_system->MidiManager();
    CTavMidiIn* input = midi.Input(0);
    CTavMidiOut* output = midi.Output(0);
    const TavStructList& roots = m_buffers->RootStructs();
    return input && output && output->Device() && !roots.empty() && !input->Receivers().empty() &&
           input->Receivers().front() == m_buffers->FindRootStruct(roots.front()->Name()) &&
           m_reader->Output() == output && (!m_inputLink || m_inputLink());
}

bool CTavBufferAccessor::NotSetUp() const {
    if (m_system && m_system->MessageBoxOutput())
        m_system->MessageBoxOutput()->Report(TavStrings::kCodeMidiNotSetUp);
    return false;
}

bool CTavBufferAccessor::CheckIdentity() {
    if (IsOffline() || !m_reader->Output())
        return false;
    return m_reader->CheckIdentity(m_reader->Output()->DeviceId());
}

std::string CTavBufferAccessor::SkippedPartsText(const std::vector<int32_t>& parts, const char* verb) {
    if (parts.empty())
        return {};
    std::string text = parts.size() == 1 ? "Part " : "Parts ";
    for (size_t i = 0; i < parts.size(); ++i)
        text += (i ? ", " : "") + std::to_string(parts[i] + 1);
    return text + ": the program is not in the device's banks; their patch or rhythm set was not " + verb +
           ".";
}

void CTavBufferAccessor::ReportSkippedParts(const std::vector<int32_t>& parts, const char* verb) {
    const std::string text = SkippedPartsText(parts, verb);
    if (!text.empty() && m_system && m_system->MessageBoxOutput())
        m_system->MessageBoxOutput()->Write(text + "\n");
}

bool CTavBufferAccessor::Read() {
    if (!PortsReady())
        return NotSetUp();
    if (m_busy)
        return false;
    CBusyScope busy(m_busy);
    CTavWaitCursor wait(*this);
    // A Read the user asked for replaces the whole edit state, and can be taken back.
    m_buffers->NameAction("Read", TavActionScope::kWholeState);
    m_reader->ClearFailure();
    if (!CheckIdentity())
        return false;
    ITavProgress* progress = m_system->ViewManager().Progress();
    m_reader->SetProgress(progress);

    // The device answers nothing else while in PC mode unless the sample edit window
    // keeps it there.
    CTavValue* view = SampleEditView(m_bound);
    CTavValue* request = m_bound.pcModeRequest;
    if (request && (!view || view->GetRaw() == 0) &&
        m_reader->RequestData(static_cast<uint32_t>(request->AbsoluteRange().begin), 1) && request->GetRaw() != 0) {
        const uint8_t off = 0;
        m_writer->SendData(static_cast<uint32_t>(request->AbsoluteRange().begin), &off, 1);
        // As the device now holds it; a received value is never sent back.
        request->SetRaw(0);
        m_buffers->RecordReceived({request});
    }

    // What each part plays is decided once the banks are known, so the programs the device
    // holds are kept as they arrive, never replaced by the first user patch.
    const bool keep = m_keepPrograms;
    m_keepPrograms = true;
    struct Restore {
        bool& flag;
        bool value;
        ~Restore() { flag = value; }
    } restore{m_keepPrograms, keep};

    // Without the banks the parts' programs name nothing; what fails shows in the reads.
    // Banks learnt from the device rather than the names file hold no names yet: they are
    // read with the rest, so the parts show their names from the first Read on.
    const bool readNames = LoadBankLayout() && !m_banksFromFile && m_readNamesWithoutFile;

    m_reader->SetProgress(nullptr);
    const bool first = m_reader->ReadBlocks(kPcModeReadMask);
    m_reader->SetProgress(progress);
    if (!first || !CoverParts())
        return false;
    const uint32_t mask = kProgressReadMask | (readNames ? kNameMask : 0);
    const int32_t steps = m_reader->CountSteps(kProgressReadMask);
    if (steps < 0)
        return false;
    bool ok = false;
    {
        const int32_t nameSteps = readNames ? m_reader->CountKnownNameSteps(kNameMask) : 0;
        CTavProgressScope bar(progress, static_cast<int32_t>(std::min<int64_t>(int64_t{steps} + nameSteps, INT32_MAX)),
                              kGettingDataCode);
        ok = m_reader->ReadBlocks(mask);
    }
    if (ok && readNames && !m_system->ScriptFolder().empty())
        StoreUserNames();
    ReapplyPartEntities();
    if (ok)
        ReportSkippedParts(m_reader->SkippedParts(), "read");
    return ok;
}

bool CTavBufferAccessor::LoadUserNames(std::vector<CTavUserNameEntry>& entries) const {
    const std::string& folder = m_system ? m_system->ScriptFolder() : std::string();
    return !folder.empty() &&
           CTavUserNameFile::Load(folder + CTavUserNameFile::kFileName, entries, m_system->ErrorOutput());
}

bool CTavBufferAccessor::LoadBankLayout() {
    if (IsOffline() || !m_system)
        return false;
    std::vector<CTavUserNameEntry> entries;
    if (LoadUserNames(entries)) {
        TavBanksFromUserNames(m_entities, entries, BankCounts());
        m_banksFromFile = true;
        return true;
    }
    // Counting the name steps fetches the number information of both areas.
    m_banksFromFile = false;
    return m_reader->CountSteps(kNameMask) >= 0;
}

bool CTavBufferAccessor::CoverParts() {
    if (!m_banksFromFile || IsOffline())
        return true;
    bool covered = true;
    for (int32_t part = 0; part < kTavPartCount; ++part)
        covered = covered && PartEntityId(part).IsValid();
    if (covered)
        return true;
    if (m_reader->CountSteps(kNameMask) < 0)
        return false;
    m_banksFromFile = false;
    std::vector<CTavUserNameEntry> entries;
    if (LoadUserNames(entries))
        for (const CTavUserNameEntry& entry : entries) {
            const CTavEntityId id = m_entities.EntityIdOf(entry.program);
            if (id.IsValid() && id.type == entry.type)
                m_entities.SetInformation(id, CCategoryInformation(entry.name, entry.category));
        }
    return true;
}

int32_t CTavBufferAccessor::PlayableBankCount() const {
    int32_t banks = 0;
    for (int32_t type : {TavEntityType::Patch, TavEntityType::RhythmSet})
        for (int32_t area : {TavEntityArea::User, TavEntityArea::Card})
            banks += m_entities.CountBanks({type, area, TavWildcard, TavWildcard});
    return banks;
}

bool CTavBufferAccessor::Sync() {
    if (!PortsReady())
        return NotSetUp();
    CTavWaitCursor wait(*this);
    m_reader->ClearFailure();
    // Without any patch or rhythm-set bank no part's program names a patch or rhythm set, and
    // they would silently stay behind: learn the banks first, as Read does.
    if ((PlayableBankCount() == 0 && !LoadBankLayout()) || !CoverParts())
        return false;
    const int32_t steps = m_reader->CountSteps(kSyncMask);
    if (steps < 0)
        return false;
    ITavProgress* progress = m_system->ViewManager().Progress();
    bool ok = false;
    {
        CTavProgressScope bar(progress, steps, kSynchronizingCode);
        m_writer->SetProgress(progress);
        ok = m_writer->SendBlocks(kSyncMask);
    }
    if (ok)
        ReportSkippedParts(m_writer->SkippedParts(), "sent");
    ReapplyPartEntities();
    return ok;
}

bool CTavBufferAccessor::ReadNames() {
    if (!PortsReady())
        return NotSetUp();
    if (m_busy)
        return false;
    CBusyScope busy(m_busy);
    CTavWaitCursor wait(*this);
    m_reader->ClearFailure();
    if (!CheckIdentity())
        return false;
    ITavProgress* progress = m_system->ViewManager().Progress();
    m_reader->SetProgress(progress);
    const int32_t steps = m_reader->CountSteps(kNameMask);
    if (steps < 0)
        return false;
    m_banksFromFile = false;
    {
        CTavProgressScope bar(progress, steps, kGettingDataCode);
        if (!m_reader->ReadBlocks(kNameMask))
            return false;
    }
    StoreUserNames();
    ReapplyPartEntities();
    return true;
}

bool CTavBufferAccessor::ReadSampleNames() {
    if (!PortsReady())
        return NotSetUp();
    CTavWaitCursor wait(*this);
    m_reader->ClearFailure();
    ITavProgress* progress = m_system->ViewManager().Progress();
    m_reader->SetProgress(progress);
    const int32_t steps = m_reader->CountSteps(TavReadMask::SampleNames);
    if (steps < 0)
        return false;
    bool ok = false;
    {
        CTavProgressScope bar(progress, steps, kGettingDataCode);
        ok = m_reader->ReadBlocks(TavReadMask::SampleNames);
    }
    if (m_bound.entityType && m_bound.entityType->GetRaw() != 0 && m_bound.partId)
        Notify(m_bound.partId, m_bound.partId->GetRaw());
    if (ok)
        m_sampleNamesRead = true;
    if (m_bound.sampleModifyMark)
        Notify(m_bound.sampleModifyMark, m_bound.sampleModifyMark->GetRaw());
    ReapplyPartEntities();
    return ok;
}

bool CTavBufferAccessor::StoreUserNames() {
    if (!m_system)
        return false;
    // Without a script folder there is nowhere the names belong.
    const std::string& folder = m_system->ScriptFolder();
    if (!folder.empty() &&
        CTavUserNameFile::Save(folder + CTavUserNameFile::kFileName, m_entities, m_system->ErrorOutput()))
        return true;
    if (CTavTextOut* messages = m_system->MessageBoxOutput())
        messages->Report(TavStrings::kCodeSaveFailed);
    return false;
}

void CTavBufferAccessor::ReapplyPartEntities() {
    if (!m_buffers)
        return;
    // Writing the programs a part already plays changes nothing the user would save.
    CTavStruct* root = m_bound.root;
    auto* rootStruct = dynamic_cast<CTavRootStruct*>(root);
    const bool modified = rootStruct && rootStruct->IsModified();
    for (int32_t part = 0; part < kTavPartCount; ++part) {
        const CTavEntityId id = PartEntityId(part);
        if (id.IsValid())
            ApplyEntity(part, id, false, false);
        RefreshPart(part, false);
    }
    ShowEntity(PartEntityId(CurrentPart()));
    if (rootStruct)
        rootStruct->SetModified(modified);
    m_buffers->PublishPending();
    m_buffers->ClearPending();
}

// ---- PC mode while samples are edited -------------------------------------------------------

void CTavBufferAccessor::OnSampleEditView(int32_t view) {
    if (view == 0 || !PortsReady() || !m_bound.pcModeRequest)
        return;
    const uint8_t on = 1;
    m_writer->SendData(static_cast<uint32_t>(m_bound.pcModeRequest->AbsoluteRange().begin), &on, 1);
    if (!m_sampleNamesRead)
        ReadSampleNames();
}

void CTavBufferAccessor::OnPcModeResult(int32_t result) {
    CTavValue* view = SampleEditView(m_bound);
    if (result != 0 || !view || view->GetRaw() == 0 || m_handlingPcModeResult || !PortsReady() ||
        !m_bound.pcModeRequest)
        return;
    // The message box lets events run, and the device may report again meanwhile.
    m_handlingPcModeResult = true;
    if (CTavTextOut* messages = m_system->MessageBoxOutput())
        messages->Report(TavStrings::kCodeExitedPcMode);
    const uint8_t on = 1;
    m_writer->SendData(static_cast<uint32_t>(m_bound.pcModeRequest->AbsoluteRange().begin), &on, 1);
    m_handlingPcModeResult = false;
}

} // namespace Brio

// ---- Standard MIDI Files ---------------------------------------------------------------------

namespace Brio {

namespace {

void ShowAtOnce(CTavSystem* system, int code) {
    if (system && system->MessageBoxOutput())
        system->MessageBoxOutput()->Report(code);
}

} // namespace

bool CTavBufferAccessor::ImportSmf(const std::string& path) {
    auto* root = dynamic_cast<CTavRootStruct*>(m_bound.root);
    if (!m_system || !m_reader || !m_reader->Output() || !root) {
        if (m_system && m_system->ErrorOutput())
            m_system->ErrorOutput()->Write("Unable to import a Standard MIDI File without the MIDI output.\n");
        ShowAtOnce(m_system, TavStrings::kCodeLoadFailed);
        return false;
    }
    CTavWaitCursor wait(*this);
    m_reader->SetProgress(m_system->ViewManager().Progress());
    if (m_reader->ImportSmf(path, *root))
        return true;
    CTavTextOut* errors = m_system->ErrorOutput();
    // The user stopped it: what came before stays, and that is no load failure.
    if (m_reader->SmfCancelled()) {
        if (errors)
            errors->Printf("Import of %s stopped : %s (%zu data sets were stored and sent)\n", path.c_str(),
                           m_reader->SmfFault().c_str(), m_reader->ImportedDataSets());
        return false;
    }
    if (errors)
        errors->Printf("Unable to import %s : %s\n", path.c_str(), m_reader->SmfFault().c_str());
    ShowAtOnce(m_system, TavStrings::kCodeLoadFailed);
    return false;
}

bool CTavBufferAccessor::ExportSmf(const std::string& path, uint32_t mode) {
    std::string why = "the device layer has no writer";
    bool ok = false;
    if (m_system && m_writer) {
        CTavWaitCursor wait(*this);
        // What the parts play is known only from the banks: learn them first, as Sync does,
        // but ask the device only when it is there.
        if ((mode & TavReadMask::PartEntities) && PlayableBankCount() == 0) {
            std::vector<CTavUserNameEntry> entries;
            const std::string& folder = m_system->ScriptFolder();
            if (!folder.empty() &&
                CTavUserNameFile::Load(folder + CTavUserNameFile::kFileName, entries, m_system->ErrorOutput()))
                TavBanksFromUserNames(m_entities, entries, BankCounts());
            else if (PortsReady())
                LoadBankLayout();
        }
        ok = m_writer->ExportSmf(path, mode, &why);
    }
    if (ok)
        return true;
    if (m_system && m_system->ErrorOutput())
        m_system->ErrorOutput()->Printf("Unable to export %s : %s\n", path.c_str(), why.c_str());
    ShowAtOnce(m_system, TavStrings::kCodeSaveFailed);
    return false;
}

} // namespace Brio

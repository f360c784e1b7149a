#include "device/CTavBufferAccessor.h"

#include <algorithm>
#include <chrono>

#include "app/CTavSystem.h"
#include "app/CTavTextOut.h"
#include "device/CTavCCSynchronizer.h"
#include "device/CTavContextHandlers.h"
#include "device/CTavEntitySelector.h"
#include "device/CTavDeviceFunctions.h"
#include "device/CTavSampleViewHandler.h"
#include "device/CTavToneSynchronizer.h"
#include "device/CTavVoiceReserveClipper.h"
#include "device/TavDeviceHandlers.h"
#include "model/CTavBufferManager.h"
#include "model/CTavValue.h"
#include "script/CTavResourceManager.h"
#include "view/ITavProgress.h"

namespace Brio {

namespace {

std::vector<std::string> WaveNames(CTavSystem& system) {
    const CTavStringTable* table = system.ResourceManager().FindStringTable("internalWaveNameTable");
    return table ? table->Elements() : std::vector<std::string>();
}

} // namespace

std::vector<uint8_t> TavStructBytes(CTavStruct& structure) {
    std::vector<uint8_t> bytes;
    structure.ForEachLeaf([&bytes](CTavLeafStruct& leaf) {
        const std::vector<uint8_t>& own = *leaf.Bytes();
        bytes.insert(bytes.end(), own.begin(), own.end());
    });
    return bytes;
}

CTavBufferAccessor::CTavBufferAccessor() = default;
CTavBufferAccessor::~CTavBufferAccessor() = default;

CTavBufferAccessor& CTavBufferAccessor::Instance() {
    static CTavBufferAccessor accessor;
    return accessor;
}

bool CTavBufferAccessor::Start(CTavSystem& system, std::unique_ptr<CTavReader> reader,
                               std::unique_ptr<CTavWriter> writer, ITavClock& clock) {
    m_system = &system;
    m_buffers = &system.BufferManager();
    m_clock = &clock;
    Detach();
    m_reader = std::move(reader);
    m_writer = std::move(writer);
    if (m_reader && m_writer) {
        TavInstallTransfer(system.MidiManager(), *m_reader, *m_writer);
    } else {
        // A reader or writer alone still works through the first output (an SMF import or
        // export without ports).
        CTavMidiOut* first = system.MidiManager().Output(0);
        if (m_reader && !m_reader->Output())
            m_reader->SetOutput(first);
        if (m_writer && !m_writer->Output())
            m_writer->SetOutput(first);
    }
    ITavProgress* progress = system.ViewManager().Progress();
    if (m_reader) {
        m_reader->SetPartEntities(this);
        m_reader->SetProgress(progress);
    }
    if (m_writer) {
        m_writer->SetPartEntities(this);
        m_writer->SetProgress(progress);
    }

    m_entities.Clear();
    if (!TavCreateFixedBanks(m_entities, WaveNames(system))) {
        if (CTavTextOut* errors = system.ErrorOutput())
            errors->Write("Unable to create the fixed banks.\n");
        return false;
    }
    m_bound.Bind(*m_buffers);
    RegisterHandlers();
    TavRegisterDeviceFunctions(system.FunctionManager(), *this);
    if (m_reader)
        m_reader->SetNamesChanged([this] { StoreUserNames(); });
    return true;
}

// The first MIDI input must not keep a reader or writer that is about to go.
void CTavBufferAccessor::Detach() {
    if (!m_system)
        return;
    if (CTavMidiIn* input = m_system->MidiManager().Input(0)) {
        if (m_reader && input->Reader() == m_reader.get())
            input->SetReader(nullptr);
        if (m_writer && input->RequestListener() == m_writer.get())
            input->SetRequestListener(nullptr);
    }
}

void CTavBufferAccessor::Shutdown() {
    Detach();
    if (m_system)
        TavUnregisterDeviceFunctions(m_system->FunctionManager());
    m_reader.reset();
    m_writer.reset();
    m_system = nullptr;
    m_buffers = nullptr;
    m_clock = nullptr;
    m_pendingKey = kNoRhythmKey;
    // The sample names belong to the device of this start; the next start reads them again.
    m_sampleNamesRead = false;
}

// The order matters: the context handlers first, so that the later ones see the part
// context of this edit; the synchronisers before the clippers. The clippers see the edit
// itself in the chain; the tone synchroniser shows the fade-range clipper its copies.
void CTavBufferAccessor::RegisterHandlers() {
    CTavBufferHandlers& handlers = m_buffers->Handlers();
    handlers.Add(std::make_unique<CTavContextHandler>(*this));
    handlers.Add(std::make_unique<CTavRhythmKeyIdHandler>(*this));
    handlers.Add(std::make_unique<CTavSampleViewHandler>(*this));
    handlers.Add(std::make_unique<CCCSynchronizer>(*this));
    handlers.Add(TavMakeEffectSwapper(*m_buffers, m_bound, m_system->ResourceManager()));
    std::unique_ptr<CTavFadeRangeClipper> clipper = TavMakeFadeRangeClipper(*m_buffers, m_bound);
    handlers.Add(std::make_unique<CDomain::CToneSynchronizer>(*this, clipper.get()));
    handlers.Add(std::move(clipper));
    handlers.Add(std::make_unique<CTavVoiceReserveClipper>(*this));
}

void CTavBufferAccessor::Notify(CTavValue* value, int32_t raw) {
    if (!value || !m_buffers)
        return;
    const CTavValueSpec& spec = value->Spec();
    value->SetRaw(
        std::clamp(raw, std::min(spec.minimum, spec.maximum), std::max(spec.minimum, spec.maximum)));
    m_buffers->RecordChange(*value);
}

// ---- Part context ------------------------------------------------------------------------

int32_t CTavBufferAccessor::CurrentPart() const {
    return m_bound.partId ? m_bound.partId->GetRaw() : -1;
}

CTavEntityId CTavBufferAccessor::PartEntityId(int32_t part) const {
    if (part < 0 || part >= kTavPartCount)
        return CTavEntityId::Invalid();
    const CTavValue* msb = m_bound.partBankSelectMsb[part];
    const CTavValue* lsb = m_bound.partBankSelectLsb[part];
    const CTavValue* program = m_bound.partProgramNumber[part];
    if (!msb || !lsb || !program)
        return CTavEntityId::Invalid();
    return m_entities.EntityIdOf({msb->GetRaw(), lsb->GetRaw(), program->GetRaw()});
}

void CTavBufferAccessor::SetCurrentPart(int32_t part) {
    Notify(m_bound.partId, part);
    ShowEntity(PartEntityId(part));
}

void CTavBufferAccessor::RefreshPart(int32_t part, bool fallBack) {
    if (part < 0 || part >= kTavPartCount)
        return;
    CTavEntityId id = PartEntityId(part);
    const auto playable = [](const CTavEntityId& entity) {
        return entity.type == TavEntityType::Patch || entity.type == TavEntityType::RhythmSet;
    };
    if (fallBack && !m_keepPrograms && !playable(id) &&
        ApplyEntity(part, {TavEntityType::Patch, 0, 0, 0}, false, false))
        id = PartEntityId(part);
    int32_t plays = TavPartPlays::Nothing;
    if (id.type == TavEntityType::Patch)
        plays = TavPartPlays::Patch;
    else if (id.type == TavEntityType::RhythmSet)
        plays = TavPartPlays::RhythmSet;
    Notify(m_bound.partEntityType[part], plays);
    if (part == CurrentPart() && m_bound.entityType && m_bound.entityType->GetRaw() != 0)
        ShowEntity(id);
    const CTavEntityManager::IInformation& information = m_entities.InformationOf(id);
    if (!information.IsNull())
        Notify(m_bound.partCategoryType[part], information.Category());
}

void CTavBufferAccessor::ShowEntity(const CTavEntityId& id) {
    const int32_t part = CurrentPart();
    int32_t plays = TavPartPlays::Nothing;
    if (id.IsValid() && id.type == TavEntityType::RhythmSet)
        plays = TavPartPlays::RhythmSet;
    else if (id.IsValid() || part < 0 || part >= kTavPartCount)
        plays = TavPartPlays::Patch;
    Notify(m_bound.entityType, plays);
}

bool CTavBufferAccessor::ApplyEntity(int32_t part, const CTavEntityId& id, bool readAfter, bool asEdit) {
    if (!m_buffers || part < 0 || part >= kTavPartCount)
        return false;
    CTavValue* msb = m_bound.partBankSelectMsb[part];
    CTavValue* lsb = m_bound.partBankSelectLsb[part];
    CTavValue* number = m_bound.partProgramNumber[part];
    const CTavProgramId program = m_entities.ProgramIdOf(id);
    if (!program.IsValid() || !msb || !lsb || !number)
        return false;
    if (asEdit) {
        m_buffers->WriteIntegers({{msb, program.msb}, {lsb, program.lsb}, {number, program.program}});
        m_buffers->TransmitPending();
        m_buffers->PublishPending();
        m_buffers->ClearPending();
    } else {
        Notify(msb, program.msb);
        Notify(lsb, program.lsb);
        Notify(number, program.program);
    }
    if (!readAfter)
        return true;
    m_buffers->PublishPending();
    m_buffers->ClearPending();
    if (IsOffline())
        return true;
    m_clock->SleepFor(std::chrono::milliseconds(kReadDelayMs));
    return ReadPart(part);
}

ITavPopupMenu* CTavBufferAccessor::SelectionPopup(int32_t part) const {
    if (!m_system || part < 0 || part >= kTavPartCount)
        return nullptr;
    ITavPopupMenu* popup = m_system->PopupMenu();
    if (!popup) {
        if (CTavTextOut* errors = m_system->ErrorOutput())
            errors->Write("No popup menu to select from.\n");
    }
    return popup;
}

bool CTavBufferAccessor::SelectByBank(int32_t part, const TavPopupPosition& position) {
    ITavPopupMenu* popup = SelectionPopup(part);
    if (!popup)
        return false;
    CTavEntitySelector::CIterator sources(m_entities, CTavEntitySelector::kPartSourcePatterns);
    const CTavEntityId chosen =
        CTavEntitySelector::SelectByBank(sources, PartEntityId(part), *popup,
                                         CTavEntitySelector::AreaBankCountOf(m_entities), position);
    return chosen.IsValid() && ApplyEntity(part, chosen, true, true);
}

bool CTavBufferAccessor::SelectByCategory(int32_t part, const TavPopupPosition& position) {
    ITavPopupMenu* popup = SelectionPopup(part);
    if (!popup)
        return false;
    // Without the table the category titles stay empty.
    const CTavStringTable* categories = m_system->ResourceManager().FindStringTable("categoryTable");
    CTavEntitySelector::CIterator sources(m_entities, CTavEntitySelector::kPartSourcePatterns);
    const CTavEntityId chosen =
        CTavEntitySelector::SelectByCategory(sources, PartEntityId(part), *popup, categories,
                                             CTavEntitySelector::AreaBankCountOf(m_entities), position);
    return chosen.IsValid() && ApplyEntity(part, chosen, true, true);
}

bool CTavBufferAccessor::ReadPart(int32_t part) {
    if (IsOffline())
        return true;
    if (part < 0 || part >= kTavPartCount)
        return false;
    if (!PortsReady())
        return NotSetUp();
    return m_reader->ReadPartEntity(part);
}

bool CTavBufferAccessor::ReadAllParts() {
    if (IsOffline())
        return true;
    if (!PortsReady())
        return NotSetUp();
    ITavProgress* progress = m_system ? m_system->ViewManager().Progress() : nullptr;
    m_reader->SetProgress(progress);
    const int32_t steps = m_reader->CountSteps(TavReadMask::PartEntities);
    // Initialize Part Info reads every part's patch or rhythm set under "Now, getting data."
    bool ok = false;
    {
        CTavProgressScope bar(progress, std::max(steps, 0), ITavProgress::kGettingData);
        ok = m_reader->ReadBlocks(TavReadMask::PartEntities);
    }
    if (ok)
        ReportSkippedParts(m_reader->SkippedParts(), "read");
    return ok;
}

// ---- Rhythm key ----------------------------------------------------------------------------

void CTavBufferAccessor::OnIdle() {
    if (m_pendingKey == kNoRhythmKey || !m_buffers)
        return;
    const int32_t key = m_pendingKey;
    m_pendingKey = kNoRhythmKey;
    CTavValue* tone = m_bound.rhythmTone;
    if (!tone || key == tone->GetRaw())
        return;
    Notify(tone, key);
    m_buffers->PublishPending();
    m_buffers->ClearPending();
}

} // namespace Brio

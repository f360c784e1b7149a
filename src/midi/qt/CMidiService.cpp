#include "midi/qt/CMidiService.h"

#include <QCoreApplication>
#include <QEvent>

#include "app/CTavSystem.h"
#include "app/CTavTextOut.h"
#include "app/TavStartup.h"
#include "midi/port/CRtMidiBackend.h"
#include "view/qt/CInputGate.h"

namespace {

// Posted when the queue receives a message while it was empty.
const QEvent::Type kMidiArrived = static_cast<QEvent::Type>(QEvent::User);

} // namespace

void CReader::Pump() {
    CInputGate::Pump(QEventLoop::ExcludeSocketNotifiers | QEventLoop::X11ExcludeTimers);
    CQueuedReader::Pump();
}

CMidiService::CMidiService(CTavSystem& system, QObject* parent)
    : QObject(parent), m_system(system), m_reader(m_queue, system.BufferOutput()) {
    m_ports.AddBackend(std::make_unique<CRtMidiBackend>());
    m_ports.AddBackend(std::make_unique<CVirtualDeviceBackend>(m_host));
    m_queue.SetWakeHook([this] { QCoreApplication::postEvent(this, new QEvent(kMidiArrived)); });
}

CMidiService::~CMidiService() {
    m_queue.SetWakeHook(nullptr);
    Shutdown();
}

void CMidiService::customEvent(QEvent* event) {
    if (event->type() == kMidiArrived)
        m_queue.Dispatch();
}

void CMidiService::ConfigureVirtualDevice(uint8_t deviceId, bool cable) {
    m_host.WithDevice([&](CVirtualDevice& device) {
        device.SetDeviceId(deviceId);
        device.SetSpeed(cable ? CVirtualDevice::Speed::Wire : CVirtualDevice::Speed::Instant);
    });
}

void CMidiService::CloseAll() {
    if (m_setup)
        m_setup->CloseAll();
}

void CMidiService::LoadAndConnect(bool useVirtualDevice) {
    m_host.Configure(TavReadScriptText(m_system), CVirtualDevice::DefaultMemoryPath());
    CTavMidiManager& midi = m_system.MidiManager();
    TavInstallTransfer(midi, m_reader, m_writer);
    if (!m_setup)
        m_setup =
            std::make_unique<CMidiSetup>(midi, m_ports, m_queue, m_settings, m_system.MessageBoxOutput());
    m_useVirtualDevice = useVirtualDevice;
    Reconnect();
}

void CMidiService::Reconnect() {
    if (!m_setup)
        return;
    m_setup->LoadAndConnect();
    if (!m_useVirtualDevice)
        return;
    CTavMidiManager& midi = m_system.MidiManager();
    if (CTavMidiIn* input = midi.Input(0)) {
        m_setup->DisconnectInput(*input);
        m_setup->ConnectInput(*input, CVirtualDevice::kPortName, input->DeviceId());
    }
    if (CTavMidiOut* output = midi.Output(0))
        m_setup->ConnectOutput(*output, CVirtualDevice::kPortName, output->DeviceId());
}

void CMidiService::Shutdown() {
    m_setup.reset();
    std::string error;
    if (!m_host.Shutdown(error))
        if (CTavTextOut* box = m_system.MessageBoxOutput())
            box->Printf("%s\n", error.c_str());
}

#pragma once
// The editor's MIDI side on the GUI thread: the machine's ports and the virtual device,
// the queue the input threads post to (dispatched from the event loop, or from the
// reader's pump while a request waits), the MIDI setup kept in the settings, and the
// application's reader and writer.

#include <QObject>
#include <memory>

#include "app/qt/CQtSettings.h"
#include "midi/port/CMidiEventQueue.h"
#include "midi/port/CMidiPorts.h"
#include "midi/port/CMidiSetup.h"
#include "midi/port/CQueuedReader.h"
#include "midi/port/CVirtualDevicePort.h"

class CTavSystem;

// The application's reader: its pump dispatches received MIDI messages and pending
// repaints; keyboard and mouse input is read and dropped (CInputGate), so no other
// operation can start meanwhile, nor after.
class CReader : public CQueuedReader {
public:
    using CQueuedReader::CQueuedReader;

protected:
    void Pump() override;
};

class CMidiService : public QObject {
    Q_OBJECT
public:
    explicit CMidiService(CTavSystem& system, QObject* parent = nullptr);
    ~CMidiService() override;

    // The device ID byte the virtual device answers to and whether it replies at MIDI
    // cable speed (outputs to it are then held back to cable speed too).
    void ConfigureVirtualDevice(uint8_t deviceId, bool cable);
    // Closes every opened port (nothing before the setup exists).
    void CloseAll();
    // Builds the setup for the script's inputs and outputs and connects them as the
    // settings say. With useVirtualDevice the first input and output are served by the
    // virtual device for this run instead, and the settings are left as they are.
    void LoadAndConnect(bool useVirtualDevice);
    // Connects the ports again as the settings say, keeping this run's virtual device.
    void Reconnect();
    // Closes the ports and lets the virtual device save its memory.
    void Shutdown();

    CMidiSetup* Setup() const { return m_setup.get(); }
    CMidiPorts& Ports() { return m_ports; }
    CVirtualDeviceHost& VirtualDevice() { return m_host; }
    CMidiEventQueue& Queue() { return m_queue; }
    CReader& Reader() { return m_reader; }
    CTavMidiWriter& Writer() { return m_writer; }

protected:
    void customEvent(QEvent* event) override;

private:
    CTavSystem& m_system;
    CVirtualDeviceHost m_host;
    CMidiPorts m_ports;
    CMidiEventQueue m_queue;
    CQtSettings m_settings;
    CReader m_reader;
    CTavMidiWriter m_writer;
    std::unique_ptr<CMidiSetup> m_setup;
    bool m_useVirtualDevice = false;
};

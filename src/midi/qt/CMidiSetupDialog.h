#pragma once
// The "Set Up MIDI Devices" dialog: which port serves the script's first input and
// output and their "Through" counterparts, and the device ID they all use. Opening it
// reconnects from the saved settings; OK applies and saves the choices, Cancel leaves
// the ports as reopened.

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

class CMidiPorts;
class CMidiService;
class CMidiSetup;
class QComboBox;

class CMidiSetupDialog : public QDialog {
    Q_OBJECT
public:
    // Reconnects the setup (with reload, or from its saved settings without one) and
    // fills the lists from it and the ports.
    CMidiSetupDialog(CMidiSetup& setup, const CMidiPorts& ports, QWidget* parent = nullptr,
                     const std::function<void()>& reload = {});

    // Shows the dialog modally for the service's setup; true when closed with OK.
    static bool Run(CMidiService& service, QWidget* parent);

    void accept() override;

private:
    static constexpr int kLowestDeviceId = 0x10;
    static constexpr int kHighestDeviceId = 0x1F;

    void FillRow(QComboBox* portList, const std::vector<std::string>& portNames, bool present,
                 const std::string& port, int deviceId);

    CMidiSetup& m_setup;
    QComboBox* m_inputPorts[2];
    QComboBox* m_outputPorts[2];
    QComboBox* m_deviceId;
};

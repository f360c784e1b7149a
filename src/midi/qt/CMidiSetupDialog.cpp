#include "midi/qt/CMidiSetupDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

#include "app/CTavSystem.h"
#include "midi/CTavMidiManager.h"
#include "midi/port/CMidiPorts.h"
#include "midi/port/CMidiSetup.h"
#include "midi/qt/CMidiService.h"

namespace {

QComboBox* AddList(QWidget* owner, QVBoxLayout* layout, const char* label, const char* name) {
    auto* list = new QComboBox(owner);
    list->setObjectName(name);
    auto* caption = new QLabel(QString::fromUtf8(label), owner);
    caption->setBuddy(list);
    layout->addWidget(caption);
    layout->addWidget(list);
    return list;
}

std::vector<std::string> WithNone(std::vector<std::string> names) {
    names.emplace_back(CMidiSetup::kNone);
    return names;
}

} // namespace

CMidiSetupDialog::CMidiSetupDialog(CMidiSetup& setup, const CMidiPorts& ports, QWidget* parent,
                                   const std::function<void()>& reload)
    : QDialog(parent), m_setup(setup) {
    setWindowTitle("Set Up MIDI Devices");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QString::fromUtf8(CTavSystem::kModelName.data(),
                                                   static_cast<qsizetype>(CTavSystem::kModelName.size())),
                                 this));
    m_inputPorts[0] = AddList(this, layout, "&Input:", "inputPort");
    m_outputPorts[0] = AddList(this, layout, "&Output:", "outputPort");
    m_deviceId = AddList(this, layout, "&Device ID", "deviceId");
    auto* through = new QGroupBox("Through", this);
    auto* throughLayout = new QVBoxLayout(through);
    m_inputPorts[1] = AddList(through, throughLayout, "I&nput:", "throughInputPort");
    m_outputPorts[1] = AddList(through, throughLayout, "O&utput:", "throughOutputPort");
    layout->addWidget(through);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    // Start from the saved settings, so the lists show what is connected now.
    if (reload)
        reload();
    else
        m_setup.LoadAndConnect();
    const std::vector<std::string> inputNames = WithNone(ports.InputNames());
    const std::vector<std::string> outputNames = WithNone(ports.OutputNames());
    const CTavMidiManager& manager = m_setup.Manager();
    // Every row shares the device ID list: the last row filled decides its selection,
    // and a row without its input or output disables it.
    for (size_t n = 0; n < 2; ++n) {
        const CTavMidiIn* input = manager.Input(n);
        FillRow(m_inputPorts[n], inputNames, input != nullptr, m_setup.InputPortName(n),
                input ? input->DeviceId() : 0);
    }
    for (size_t n = 0; n < 2; ++n) {
        const CTavMidiOut* output = manager.Output(n);
        FillRow(m_outputPorts[n], outputNames, output != nullptr, m_setup.OutputPortName(n),
                output ? output->DeviceId() : 0);
    }
}

void CMidiSetupDialog::FillRow(QComboBox* portList, const std::vector<std::string>& portNames, bool present,
                               const std::string& port, int deviceId) {
    if (!present) {
        portList->setEnabled(false);
        m_deviceId->setEnabled(false);
        return;
    }
    portList->clear();
    for (const std::string& name : portNames)
        portList->addItem(QString::fromStdString(name));
    portList->setCurrentIndex(portList->findText(QString::fromStdString(port), Qt::MatchExactly));
    m_deviceId->clear();
    for (int id = kLowestDeviceId; id <= kHighestDeviceId; ++id)
        m_deviceId->addItem(QString::number(id + 1));
    m_deviceId->setCurrentIndex(deviceId - kLowestDeviceId);
}

void CMidiSetupDialog::accept() {
    std::vector<std::string> inputPorts, outputPorts;
    const CTavMidiManager& manager = m_setup.Manager();
    for (size_t n = 0; n < 2 && manager.Input(n); ++n)
        inputPorts.push_back(m_inputPorts[n]->currentText().toStdString());
    for (size_t n = 0; n < 2 && manager.Output(n); ++n)
        outputPorts.push_back(m_outputPorts[n]->currentText().toStdString());
    // No selection gives an ID below the range, which keeps every current ID.
    const int position = m_deviceId->currentIndex();
    m_setup.Apply(inputPorts, outputPorts, position < 0 ? -1 : position + kLowestDeviceId);
    QDialog::accept();
}

bool CMidiSetupDialog::Run(CMidiService& service, QWidget* parent) {
    CMidiSetup* setup = service.Setup();
    if (!setup)
        return false;
    // A run on the virtual device keeps it while the dialog is open.
    CMidiSetupDialog dialog(*setup, service.Ports(), parent, [&service] { service.Reconnect(); });
    return dialog.exec() == QDialog::Accepted;
}

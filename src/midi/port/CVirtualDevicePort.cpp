#include "midi/port/CVirtualDevicePort.h"

#include <algorithm>
#include <cstdio>
#include <sys/prctl.h>

#include "app/CTavTextOut.h"
#include "midi/port/CMidiIn.h"

namespace {

class CVirtualInDriver : public IMidiInDriver {
public:
    CVirtualInDriver(CVirtualDeviceHost& host, CMidiIn& input) : m_host(host), m_input(input) {}
    ~CVirtualInDriver() override { m_host.Disconnect(m_input); }
    bool Start(std::string& error) override { return m_host.Connect(m_input, error); }
    bool Stop(std::string&) override {
        m_host.Disconnect(m_input);
        return true;
    }

private:
    CVirtualDeviceHost& m_host;
    CMidiIn& m_input;
};

class CVirtualOutDriver : public IMidiOutDriver {
public:
    explicit CVirtualOutDriver(CVirtualDeviceHost& host) : m_host(host) {}
    bool SendShort(const uint8_t* bytes, size_t size, std::string& error) override {
        return m_host.Send(bytes, size, error);
    }
    bool SendLong(const uint8_t* bytes, size_t size, std::string& error) override {
        return m_host.Send(bytes, size, error);
    }
    bool LongDone() const override { return true; }
    void Reset() override {}
    bool Paced() const override { return m_host.AtWireSpeed(); }

private:
    CVirtualDeviceHost& m_host;
};

} // namespace

CVirtualDeviceHost::CVirtualDeviceHost(ITavClock& clock) : m_clock(clock) {}

CVirtualDeviceHost::~CVirtualDeviceHost() {
    std::string ignored;
    Shutdown(ignored);
}

void CVirtualDeviceHost::Configure(std::string scriptText, std::string memoryPath) {
    std::lock_guard lock(m_mutex);
    m_scriptText = std::move(scriptText);
    m_memoryPath = std::move(memoryPath);
}

void CVirtualDeviceHost::SetSampleFolder(std::string folder) {
    std::lock_guard lock(m_mutex);
    m_sampleFolder = std::move(folder);
}

void CVirtualDeviceHost::SetNoticeSink(CNoticeSink sink) {
    std::lock_guard lock(m_mutex);
    m_notices = std::move(sink);
}

bool CVirtualDeviceHost::Create(std::string& error) {
    std::lock_guard lock(m_mutex);
    return CreateLocked(error);
}

bool CVirtualDeviceHost::CreateLocked(std::string& error) {
    if (m_device.IsCreated())
        return true;
    if (m_scriptText.empty()) {
        error = "The virtual device has no editor script to lay out its memory.";
        return false;
    }
    CTavTextOutStringStream errors;
    if (!m_device.Create(m_scriptText, &errors)) {
        error = errors.Text();
        while (!error.empty() && error.back() == '\n')
            error.pop_back();
        if (error.empty())
            error = "Unable to start the virtual device.";
        return false;
    }
    CTavTextOutStringStream notices;
    // A file that is refused leaves the defaults; it is kept for the user to look at.
    if (!m_memoryPath.empty())
        m_memoryRefused = !m_device.LoadMemory(m_memoryPath, &notices);
    if (!m_sampleFolder.empty())
        m_device.ImportSamples(m_sampleFolder, &notices);
    const std::string text = notices.Text();
    for (size_t at = 0; at < text.size();) {
        const size_t end = std::min(text.find('\n', at), text.size());
        const std::string line = text.substr(at, end - at);
        if (m_notices)
            m_notices(line);
        else
            std::fprintf(stderr, "%s\n", line.c_str());
        at = end + 1;
    }
    m_stopping = false;
    m_thread = std::thread([this] { DeliveryLoop(); });
    return true;
}

bool CVirtualDeviceHost::Shutdown(std::string& error) {
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
    std::lock_guard lock(m_mutex);
    if (!m_device.IsCreated() || m_memoryPath.empty() || m_memoryRefused)
        return true;
    CTavTextOutStringStream errors;
    if (!m_device.SaveMemory(m_memoryPath, &errors)) {
        error = errors.Text();
        return false;
    }
    return true;
}

bool CVirtualDeviceHost::AtWireSpeed() {
    std::lock_guard lock(m_mutex);
    return m_device.GetSpeed() == CVirtualDevice::Speed::Wire;
}

void CVirtualDeviceHost::WithDevice(const std::function<void(CVirtualDevice&)>& f) {
    std::lock_guard lock(m_mutex);
    f(m_device);
    if (m_device.IsCreated() && m_device.GetSpeed() == CVirtualDevice::Speed::Instant)
        DeliverDueLocked();
    m_wake.notify_all();
}

bool CVirtualDeviceHost::Connect(CMidiIn& input, std::string& error) {
    std::lock_guard lock(m_mutex);
    if (!CreateLocked(error))
        return false;
    if (std::find(m_inputs.begin(), m_inputs.end(), &input) == m_inputs.end())
        m_inputs.push_back(&input);
    return true;
}

void CVirtualDeviceHost::Disconnect(CMidiIn& input) {
    std::lock_guard lock(m_mutex);
    std::erase(m_inputs, &input);
}

bool CVirtualDeviceHost::Send(const uint8_t* bytes, size_t size, std::string& error) {
    std::unique_lock lock(m_mutex);
    if (!CreateLocked(error))
        return false;
    m_device.Receive(TavBytes(bytes, bytes + size), m_clock.Now());
    if (m_device.GetSpeed() == CVirtualDevice::Speed::Instant) {
        DeliverDueLocked();
        return true;
    }
    lock.unlock();
    m_wake.notify_all();
    return true;
}

// Every input hears every reply, as every cable from the device would carry it. The
// host's lock keeps each input's driver side to one thread at a time.
void CVirtualDeviceHost::DeliverDueLocked() {
    TavBytes reply;
    while (m_device.TakeDue(m_clock.Now(), reply))
        for (CMidiIn* input : m_inputs)
            input->DriverMessage(reply.data(), reply.size());
}

void CVirtualDeviceHost::DeliveryLoop() {
    // Replies are timed to a fraction of a millisecond; the default timer slack would
    // make every timed wake-up late by tens of microseconds.
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    std::unique_lock lock(m_mutex);
    while (!m_stopping) {
        DeliverDueLocked();
        TavTime due;
        if (m_device.NextDue(due)) {
            // The wait is measured on the steady clock the host's clock reads.
            m_wake.wait_for(lock, due - m_clock.Now());
        } else {
            m_wake.wait(lock);
        }
    }
}

std::unique_ptr<IMidiInDriver> CVirtualDeviceBackend::OpenInput(const std::string&, CMidiIn& input,
                                                                std::string&) {
    return std::make_unique<CVirtualInDriver>(m_host, input);
}

std::unique_ptr<IMidiOutDriver> CVirtualDeviceBackend::OpenOutput(const std::string&, std::string&) {
    return std::make_unique<CVirtualOutDriver>(m_host);
}

#pragma once
// What the benchmarks that drive panel widgets share: a port that counts what the output
// hands it, a left-button mouse event sent to a widget, and a main that runs on Qt's
// offscreen platform.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

#include <cstddef>

#include "midi/CTavMidiDevice.h"

namespace bench {

struct CountingPort : CTavMidiOutDevice {
    void Send(const TavBytes& bytes) override {
        ++messages;
        bytesSent += bytes.size();
    }
    size_t messages = 0;
    size_t bytesSent = 0;
};

// A left-button event at a point of the widget; buttons are those held after it.
inline void SendMouse(QWidget& widget, QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
    QMouseEvent event(type, at, widget.mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

inline int RunWithWidgets(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace bench

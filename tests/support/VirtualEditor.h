#pragma once
// The editor started as a user starts it, on the virtual device, for the GUI tests that
// drive the shipped windows: its memory file in a folder of the test's own, the writer on a
// fake clock, the window shown.

#include <QByteArray>
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "app/CTavSystem.h"
#include "app/qt/CApp.h"
#include "model/CTavBufferManager.h"
#include "model/CTavValue.h"
#include "support/EditorOptions.h"
#include "support/FakeClock.h"
#include "support/TestSupport.h"
#include "view/CTavViewManager.h"
#include "view/TavSetValue.h"
#include "view/qt/CRootPanel.h"

namespace test {

class VirtualEditor : public testing::Test {
protected:
    void SetUp() override {
        qputenv("VIREO_VIRTUAL_DEVICE_MEMORY",
                QByteArray::fromStdString((dir.Path() / "memory.bin").string()));
        CApp::Options options = EditorOptions(scripts);
        options.virtualDevice = true;
        options.writerClock = &clock;
        app = std::make_unique<CApp>(system, options);
        ASSERT_EQ(app->InitInstance(), CApp::StartResult::Started);
    }
    void TearDown() override {
        if (app)
            app->ExitInstance();
        qunsetenv("VIREO_VIRTUAL_DEVICE_MEMORY");
    }

    CRootPanel* Root(const char* name) {
        return dynamic_cast<CRootPanel*>(system.ViewManager().FindRootPanel(name));
    }
    CTavValue& Value(const char* path) { return *system.BufferManager().FindValue(path); }
    // Writes a value as a control does: sent, published and cleared at once.
    void Set(const char* path, int32_t raw) { TavSetValueInteger(system.BufferManager(), Value(path), raw); }

    TempDir dir;
    ScriptFolderCopy scripts;
    FakeClock clock;
    CTavSystem system;
    std::unique_ptr<CApp> app;
};

} // namespace test

#pragma once
// Builds a root object from an inline script text, with an error output that collects
// and a buffer output that keeps the pending code.

#include <gtest/gtest.h>

#include <string>

#include "app/CTavSystem.h"
#include "app/CTavTextOut.h"
#include "model/CTavBufferManager.h"

namespace test {

class ModelFixture : public testing::Test {
protected:
    // Reads and creates; fails the test with the collected text when that does not work.
    void Build(const std::string& script, CTavSystem::Views views = CTavSystem::Views::Build) {
        system.SetTextOut(CTavSystem::kErrorOutput, new CTavTextOutStringStream);
        system.SetTextOut(CTavSystem::kBufferOutput, new CTavTextOutBuffer);
        system.AttachErrorOutputToManagers();
        ASSERT_TRUE(system.ReadScript(script)) << system.ErrorText();
        ASSERT_TRUE(system.CreateManagers(views)) << system.ErrorText();
    }

    CTavBufferManager& Buffers() { return system.BufferManager(); }
    CTavValue& Value(const std::string& path) {
        CTavValue* value = Buffers().FindValue(path);
        EXPECT_NE(value, nullptr) << path;
        return *value;
    }

    CTavSystem system;
};

} // namespace test

#pragma once
// The editor's options as the GUI tests start it: the test's script folder, an instance name
// of its own, no splash, no transfer at start, messages into a recording output.

#include <QUuid>

#include "app/qt/CApp.h"
#include "support/RecordingTextOut.h"
#include "support/TestSupport.h"

namespace test {

inline CApp::Options EditorOptions(const ScriptFolderCopy& scripts, RecordingTextOut** box = nullptr) {
    CApp::Options options;
    options.scriptDir = QString::fromStdString(scripts.String());
    options.instanceName = QStringLiteral("vireo-test-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    options.showSplash = false;
    options.transferAtStart = false;
    options.makeMessageBoxOutput = [box] {
        auto* made = new RecordingTextOut;
        if (box)
            *box = made;
        return made;
    };
    return options;
}

} // namespace test

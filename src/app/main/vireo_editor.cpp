// vireo-editor: the desktop editor.

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <cstdio>
#include <string_view>

#include "app/CTavSystem.h"
#include "app/TavStartup.h"
#include "app/qt/CApp.h"
#include "app/qt/CMainFrame.h"
#include "virtual/TavVirtualDeviceOptions.h"

namespace {

int Refuse(const std::string& error) {
    std::fprintf(stderr, "vireo-editor: %s\n", error.c_str());
    return 1;
}

// The bytes of the command-line argument that reads as text: a file name need not be
// valid in the locale's encoding, and only the bytes open it. The last match is taken,
// as the file follows the options.
QByteArray ArgumentBytes(int argc, char** argv, const QString& text) {
    for (int i = argc; i-- > 1;)
        if (QString::fromLocal8Bit(argv[i]) == text)
            return QByteArray(argv[i]);
    return QFile::encodeName(text);
}

} // namespace

int main(int argc, char** argv) {
    // A screenshot needs no display: render offscreen unless a platform was chosen.
    for (int i = 1; i < argc; ++i)
        if (std::string_view(argv[i]) == "--screenshot" && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral(VIREO_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Editor and librarian for the Vireo."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption scriptDir(QStringLiteral("script-dir"),
                                       QStringLiteral("Read VireoEditorScript.xml from <dir>."),
                                       QStringLiteral("dir"));
    parser.addOption(scriptDir);
    const QCommandLineOption virtualDevice(
        QStringLiteral("virtual-device"),
        QStringLiteral("Connect to the built-in virtual device for this run (settings unchanged); "
                       "--virtual-device=cable makes it reply at MIDI cable speed."));
    parser.addOption(virtualDevice);
    const QCommandLineOption virtualDeviceId(
        QStringLiteral("virtual-device-id"),
        QStringLiteral("The device ID the virtual device answers to, 17 to 32 (default 17)."),
        QStringLiteral("N"));
    parser.addOption(virtualDeviceId);
    const QCommandLineOption virtualDeviceFault(
        QStringLiteral("virtual-device-fault"),
        QStringLiteral("Make the virtual device misbehave: a comma-separated <list> of identity, silent, "
                       "leave-pc-mode, modify-error, drop=N and corrupt=N."),
        QStringLiteral("list"));
    parser.addOption(virtualDeviceFault);
    const QCommandLineOption samples(
        QStringLiteral("samples"),
        QStringLiteral("The virtual device's user samples are the WAV and FLAC files of <dir> (44100 Hz, "
                       "mono or stereo)."),
        QStringLiteral("dir"));
    parser.addOption(samples);
    const QCommandLineOption screenshot(
        QStringLiteral("screenshot"), QStringLiteral("Render a root panel once into <file> (PNG) and exit."),
        QStringLiteral("file"));
    parser.addOption(screenshot);
    const QCommandLineOption panel(QStringLiteral("panel"),
                                   QStringLiteral("The root panel --screenshot renders (default main)."),
                                   QStringLiteral("name"));
    parser.addOption(panel);
    const QCommandLineOption scale(
        QStringLiteral("scale"),
        QStringLiteral("The screen scale --screenshot renders at, 1 to 4 (default: the screen's; "
                       "2 gives twice the pixels)."),
        QStringLiteral("factor"));
    parser.addOption(scale);
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("Data file to open."),
                                 QStringLiteral("[file]"));
    // The parser knows no option with an optional value, so "--virtual-device=SPEED" is
    // taken apart here and left to it as the plain switch.
    QStringList arguments = QCoreApplication::arguments();
    const QString speedPrefix = QStringLiteral("--virtual-device=");
    bool cable = false;
    for (QString& argument : arguments) {
        if (argument == QStringLiteral("--"))
            break;
        if (!argument.startsWith(speedPrefix))
            continue;
        CVirtualDevice::Speed speed = CVirtualDevice::Speed::Instant;
        std::string error;
        if (!TavParseVirtualDeviceSpeed(argument.mid(speedPrefix.size()).toStdString(), speed, error))
            return Refuse(error);
        cable = speed == CVirtualDevice::Speed::Wire;
        argument = QStringLiteral("--virtual-device");
    }
    parser.process(arguments);

    CApp::Options options;
    options.scriptDir = parser.value(scriptDir);
    options.virtualDevice = parser.isSet(virtualDevice);
    options.virtualDeviceCable = cable;
    if (parser.isSet(virtualDeviceId)) {
        std::string error;
        if (!TavParseVirtualDeviceId(parser.value(virtualDeviceId).toStdString(), options.virtualDeviceId,
                                     error))
            return Refuse(error);
    }
    if (parser.isSet(virtualDeviceFault)) {
        std::string error;
        if (!TavParseVirtualDeviceFaults(parser.value(virtualDeviceFault).toStdString(),
                                         options.virtualDeviceFaults, error))
            return Refuse(error);
    }
    if (parser.isSet(samples))
        options.virtualDeviceSamples = QFile::encodeName(parser.value(samples)).toStdString();
    const QString screenshotFile = parser.value(screenshot);
    const QString screenshotPanel = parser.value(panel);
    double screenshotScale = 0; // the screen's own
    if (parser.isSet(scale)) {
        bool number = false;
        screenshotScale = parser.value(scale).toDouble(&number);
        if (!number || !(screenshotScale >= 1 && screenshotScale <= 4))
            return Refuse("--scale takes a factor from 1 to 4, not \"" + parser.value(scale).toStdString() +
                          "\".");
    }
    if (!screenshotFile.isEmpty()) {
        // A one-off rendering runs beside any open editor, shows no splash and no message
        // box: messages go to standard error.
        options.showSplash = false;
        options.transferAtStart = false;
        options.makeMessageBoxOutput = [] { return TavNewStdErrOutput(); };
        options.instanceName = QStringLiteral("vireo-screenshot-%1").arg(QCoreApplication::applicationPid());
    }
    if (!parser.positionalArguments().isEmpty())
        options.filePath = ArgumentBytes(argc, argv, parser.positionalArguments().constFirst());

    CApp app(CTavSystem::Instance(), std::move(options));
    switch (app.InitInstance()) {
    case CApp::StartResult::HandedOver:
        return 0;
    case CApp::StartResult::Failed:
        return 1;
    case CApp::StartResult::Started:
        break;
    }
    if (!screenshotFile.isEmpty()) {
        const bool saved = app.Screenshot(screenshotFile, screenshotPanel, screenshotScale);
        app.ExitInstance();
        return saved ? 0 : 1;
    }
    // Closing the main window ends the editor, even while other panels' windows are open.
    QObject::connect(app.MainFrame(), &CMainFrame::closed, &application, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    const int status = QApplication::exec();
    app.ExitInstance();
    return status;
}

// vireo-editor: the desktop editor.

#include <QApplication>
#include <QCommandLineParser>

#include "app/CTavSystem.h"
#include "app/qt/CApp.h"

int main(int argc, char** argv) {
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
        QStringLiteral("Connect to the built-in virtual device for this run (settings unchanged)."));
    parser.addOption(virtualDevice);
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("Data file to open."),
                                 QStringLiteral("[file]"));
    parser.process(application);

    CApp::Options options;
    options.scriptDir = parser.value(scriptDir);
    options.virtualDevice = parser.isSet(virtualDevice);
    if (!parser.positionalArguments().isEmpty())
        options.filePath = parser.positionalArguments().constFirst();

    CApp app(CTavSystem::Instance(), std::move(options));
    switch (app.InitInstance()) {
    case CApp::StartResult::HandedOver:
        return 0;
    case CApp::StartResult::Failed:
        return 1;
    case CApp::StartResult::Started:
        break;
    }
    const int status = QApplication::exec();
    app.ExitInstance();
    return status;
}

// The program: the main window, then the About and manual windows, and the event loop until the
// main window closes.
#include <QApplication>
#include <QIcon>

#include "About.h"
#include "CommandLine.h"
#include "ManPage.h"
#include "QVMain.h"

int main(int argc, char** argv) {
    // Help, version and mistakes are answered from the plain arguments, without a window system,
    // unless these may hold the window system's own options, which the application takes out.
    const QStringList given = quorvik::commandLineArguments(argc, argv);
    if (const auto early = quorvik::parseCommandLine(given);
        early.action == quorvik::CommandLine::Action::Exit &&
        !quorvik::mayHoldWindowSystemOptions(given)) {
        return quorvik::finishCommandLine(early);
    }
    QApplication app(argc, argv);
    const quorvik::CommandLine commandLine = quorvik::parseCommandLine(QApplication::arguments());
    if (commandLine.action == quorvik::CommandLine::Action::Exit) {
        return quorvik::finishCommandLine(commandLine);
    }
    QApplication::setApplicationName(QStringLiteral("Quorvik"));
    QApplication::setOrganizationName(QStringLiteral("Software"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/quorvik.png")));
    QApplication::setDesktopFileName(QStringLiteral("quorvik"));

    quorvik::TShipForm form;
    quorvik::TAboutBox about(&form);
    quorvik::TManualForm manual(&form);
    form.setAuxiliaryWindows(&about, &manual);
    form.show();
    return QApplication::exec();
}

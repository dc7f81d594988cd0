// The program: the main window, then the About and manual windows, and the event loop until the
// main window closes.
#include <QApplication>
#include <QIcon>

#include "About.h"
#include "ManPage.h"
#include "QVMain.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
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

// A bare Qt main window, built with the same Qt as the game and linked to nothing else: a menu
// bar with one menu, at the size a main window has without content, or at the size given as two
// arguments (width, height). The start-up benchmark times it beside the game
// (bench_MainWindow --compare-process-starts).
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>

#include "FirstFrameExit.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    quorvik::FirstFrameExit::installWhenAsked();
    QMainWindow window;
    window.menuBar()->addMenu(QStringLiteral("Spiel"));
    const QStringList arguments = QCoreApplication::arguments();
    window.resize(arguments.size() == 3 ? QSize(arguments[1].toInt(), arguments[2].toInt())
                                        : QSize(592, 380));
    window.show();
    return QApplication::exec();
}

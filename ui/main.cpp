// The program: the main window (which builds its About and manual windows on first use), and
// the event loop until the main window closes or a signal or the desktop session ends it.
#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>

#include <cstdio>

#include "BoardView.h"
#include "CommandLine.h"
#include "DisplayMessages.h"
#include "FirstFrameExit.h"
#include "Fonts.h"
#include "MainWindow.h"
#include "QuitSignals.h"
#include "SingleCopy.h"

int main(int argc, char** argv) {
    // Help, version and mistakes are answered from the plain arguments, without a window system,
    // unless these may hold the window system's own options, which the application takes out.
    // A puzzle to solve is answered likewise: a command line that names one holds no other
    // options.
    const QStringList given = quorvik::commandLineArguments(argc, argv);
    if (const auto early = quorvik::parseCommandLine(given);
        early.action == quorvik::CommandLine::Action::Solve ||
        (early.action == quorvik::CommandLine::Action::Exit &&
         !quorvik::mayHoldWindowSystemOptions(given))) {
        return quorvik::finishCommandLine(early);
    }
    // Without a display the toolkit would abort; the player is told in a sentence instead.
    quorvik::watchDisplayMessages();
    // The fonts' configuration is read on a second core while the application connects to the
    // display: it is a good part of the time to the first frame.
    const std::jthread fontConfiguration = quorvik::readFontConfigurationAhead();
    QApplication app(argc, argv);
    quorvik::displayStartupDone();
    quorvik::FirstFrameExit::installWhenAsked();
    // Qt's own texts in German: the line edits' menus, the names of keys in shortcuts, the
    // buttons of message boxes. Without the file they stay as Qt has them.
    QTranslator qtTexts;
    if (qtTexts.load(QStringLiteral("qtbase_de"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&qtTexts);
    }
    const quorvik::CommandLine commandLine = quorvik::parseCommandLine(QApplication::arguments());
    if (commandLine.action != quorvik::CommandLine::Action::Play) {
        return quorvik::finishCommandLine(commandLine);
    }
    QApplication::setApplicationName(QStringLiteral("Quorvik"));
    QApplication::setOrganizationName(QStringLiteral("Software"));
    QApplication::setDesktopFileName(QStringLiteral("quorvik"));

    quorvik::MainWindow::Options options;
    if (commandLine.puzzle) {
        // A well-formed number whose seed never built a game names no puzzle.
        quorvik::ShipGame probe;
        const quorvik::PuzzleId& id = *commandLine.puzzle;
        if (!probe.newGameFromSeed(id.level, id.seed, id.unique, id.difficulty)) {
            std::fprintf(stderr, "quorvik: Zur Spielnummer %s gibt es kein Spiel.\n",
                         quorvik::formatPuzzleNumber(id).c_str());
            return quorvik::commandLineErrorExitCode;
        }
        options.puzzle = commandLine.puzzle;
    }
    // One copy at a time: started again while it runs, the running window comes to the front and
    // starts the puzzle this start was given, as the puzzle number dialog would.
    if (quorvik::bringRunningCopyToFront(options.puzzle)) {
        return 0;
    }
    quorvik::MainWindow form(std::move(options));
    quorvik::listenForLaterStarts(&form, [&form](const std::optional<quorvik::PuzzleId>& puzzle) {
        if (puzzle) {
            form.startPuzzle(*puzzle);
        }
        form.setWindowState((form.windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
        form.show();
        form.raise();
        form.activateWindow();
    });
    // A signal to end, and the desktop session ending, quit as "Beenden" does: all is saved.
    quorvik::quitOnSignals(&form, [&form] {
        form.close();
        QApplication::quit();
    });
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &form, [&form] { form.saveAll(); });
    // Closed windows have saved already; a quit with the window still open saves here.
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &form, [&form] {
        if (form.isVisible()) {
            form.saveAll();
        }
    });
    // A display that goes away ends the program at once, but what the player has is saved.
    quorvik::saveOnDisplayLoss([&form] { form.saveAll(); });
    // The program's icon is the one picture file a start reads (decoding it is about as costly as
    // drawing the whole board): it goes to the window manager after the first frame.
    QObject::connect(form.boardView(), &quorvik::BoardView::firstFramePainted, &app, [] {
        QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/quorvik.png")));
    });
    form.show();
    const int exitCode = QApplication::exec();
    quorvik::saveOnDisplayLoss({});
    return exitCode;
}

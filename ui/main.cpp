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

using namespace quorvik;

int main(int argc, char** argv) {
    // Help, version and mistakes are answered from the plain arguments, without a window system,
    // unless these may hold the window system's own options, which the application takes out.
    // A puzzle to solve is answered likewise: a command line that names one holds no other
    // options.
    const QStringList given = commandLineArguments(argc, argv);
    if (const auto early = parseCommandLine(given);
        early.action == CommandLine::Action::Solve ||
        (early.action == CommandLine::Action::Exit && !mayHoldWindowSystemOptions(given))) {
        return finishCommandLine(early);
    }
    // Without a display the toolkit would abort; the player is told in a sentence instead.
    watchDisplayMessages();
    // The fonts' configuration is read on a second core while the application connects to the
    // display: it is a good part of the time to the first frame.
    const std::jthread fontConfiguration = readFontConfigurationAhead();
    QApplication app(argc, argv);
    displayStartupDone();
    FirstFrameExit::installWhenAsked();
    // Qt's own texts in German: the line edits' menus, the names of keys in shortcuts, the
    // buttons of message boxes. Without the file they stay as Qt has them.
    QTranslator qtTexts;
    if (qtTexts.load(QStringLiteral("qtbase_de"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&qtTexts);
    }
    const CommandLine commandLine = parseCommandLine(QApplication::arguments());
    if (commandLine.action != CommandLine::Action::Play) {
        return finishCommandLine(commandLine);
    }
    QApplication::setApplicationName(QStringLiteral("Quorvik"));
    QApplication::setOrganizationName(QStringLiteral("Software"));
    QApplication::setDesktopFileName(QStringLiteral("quorvik"));

    MainWindow::Options options;
    if (commandLine.puzzle) {
        // A well-formed number whose seed never built a game names no puzzle.
        ShipGame probe;
        const PuzzleId& id = *commandLine.puzzle;
        if (!probe.newGameFromSeed(id.level, id.seed, id.unique, id.difficulty)) {
            std::fprintf(stderr, "quorvik: Zur Spielnummer %s gibt es kein Spiel.\n",
                         formatPuzzleNumber(id).c_str());
            return commandLineErrorExitCode;
        }
        options.puzzle = commandLine.puzzle;
    }
    // One copy at a time: started again while it runs, the running window comes to the front and
    // starts the puzzle this start was given, as the puzzle number dialog would.
    if (bringRunningCopyToFront(options.puzzle)) {
        return 0;
    }
    MainWindow form(std::move(options));
    listenForLaterStarts(&form, [&form](const std::optional<PuzzleId>& puzzle) {
        if (puzzle) {
            form.startPuzzle(*puzzle);
        }
        form.setWindowState((form.windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
        form.show();
        form.raise();
        form.activateWindow();
    });
    // A signal to end, and the desktop session ending, quit as "Beenden" does: all is saved.
    quitOnSignals(&form, [&form] {
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
    saveOnDisplayLoss([&form] { form.saveAll(); });
    // The program's icon is the one picture file a start reads (decoding it is about as costly as
    // drawing the whole board): it goes to the window manager after the first frame.
    QObject::connect(form.boardView(), &BoardView::firstFramePainted, &app, [] {
        QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/quorvik.png")));
    });
    form.show();
    const int exitCode = QApplication::exec();
    saveOnDisplayLoss({});
    return exitCode;
}

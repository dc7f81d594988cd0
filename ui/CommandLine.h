// The program's command line: a puzzle number to start with, a puzzle to solve without a
// window, the help and the version. Reading it decides what to do and with which texts;
// printing and leaving are the caller's last step.
#pragma once

#include <QString>
#include <QStringList>

#include <chrono>
#include <optional>

#include "PuzzleNumber.h"

namespace quorvik {

// The exit code of a command line the program cannot follow.
inline constexpr int commandLineErrorExitCode = 2;
// The exit code of --solve for a puzzle without a solution.
inline constexpr int noSolutionExitCode = 1;
// How many solutions --solve counts at most.
inline constexpr int solveCountLimit = 100;
// How long --solve searches before it stops and says how far it came, and its exit code then.
inline constexpr std::chrono::milliseconds solveTimeLimit{10000};
inline constexpr int solveStoppedExitCode = 3;

struct CommandLine {
    enum class Action {
        Play,   // open the window
        Exit,   // print `output` and `error` and end with `exitCode`, no window
        Solve,  // solve the puzzle in `solveFile`, no window
    };
    Action action = Action::Play;
    std::optional<PuzzleId> puzzle;  // --puzzle: the puzzle to start with
    QString solveFile;               // --solve: the file of the puzzle, "-" standard input
    int exitCode = 0;                // 0 after the help or the version, 2 after a mistake
    QString output;                  // the help or the version, for standard output
    QString error;                   // what was wrong, for standard error
};

// Reads the arguments, the program's name first:
//
//     quorvik [--puzzle <Nummer> | --solve <Datei>] [-h | --help] [-v | --version]
//
// An unknown option, a stray argument, --puzzle or --solve without a value or twice, both
// together, or a number that parsePuzzleNumber does not take is a mistake, reported in German
// with exit code 2. Otherwise --help comes before --version, and both come before solving and
// playing.
CommandLine parseCommandLine(const QStringList& arguments);

// Whether `arguments` may hold options of the window system ("-platform xcb", "-style ...": one
// hyphen and a word), which only the application object knows and takes out. When they hold
// none, what parseCommandLine says of them is final before any window system is needed.
bool mayHoldWindowSystemOptions(const QStringList& arguments);

// The arguments as main() receives them, before any application object exists.
QStringList commandLineArguments(int argc, const char* const* argv);

// Reads the puzzle (text or code) in `file`, or standard input for "-", and answers as an Exit:
// "Lösungen: n" (or "Lösungen: mindestens 100") and one solution in the text form with exit
// code 0; "Lösungen: 0" and the reason, where a simple one is found, with exit code 1; what is
// wrong with the file, its line named, on standard error with exit code 2. A search that runs
// past `timeLimit` is stopped: a German sentence with the solutions found so far, the first of
// them in the text form, and exit code 3.
CommandLine solvePuzzleFile(const QString& file,
                            std::chrono::milliseconds timeLimit = solveTimeLimit);

// Writes the texts of an Exit, or of solving the puzzle of a Solve, to standard output and
// standard error and returns its exit code.
int finishCommandLine(const CommandLine& commandLine);

}  // namespace quorvik

// The whole puzzle without a window: the board and its elements, the level, the fleet generator,
// the clue selection, the player's moves with the line sums, the completion test, the solution
// display and the undo history. The model never draws: every element's state, including how it
// is shown, is here, and the window draws from it.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ElementState.h"
#include "GameClock.h"
#include "LevelTable.h"
#include "LiveFeedback.h"
#include "Move.h"
#include "Puzzle.h"
#include "RuntimeRandom.h"
#include "Solver.h"

class TestShipGame;
class TestGameHelps;
class TestTypedPuzzle;
struct HandMadeBoard;

namespace quorvik {

// Ship orientation as drawn by the generator.
inline constexpr int orientationHorizontal = 0;
inline constexpr int orientationVertical = 1;

// A ship that finds no place within this many tries abandons the attempt.
inline constexpr int maxTriesPerShip = 4000;

// A hard game is looked for among this many built puzzles at most.
inline constexpr int maxHardAttempts = 200;
// The undo history keeps this many steps of a game; older ones are dropped, the game stays.
inline constexpr std::size_t maxHistorySteps = 2000;
// Games replaced by a new game that an undo can bring back, the latest last.
inline constexpr std::size_t maxEarlierGames = 10;

class ShipGame {
public:
    explicit ShipGame(RuntimeRandom::SeedSource seeds = RuntimeRandom::clockSeed)
        : random_(std::move(seeds)) {}

    // --- Level and new game ---

    // Applies a level (outside 4..8 the beginner level) and starts a new game.
    void setLevel(int level);
    // Builds the puzzle that the attempt with `seed` gives at `level`: the same fleet and clues
    // as the game that seed once built. False, with the game unchanged, when that attempt finds
    // no fleet (a seed no game was ever built from) or the level is not one of the table's.
    // Like every new game, it keeps the game it replaces for an undo.
    bool newGameFromSeed(int level, std::uint32_t seed, bool unique = false,
                         Difficulty difficulty = Difficulty::Any);

    // Whether new games are built to have exactly one solution: the game is built as by default,
    // then, while a second solution exists, clue draws continue with the same rule, skipping
    // cells where the two solutions found agree. Off, no game gets more clues than its level.
    void setUniqueMode(bool on) { uniqueMode_ = on; }
    // Whether the current puzzle was built in that mode, and how many clues it added.
    bool builtUnique() const { return builtUnique_; }
    int extraClues() const { return extraClues_; }
    // The difficulty new games are built for. Any other than Any builds them with one solution,
    // then for Easy and Medium draws more clues by the same rule until the grade is at most the
    // one asked for. For Medium and Hard it grades the puzzles of the next attempts until one
    // has exactly the grade asked for, and keeps the closest when none of maxHardAttempts has.
    void setDifficulty(Difficulty difficulty) { difficulty_ = difficulty; }
    Difficulty difficulty() const { return difficulty_; }
    // The difficulty the current puzzle was built for; a number rebuilds it with the same one.
    Difficulty builtDifficulty() const { return builtDifficulty_; }
    // Resets the board until a fleet fits, then counts the sums. The new game's history starts
    // afresh; the game it replaces is kept, with its history, for an undo to bring back.
    void newGame();
    // --- Typed-in puzzles ---

    // Starts a game of a typed-in puzzle of any size and fleet, with lines without a number and
    // water and segments of unknown kind among its clues. It has no hidden fleet of its own: the
    // board holds one of its solutions, and while the player's marks agree with another one,
    // that one (see followMarks). False, with the game unchanged, where the puzzle is not a
    // valid one or has no solution. A solution it holds is checked and taken, sparing the
    // search. Like every new game, it keeps the game it replaces.
    bool newGameFromPuzzle(const Puzzle& puzzle);
    // Takes `level` as the level without building a game: the one a typed-in game read at start
    // keeps for the next new game.
    void keepLevel(int level);
    // The typed-in puzzle on the board (its solution left out), nothing for a built game.
    const std::optional<Puzzle>& typedPuzzle() const { return typedPuzzle_; }
    bool isTypedIn() const { return typedPuzzle_.has_value(); }
    // The solution a typed-in game was started with (a shape per cell, Water without a ship).
    const SolverLayout& firstSolution() const { return firstSolution_; }

    // --- Playing ---

    // Applies one move as one step of the history and returns the elements it changed. A move
    // of the player is followed by the completion test (a solved board shows the solution) and
    // the recount of the sums; the solution display asked for by the player recounts nothing.
    ChangedElements apply(const Move& move) { return apply(std::vector<Move>{move}); }
    // Several moves as one step, each with its completion test and recount.
    ChangedElements apply(const std::vector<Move>& moves);

    // An undo takes back the last step of this game or, at its start, the new game itself; a
    // redo does a step again or returns to the game an undo left.
    bool canUndo() const { return done_ > 0 || !earlierGames_.empty(); }
    bool canRedo() const { return done_ < history_.size() || !laterGames_.empty(); }
    // Whether the next undo brings back the game before this one, the next redo the one after;
    // then the whole board, its level and legend change.
    bool undoChangesGame() const { return done_ == 0 && !earlierGames_.empty(); }
    bool redoChangesGame() const { return done_ == history_.size() && !laterGames_.empty(); }
    // How many steps of this game are in effect: each move that changed something is one.
    std::size_t stepsDone() const { return done_; }
    // Takes the last step back, or does the last step taken back again. Across a new game they
    // return every element of the game now on the board.
    ChangedElements undo() { return takeStep(false); }
    ChangedElements redo() { return takeStep(true); }

    void updateSums();
    bool isFinished() const;

    // --- State ---

    // The game's clock as the window left it, kept with the game so that a game brought back
    // comes with its time. The rules neither read nor change it.
    const ClockState& keptClock() const { return keptClock_; }
    void setKeptClock(const ClockState& clock) { keptClock_ = clock; }

    int level() const { return level_; }
    int maxCol() const { return maxCol_; }
    int maxRow() const { return maxRow_; }
    int clueCount() const { return clueCount_; }
    int attempts() const { return attempts_; }
    // The seed of the attempt that built the current fleet: it replays this puzzle.
    std::uint32_t gameSeed() const { return gameSeed_; }

    bool isOnBoard(int x, int y) const { return x >= 0 && x <= maxCol_ && y >= 0 && y <= maxRow_; }

    const ElementState& cell(int x, int y) const { return grid_[index(x)][index(y)]; }
    const ElementState& colNumber(int x) const { return colNumbers_[index(x)]; }
    const ElementState& rowNumber(int y) const { return rowNumbers_[index(y)]; }

    // The legend: one row per ship length of the fleet, longest first.
    int legendRowCount() const { return static_cast<int>(legendLengths_.size()); }
    int legendRowLength(int r) const {
        return r >= 0 && r < legendRowCount() ? legendLengths_[index(r)] : 0;
    }
    int legendShipCount(int r) const { return fleet_[index(legendRowLength(r))]; }
    // The legend entry of segment i of ship s in legend row r, or nullptr if there is none.
    const ElementState* legendEntry(int r, int s, int i) const;

    // The state of any element, or nullptr for an element the board does not have.
    const ElementState* element(const ElementRef& ref) const;
    // Every element of the current board: grid cells column by column, column numbers, row
    // numbers, then the legend.
    std::vector<ElementRef> allElements() const;

    // --- The solver's view ---

    // The puzzle on the board as a value in the game's own terms: size, numbers, fleet, clues and
    // the hidden fleet as its solution. It holds nothing of the level it was built for.
    Puzzle puzzle() const;
    // The puzzle as the player sees it: the board, the numbers, the fleet and the clues.
    SolverPuzzle solverPuzzle() const;
    // The hidden fleet as a layout: the shape of every cell, Water where no ship lies.
    SolverLayout hiddenLayout() const;
    // Whether the puzzle has exactly one solution (worked out once per game).
    bool hasOneSolution() const { return knownOneSolution().value_or(false); }
    // The same, or nothing while it is open: on a large typed-in puzzle the short search the
    // window waits for may end before it is sure (hasOneSolution() then says false).
    std::optional<bool> knownOneSolution() const;
    // How hard the hints find the puzzle from its clues (worked out once per game).
    Grade grade() const;

    // What the layouts that fit the numbers and clues hold in each cell: one search through all
    // of them, once per puzzle. prepareHelps() starts that search beside the window's thread
    // when a puzzle is on the board, so that the helps find it done; without it the first help
    // that needs it waits for it.
    void prepareHelps() const;
    const SolutionSpread& spread() const;

    // The player's marks that differ from this game's fleet, in two kinds. On a puzzle with one
    // solution every such mark cannot be right. On one with several, a mark that another
    // solution has is not a mistake of reasoning, but the board counts as solved only with this
    // game's fleet. Cells shown by the solution display are not the player's marks any more
    // and are not looked at.
    struct Mistakes {
        std::vector<SolverCell> impossible;     // no solution has them
        std::vector<SolverCell> otherSolution;  // another solution has them, the fleet not
    };
    Mistakes mistakes() const;
    // Whether the solution display shows the fleet: a segment filled in or a cross on a mark.
    bool solutionShown() const;

    // A help for the player, from the clues, the numbers and the player's correct marks.
    struct Hint {
        enum class Kind {
            WrongMark,      // the cell holds a mark that no solution has
            OtherSolution,  // the mark fits another solution, not this game's fleet
            Deduction,      // a step of reasoning decides the cells
            Reveal,         // no rule applies: one cell of the hidden fleet is shown
            Solved,         // nothing is left to find
            Shown,          // the solution display shows the fleet
        };
        Kind kind = Kind::Solved;
        Deduction deduction{};            // for a deduction: the rule and what it decides
        std::vector<SolverCell> cells{};  // the cells it is about and, taken, the marks they get
    };
    Hint nextHint() const;
    // The moves that take a hint: the marks of its cells (a wrong mark is covered again).
    std::vector<Move> hintMoves(const Hint& hint) const;
    // The running count of what the board shows: lines done or over, complete ships, marks that
    // break the rules. It reads the marks, clues, numbers and fleet, not the hidden fleet.
    LiveFeedback liveFeedback() const;

    // The player's side of the game as text: every element's mark, reveal, alternation and sum.
    // Together with the puzzle (level and seed) it is the whole game in progress.
    std::string exportPlay() const;
    // Puts back a game exported from the same puzzle. False, with nothing changed, when the text
    // is damaged or does not fit the board: a wrong size, an unknown code or reveal, a clue that is
    // not shown as one, a tick where no ship lies.
    // Line sums are not read: they are counted from the marks, as the next move counts them.
    bool importPlay(const std::string& text);
    // The undo history as two lines of text: "history-base" with the play before its oldest step
    // (exportPlay's lines joined by '|'), and "history" with how many steps are in effect and
    // the moves of every step.
    std::string exportHistory();
    // Puts back a history exported with the play now on the board: its steps are played again
    // from the base and must arrive at this very board, whose line sums then are those the
    // steps counted. False, with nothing changed, otherwise.
    bool importHistory(const std::string& text);

private:
    // The tests build boards by hand through the generation steps and the writable elements.
    friend class ::TestShipGame;
    friend class ::TestGameHelps;
    friend class ::TestTypedPuzzle;
    friend struct ::HandMadeBoard;

    static std::size_t index(int i) { return static_cast<std::size_t>(i); }

    // --- The generation steps, in the order a new game takes them ---

    // The board reset of one attempt: grid cells, number elements and a new legend built from
    // the fleet (its rows' lengths and their entries).
    void resetBoard();
    // Hides the level's fleet and reveals the clues with a new seed from the seed source; false
    // when a ship found no place.
    bool placeFleet();
    // The same with the given seed.
    bool placeFleetFromSeed(std::uint32_t seed);
    // Whether a ship from (x, y) running right (0) or down (1) neither overlaps nor touches one.
    bool canPlaceShip(int x, int y, int orientation, int length) const;
    // Makes (x, y) a hidden segment of `shape` and counts it in its column and row.
    void placeSegment(int x, int y, Mark shape);
    void revealClues();
    bool hasClueNeighbour(int x, int y) const;
    // Writable elements, for the generation steps and the tests' boards.
    ElementState& mutableCell(int x, int y) { return grid_[index(x)][index(y)]; }
    ElementState& mutableColNumber(int x) { return colNumbers_[index(x)]; }
    ElementState& mutableRowNumber(int y) { return rowNumbers_[index(y)]; }

    void applyLevel(int level);
    // Adds clues until one solution remains; false when no clue can tell two solutions apart.
    bool makeUnique();
    // Adds clues until the grade is at most `wanted`; false when no cell can take one more.
    bool makeEasier(Grade wanted);
    // Reveals one clue on a ship cell without a clue beside it that `fits` as well; false, with
    // nothing drawn, when no cell qualifies.
    bool revealClue(const std::function<bool(int x, int y)>& fits);
    // The player's marks as the solver reads them: water, segments and shapes.
    std::vector<SolverCell> playerMarks() const;
    // On a typed-in puzzle whose solution is not shown: when a mark of the player disagrees with
    // the solution on the board, takes the first solution that agrees with all of them, if there
    // is one. So a board whose marks are any one solution is complete, and the helps reason
    // about the solution the player is on.
    void followMarks();
    // On reading the play of a typed-in game: takes the solution its board shows, as far as the
    // cells' reveals tell, among them one that agrees with the player's marks.
    void followPlay(const std::vector<std::string_view>& cells);
    // The first solution that agrees with every cell of `fixed`; false, nothing changed, without.
    bool takeSolutionWith(const std::vector<SolverCell>& fixed);
    // Makes `layout` (a shape per cell, Water without a ship) the fleet on the board.
    void setHiddenLayout(const SolverLayout& layout);

    // What a move can change of an element, packed into one word: the mark, markCount and the
    // reveal a byte each, and isCovered. The rest is fixed when the game is built.
    using PlayFields = std::uint32_t;
    static PlayFields playFields(const ElementState& e);
    static void setPlayFields(ElementState& e, PlayFields fields);
    // One changed element of a step: its place in allElements() order, before and after.
    struct Change {
        std::uint16_t element;
        PlayFields before;
        PlayFields after;
    };
    // One step of the history: what it changed, and its moves packed one word each (to save the
    // history and play it again).
    struct Step {
        std::vector<Change> changes;
        std::vector<std::uint32_t> moves;
    };
    static std::uint32_t packMove(const Move& move);
    static Move unpackMove(std::uint32_t packed);

    // Gives a cell a plain mark: no clue, tick or cross over it.
    static void showPlain(ElementState& e, Mark mark);
    ElementState* mutableElement(const ElementRef& ref) {
        return const_cast<ElementState*>(std::as_const(*this).element(ref));
    }
    // Keeps the game on the board for an undo, before a new game replaces it.
    void keepForUndo();
    // Puts `other`'s game on the board; the generator, the mode and the kept games stay.
    void takeGame(const ShipGame& other);
    // The game on the board as one to keep: without kept games of its own or a redo tail.
    std::shared_ptr<const ShipGame> keptCopy() const;
    void buildNewGame();
    void applyOne(const Move& move);
    void markCell(int x, int y, Mark mark);
    void fillLine(bool column, int line, bool water);
    void markLegendShip(int shipRow, int shipNo, int segment, bool tick);
    void revealSolution();
    // An undo (backwards) or a redo (forwards).
    ChangedElements takeStep(bool forward);

    RuntimeRandom random_;

    std::array<std::array<ElementState, maxBoardSize>, maxBoardSize> grid_{};  // [column][row]
    std::array<ElementState, maxBoardSize> colNumbers_{};
    std::array<ElementState, maxBoardSize> rowNumbers_{};
    std::vector<ElementState> legend_;
    std::vector<int> legendLengths_;   // ship length of each legend row
    std::vector<int> legendRowStart_;  // index in legend_ of each legend row's first entry

    int level_ = 0;
    int maxCol_ = 0;
    int maxRow_ = 0;
    int clueCount_ = 0;
    int attempts_ = 0;
    std::uint32_t gameSeed_ = 0;
    bool uniqueMode_ = false;
    bool builtUnique_ = false;
    int extraClues_ = 0;
    Difficulty difficulty_ = Difficulty::Any;
    Difficulty builtDifficulty_ = Difficulty::Any;
    mutable std::optional<bool> oneSolution_;            // worked out on first need for each puzzle
    mutable std::optional<Grade> grade_;                 // the same
    mutable std::shared_future<SolutionSpread> spread_;  // the same, or started early
    std::array<int, maxBoardSize + 1> fleet_{};          // no ships until a level is set
    std::optional<Puzzle> typedPuzzle_;                  // a typed-in game's puzzle
    SolverLayout firstSolution_;                         // and the solution it started with
    ClockState keptClock_;

    std::deque<Step> history_;
    std::size_t done_ = 0;  // steps of history_ in effect; the rest can be redone
    // Games replaced by new games (the latest last), and games an undo left (the next last).
    std::deque<std::shared_ptr<const ShipGame>> earlierGames_;
    std::vector<std::shared_ptr<const ShipGame>> laterGames_;
};

}  // namespace quorvik

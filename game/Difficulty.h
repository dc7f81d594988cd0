// How hard a puzzle is to solve by reasoning, and the difficulty a player asks new games to have.
#pragma once

namespace quorvik {

// The hardest kind of rule the step-by-step hints need, from the clues alone, until every cell
// is decided (the kinds of the last segments then follow from their neighbours).
enum class Grade {
    Easy,      // "leicht": the line, corner and clue rules
    Medium,    // "mittel": also the fleet rules
    Hard,      // "schwer": also a trial, an assumption that leads to a contradiction
    VeryHard,  // "sehr schwer": the rules stop before every cell is decided
};

// The difficulty chosen for new games. Any is the game as it always was; the others build games
// with exactly one solution and a grade of at most Easy or Medium, or exactly Hard.
enum class Difficulty {
    Any,
    Easy,
    Medium,
    Hard,
};

// The grade a chosen difficulty asks for (Any: none, every grade will do): Easy, Medium and Hard
// stand one above their grades.
constexpr Grade gradeAskedFor(Difficulty difficulty) {
    return difficulty == Difficulty::Any ? Grade::VeryHard
                                         : static_cast<Grade>(static_cast<int>(difficulty) - 1);
}

}  // namespace quorvik

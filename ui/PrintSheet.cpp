// Puzzles on paper. Every measure on a page is in tenths of a millimetre: the painter is scaled
// from the device's pixels once per sheet, so that a printer and a PDF file give the same page.
// Ships are the tile pictures' shapes as outlines, numbers and captions are text.
#include "PrintSheet.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>

#include <algorithm>
#include <cmath>
#include <set>

#include "AtomicFile.h"
#include "Fonts.h"
#include "LevelNames.h"
#include "MarkPictures.h"
#include "PuzzleCode.h"
#include "PuzzleDialog.h"
#include "PuzzleNumber.h"
#include "ShipGame.h"
#include "TileArt.h"

namespace quorvik {

namespace {

// Tenths of a millimetre per millimetre.
constexpr double mm = 10.0;
// The clues are printed black, the player's marks in grey so that they read as pencil.
const QColor clueInk(Qt::black);
const QColor markInk(0x70, 0x70, 0x70);

enum class Part {
    Puzzle,         // the puzzle to solve: header, grid, numbers, fleet, time
    Solution,       // its solution on a page of its own
    SmallSolution,  // its solution among many at the back of a booklet
};

// The sans face at a height in tenths of a millimetre.
QFont paperFont(double height, bool bold = false) {
    return arialFont(std::max(1, static_cast<int>(std::lround(height))), bold);
}

// The cell a grid mark is drawn into, a little inside its square so that the lines stay clear.
QRectF markRect(const QRectF& square) {
    const double inset = square.width() * 0.08;
    return square.adjusted(inset, inset, -inset, -inset);
}

// Water: one wave across the cell.
void paintWater(QPainter& painter, const QRectF& cell, const QColor& ink) {
    const double w = cell.width();
    const double h = cell.height();
    QPainterPath wave;
    wave.moveTo(cell.left() + 0.15 * w, cell.top() + 0.5 * h);
    wave.cubicTo(cell.left() + 0.3 * w, cell.top() + 0.3 * h, cell.left() + 0.4 * w,
                 cell.top() + 0.3 * h, cell.left() + 0.5 * w, cell.top() + 0.5 * h);
    wave.cubicTo(cell.left() + 0.6 * w, cell.top() + 0.7 * h, cell.left() + 0.7 * w,
                 cell.top() + 0.7 * h, cell.left() + 0.85 * w, cell.top() + 0.5 * h);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(ink, w * 0.08, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(wave);
    painter.restore();
}

// A mark or clue in a cell: a ship shape, water, or a segment whose kind is open (a square).
void paintMark(QPainter& painter, Mark mark, const QRectF& square, const QColor& ink) {
    const QRectF cell = markRect(square);
    switch (mark) {
        case Mark::Covered:
            return;
        case Mark::Water:
            paintWater(painter, cell, ink);
            return;
        case Mark::Segment: {
            const double side = cell.width() * 0.45;
            painter.fillRect(
                QRectF(cell.center().x() - side / 2, cell.center().y() - side / 2, side, side),
                ink);
            return;
        }
        default:
            TileArt::paintShip(painter, markPicture(mark), cell, ink);
    }
}

// The picture of segment i of a ship of `length` lying horizontally, as the legend shows it.
int legendPicture(int length, int i) {
    if (length == 1) {
        return markPicture(Mark::Single);
    }
    return markPicture(i == 0 ? Mark::Left : (i == length - 1 ? Mark::Right : Mark::Middle));
}

// The fleet, longest ships first, as entries "3 ×" and one ship drawn in squares of `cell`,
// flowed into lines of the area's width, each line centred. Returns the height it takes;
// paints only with a painter.
double paintFleet(QPainter* painter, const Puzzle& puzzle, const QRectF& area, double textSize,
                  double cell) {
    const double lineHeight = std::max(cell, textSize) * 1.4;
    const QFont font = paperFont(textSize);
    const QFontMetricsF metrics(font);
    struct Entry {
        QString text;
        int length;
        double width;
    };
    std::vector<Entry> entries;
    const QString heading = QStringLiteral("Flotte:");
    entries.push_back({heading, 0, metrics.horizontalAdvance(heading)});
    for (int length = static_cast<int>(puzzle.fleet.size()) - 1; length >= 1; --length) {
        const int count = puzzle.fleet[static_cast<std::size_t>(length)];
        if (count > 0) {
            const QString text = QStringLiteral("%1 ×").arg(count);
            entries.push_back(
                {text, length, metrics.horizontalAdvance(text) + cell * 0.4 + length * cell});
        }
    }
    const double gap = cell * 1.2;
    // Lines of entries: each takes as many as its width holds.
    std::vector<std::vector<const Entry*>> lines(1);
    double used = 0;
    for (const Entry& entry : entries) {
        if (!lines.back().empty() && used + gap + entry.width > area.width()) {
            lines.emplace_back();
            used = 0;
        }
        used += (lines.back().empty() ? 0 : gap) + entry.width;
        lines.back().push_back(&entry);
    }
    if (painter != nullptr) {
        painter->setFont(font);
        painter->setPen(clueInk);
        double y = area.top();
        for (const auto& line : lines) {
            double width = -gap;
            for (const Entry* entry : line) {
                width += gap + entry->width;
            }
            double x = area.left() + (area.width() - width) / 2;
            for (const Entry* entry : line) {
                const double textWidth = metrics.horizontalAdvance(entry->text);
                painter->drawText(QRectF(x, y, textWidth, lineHeight),
                                  Qt::AlignLeft | Qt::AlignVCenter, entry->text);
                double shipX = x + textWidth + cell * 0.4;
                for (int i = 0; i < entry->length; ++i) {
                    const QRectF square(shipX, y + (lineHeight - cell) / 2, cell, cell);
                    TileArt::paintShip(*painter, legendPicture(entry->length, i), square, clueInk);
                    shipX += cell;
                }
                x += entry->width + gap;
            }
            y += lineHeight;
        }
    }
    return static_cast<double>(lines.size()) * lineHeight;
}

// One line of the header: `left` at the area's left edge, `right` at its right edge.
void paintHeaderLine(QPainter& painter, const QRectF& line, const QString& left,
                     const QString& right, const QFont& leftFont, const QFont& rightFont) {
    painter.setPen(clueInk);
    painter.setFont(leftFont);
    painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter, left);
    painter.setFont(rightFont);
    painter.drawText(line, Qt::AlignRight | Qt::AlignVCenter, right);
}

// One puzzle or solution fitted into `area`.
void paintPuzzle(QPainter& painter, const QRectF& area, const PaperPuzzle& paper, Part part) {
    const Puzzle& puzzle = paper.puzzle;
    const bool small = part == Part::SmallSolution;
    const double textSize = small ? std::clamp(area.height() / 14, 18.0, 28.0)
                                  : std::clamp(area.height() / 30, 22.0, 50.0);
    const double lineHeight = textSize * 1.5;
    const QFont plain = paperFont(textSize);
    const QFont bold = paperFont(textSize, true);

    // The header.
    const QString number = QStringLiteral("Nr. %1").arg(paper.number);
    QRectF line(area.left(), area.top(), area.width(), lineHeight);
    if (part == Part::Puzzle) {
        paintHeaderLine(painter, line, paper.caption, number, bold, plain);
        line.translate(0, lineHeight);
        paintHeaderLine(painter, line, QStringLiteral("Schwierigkeit: %1").arg(paper.difficulty),
                        QStringLiteral("Zeit: ________"), plain, plain);
    } else if (part == Part::Solution) {
        paintHeaderLine(painter, line, QStringLiteral("Lösung"), number, bold, plain);
        line.translate(0, lineHeight);
        paintHeaderLine(painter, line, paper.caption, {}, plain, plain);
    } else {
        paintHeaderLine(painter, line, paper.number, {}, bold, plain);
    }
    const double top = line.bottom() + textSize * 0.5;

    // The grid's cell: as large as the area allows with the numbers beside and below it and the
    // fleet below them, at most 12 mm (4 mm for a small solution). The fleet's ships are drawn
    // a size smaller than the grid would have without it, but never smaller than the text.
    const double numbersRight = small ? 0.0 : 1.4;
    const double numbersBelow = small ? 0.0 : 1.2;
    const auto fittingCell = [&](double below) {
        return std::min({area.width() / (puzzle.columns + numbersRight),
                         (area.bottom() - top - below) / (puzzle.rows + numbersBelow),
                         small ? 4.0 * mm : 12.0 * mm});
    };
    const double fleetGap = textSize;
    const double fleetCell = std::clamp(fittingCell(0) * 0.7, textSize * 0.9, textSize * 1.6);
    const double fleetHeight =
        part == Part::Puzzle ? paintFleet(nullptr, puzzle, area, textSize, fleetCell) + fleetGap
                             : 0.0;
    const double cell = fittingCell(fleetHeight);
    const double gridWidth = cell * puzzle.columns;
    const double gridHeight = cell * puzzle.rows;
    const QRectF grid(area.left() + (area.width() - gridWidth - cell * numbersRight) / 2, top,
                      gridWidth, gridHeight);
    const auto square = [&](int x, int y) {
        return QRectF(grid.left() + x * cell, grid.top() + y * cell, cell, cell);
    };
    const auto at = [&](const std::vector<Mark>& marks, int x, int y) {
        return marks[static_cast<std::size_t>(x * puzzle.rows + y)];
    };

    // What the cells hold: the solution, or the clues and the player's marks.
    const bool solved = part != Part::Puzzle && !puzzle.solution.empty();
    std::vector<Mark> clues(static_cast<std::size_t>(puzzle.columns * puzzle.rows), Mark::Covered);
    for (const Clue& c : puzzle.clues) {
        clues[static_cast<std::size_t>(c.x * puzzle.rows + c.y)] = c.mark;
    }
    for (int x = 0; x < puzzle.columns; ++x) {
        for (int y = 0; y < puzzle.rows; ++y) {
            if (solved) {
                if (isShipMark(at(puzzle.solution, x, y))) {
                    paintMark(painter, at(puzzle.solution, x, y), square(x, y), clueInk);
                }
            } else if (at(clues, x, y) != Mark::Covered) {
                paintMark(painter, at(clues, x, y), square(x, y), clueInk);
            } else if (!paper.marks.empty()) {
                paintMark(painter, at(paper.marks, x, y), square(x, y), markInk);
            }
        }
    }

    // The lines: thin inside, a heavier frame round the grid.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(clueInk, small ? 1.0 : 2.0));
    for (int x = 1; x < puzzle.columns; ++x) {
        painter.drawLine(QPointF(grid.left() + x * cell, grid.top()),
                         QPointF(grid.left() + x * cell, grid.bottom()));
    }
    for (int y = 1; y < puzzle.rows; ++y) {
        painter.drawLine(QPointF(grid.left(), grid.top() + y * cell),
                         QPointF(grid.right(), grid.top() + y * cell));
    }
    painter.setPen(QPen(clueInk, small ? 2.5 : 5.0));
    painter.drawRect(grid);
    if (small) {
        return;
    }

    // The numbers: below the columns and right of the rows, as on the screen.
    painter.setFont(paperFont(std::min(cell * 0.5, 1.5 * textSize)));
    painter.setPen(clueInk);
    const auto numberText = [](int n) { return n < 0 ? QStringLiteral("?") : QString::number(n); };
    for (int x = 0; x < puzzle.columns; ++x) {
        painter.drawText(QRectF(grid.left() + x * cell, grid.bottom(), cell, cell * numbersBelow),
                         Qt::AlignCenter,
                         numberText(puzzle.columnNumbers[static_cast<std::size_t>(x)]));
    }
    for (int y = 0; y < puzzle.rows; ++y) {
        painter.drawText(QRectF(grid.right(), grid.top() + y * cell, cell * numbersRight, cell),
                         Qt::AlignCenter,
                         numberText(puzzle.rowNumbers[static_cast<std::size_t>(y)]));
    }
    if (part == Part::Puzzle) {
        const double fleetTop = grid.bottom() + cell * numbersBelow + fleetGap;
        paintFleet(&painter, puzzle, QRectF(area.left(), fleetTop, area.width(), fleetHeight),
                   textSize, fleetCell);
    }
}

// The areas of the puzzles on a page: `columns` side by side in `rows` rows, `gap` apart.
std::vector<QRectF> pageAreas(const QRectF& page, int columns, int rows, double gap) {
    const double width = (page.width() - (columns - 1) * gap) / columns;
    const double height = (page.height() - (rows - 1) * gap) / rows;
    std::vector<QRectF> areas;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            areas.emplace_back(page.left() + c * (width + gap), page.top() + r * (height + gap),
                               width, height);
        }
    }
    return areas;
}

// The areas of the small solutions on a page: two, three or four side by side, whichever gives
// the grids of `puzzle`'s size the largest cells.
std::vector<QRectF> solutionAreas(const QRectF& page, const Puzzle& puzzle) {
    const double gap = 6 * mm;
    const double heading = 5 * mm;
    int best = 2;
    double bestCell = 0;
    for (const int columns : {4, 3, 2}) {
        const int rows = (smallSolutionsPerPage + columns - 1) / columns;
        const double cell =
            std::min((page.width() - (columns - 1) * gap) / columns / puzzle.columns,
                     ((page.height() - (rows - 1) * gap) / rows - heading) / puzzle.rows);
        if (cell > bestCell + 0.5) {
            best = columns;
            bestCell = cell;
        }
    }
    return pageAreas(page, best, (smallSolutionsPerPage + best - 1) / best, gap);
}

}  // namespace

PaperPuzzle paperPuzzle(const ShipGame& game, bool withMarks) {
    PaperPuzzle paper;
    paper.puzzle = game.puzzle();
    const int rows = paper.puzzle.rows;
    if (withMarks) {
        paper.marks.assign(static_cast<std::size_t>(paper.puzzle.columns * rows), Mark::Covered);
        for (int x = 0; x <= game.maxCol(); ++x) {
            for (int y = 0; y <= game.maxRow(); ++y) {
                // What the cell shows, without the ticks and crosses of the solution display;
                // the clues are printed as clues.
                const ElementState& e = game.cell(x, y);
                if (e.reveal != Reveal::Clue) {
                    paper.marks[static_cast<std::size_t>(x * rows + y)] = e.mark;
                }
            }
        }
    }
    if (const std::optional<Puzzle>& typed = game.typedPuzzle()) {
        // A typed-in puzzle is not graded (on a large board that takes long); its code names it.
        paper.caption =
            QStringLiteral("Eigenes Rätsel (%1 × %2)").arg(typed->columns).arg(typed->rows);
        const std::optional<bool> one = game.knownOneSolution();
        paper.difficulty = !one   ? QStringLiteral("Lösungen nicht gezählt")
                           : *one ? QStringLiteral("genau eine Lösung")
                                  : QStringLiteral("mehr als eine Lösung");
        paper.number = QString::fromStdString(puzzleCode(*typed));
        return paper;
    }
    paper.caption = QString::fromStdString(levelLabel(game.level()));
    paper.difficulty = game.builtUnique() || game.hasOneSolution()
                           ? gradeName(game.grade())
                           : QStringLiteral("mehr als eine Lösung");
    paper.number = QString::fromStdString(formatPuzzleNumber(
        {game.level(), game.gameSeed(), game.builtUnique(), game.builtDifficulty()}));
    return paper;
}

std::optional<std::vector<PaperPuzzle>> bookletPuzzles(
    int level, Difficulty difficulty, int count, RuntimeRandom::SeedSource seeds,
    const std::function<bool(int built)>& progress) {
    ShipGame game(std::move(seeds));
    game.setUniqueMode(true);
    game.setDifficulty(difficulty);
    std::vector<PaperPuzzle> puzzles;
    std::set<std::uint32_t> seen;
    // A seed met again gives the same puzzle: it is built anew, a few times at most, so that a
    // seed source that keeps repeating still ends.
    int repeats = 0;
    for (bool first = true; static_cast<int>(puzzles.size()) < count; first = false) {
        if (first) {
            game.setLevel(level);
        } else {
            game.newGame();
        }
        if (!seen.insert(game.gameSeed()).second && ++repeats <= 8 * count) {
            continue;
        }
        puzzles.push_back(paperPuzzle(game, false));
        if (progress && !progress(static_cast<int>(puzzles.size()))) {
            return std::nullopt;
        }
    }
    return puzzles;
}

bool paintSheets(QPagedPaintDevice& device, const std::vector<PaperPuzzle>& puzzles,
                 const SheetLayout& layout, const std::function<bool(int page)>& progress) {
    QPainter painter;
    if (!painter.begin(&device)) {
        return false;
    }
    const double scale = device.logicalDpiX() / 25.4 / mm;
    const QRectF page(0, 0, device.width() / scale, device.height() / scale);
    int pages = 0;
    // Every page after the first is begun anew, and each gets the scale afresh.
    const auto beginPage = [&] {
        if (pages > 0 && !device.newPage()) {
            return false;
        }
        painter.resetTransform();
        painter.scale(scale, scale);
        const int page = pages++;
        return !progress || progress(page);
    };
    const std::size_t count = puzzles.size();
    const auto perPage = static_cast<std::size_t>(std::clamp(layout.perPage, 1, 4));
    // Two to a page lie one above the other, four in two rows of two.
    const std::vector<QRectF> areas = perPage == 1   ? std::vector<QRectF>{page}
                                      : perPage == 2 ? pageAreas(page, 1, 2, 12 * mm)
                                                     : pageAreas(page, 2, 2, 10 * mm);
    bool ok = true;
    for (std::size_t first = 0; ok && first < count; first += perPage) {
        ok = beginPage();
        for (std::size_t i = first; ok && i < std::min(count, first + perPage); ++i) {
            paintPuzzle(painter, areas[i - first], puzzles[i], Part::Puzzle);
        }
    }
    if (layout.solutions && !layout.smallSolutions) {
        for (std::size_t i = 0; ok && i < count; ++i) {
            ok = beginPage();
            if (ok) {
                paintPuzzle(painter, page, puzzles[i], Part::Solution);
            }
        }
    } else if (layout.solutions && count > 0) {
        const double headingHeight = 12 * mm;
        const QRectF below = page.adjusted(0, headingHeight, 0, 0);
        const std::vector<QRectF> small = solutionAreas(below, puzzles.front().puzzle);
        for (std::size_t first = 0; ok && first < count; first += small.size()) {
            ok = beginPage();
            if (!ok) {
                break;
            }
            painter.setFont(paperFont(6 * mm, true));
            painter.setPen(clueInk);
            painter.drawText(QRectF(page.left(), page.top(), page.width(), headingHeight),
                             Qt::AlignLeft | Qt::AlignTop, QStringLiteral("Lösungen"));
            for (std::size_t i = first; i < std::min(count, first + small.size()); ++i) {
                paintPuzzle(painter, small[i - first], puzzles[i], Part::SmallSolution);
            }
        }
    }
    return painter.end() && ok;
}

std::optional<QString> savePdf(const QString& path, const std::vector<PaperPuzzle>& puzzles,
                               const SheetLayout& layout) {
    QBuffer content;
    content.open(QIODevice::WriteOnly);
    bool painted = false;
    {
        QPdfWriter writer(&content);
        writer.setCreator(QStringLiteral("Quorvik"));
        writer.setTitle(puzzles.size() == 1 ? puzzles.front().number
                                            : QStringLiteral("Rätselheft"));
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
        painted = paintSheets(writer, puzzles, layout);
    }
    if (!painted) {
        return QStringLiteral("Die Seiten für %1 konnten nicht gezeichnet werden.").arg(path);
    }
    ReplaceOptions options;
    options.userFile = true;
    if (!replaceFile(path, content.data(), options)) {
        return QStringLiteral(
                   "Die PDF-Datei %1 konnte nicht geschrieben werden. Ist der Ordner "
                   "beschreibbar und auf dem Datenträger genug Platz?")
            .arg(path);
    }
    return std::nullopt;
}

}  // namespace quorvik

// Puzzle numbers must bring back the very puzzle they were made from, take the usual slips of a
// player typing one in, and never turn a typing error into another puzzle.
#include <QtTest>

#include "PuzzleNumber.h"
#include "ShipGame.h"

using namespace quorvik;

Q_DECLARE_METATYPE(quorvik::PuzzleId)
Q_DECLARE_METATYPE(quorvik::PuzzleNumberProblem)

namespace {

// A number with the check it would carry; the row's fault lies only in what it is built from.
QString withCheck(const QString& body, const PuzzleId& id) {
    return body + QLatin1Char(puzzleNumberCheck(id));
}

std::optional<PuzzleId> parse(const QString& text) {
    return parsePuzzleNumber(text.toStdString());
}

// Two spellings a player may use for the same number: case, O for 0, I and L for 1 (but for the
// mode letter after the level), runs of hyphens and blanks for one hyphen.
QString folded(const QString& text) {
    QString out = text.toUpper();
    out.replace(QRegularExpression(QStringLiteral("[- ]+")), QStringLiteral("-"));
    const QString mode = out.mid(1, 1);
    out.replace(QLatin1Char('O'), QLatin1Char('0'));
    out.replace(QLatin1Char('I'), QLatin1Char('1'));
    out.replace(QLatin1Char('L'), QLatin1Char('1'));
    return out.replace(1, mode.size(), mode);
}

// The hidden fleet and the clues of a game, folded into 64 bits (FNV-1a over every cell's
// segment code and whether it is a clue, column by column). The codes: 20 single, 21 lower,
// 22 left, 23 right, 24 upper end, 25 middle, 29 no ship.
quint64 puzzleDigest(const ShipGame& game) {
    const auto code = [](const ElementState& c) {
        constexpr int shapeCodes[] = {20, 24, 21, 22, 23, 25};  // Single to Middle
        return c.hasShip ? shapeCodes[int(c.ship) - int(Mark::Single)] : 29;
    };
    quint64 hash = 14695981039346656037ull;
    const auto add = [&hash](int value) {
        hash = (hash ^ static_cast<unsigned>(value)) * 1099511628211ull;
    };
    for (int x = 0; x <= game.maxCol(); ++x) {
        for (int y = 0; y <= game.maxRow(); ++y) {
            add(code(game.cell(x, y)));
            add(game.cell(x, y).isClue ? 1 : 0);
        }
    }
    return hash;
}

}  // namespace

class TestPuzzleNumber : public QObject {
    Q_OBJECT

private slots:
    void roundTrip_data() {
        QTest::addColumn<PuzzleId>("id");
        for (int level = 4; level <= 8; ++level) {
            for (const char mode : {' ', 'E', 'L', 'M', 'S'}) {
                const auto difficulty = static_cast<Difficulty>(QByteArray(" LMS").indexOf(mode));
                for (const std::uint32_t seed :
                     {0x0u, 0x1u, 0x7FFFFFFFu, 0xFFFFFFFFu, 0x3F2A91C0u}) {
                    QTest::addRow("%d%c %08X", level, mode, seed) << PuzzleId{
                        level, seed, mode != ' ', mode == 'E' ? Difficulty::Any : difficulty};
                }
            }
        }
    }
    void roundTrip() {
        QFETCH(PuzzleId, id);
        const QString number = QString::fromStdString(formatPuzzleNumber(id));
        // The layout players see: level, E for the one-solution mode or the difficulty's letter,
        // all eight seed digits.
        const QString mode = id.difficulty != Difficulty::Any ? QString(" LMS"[int(id.difficulty)])
                             : id.unique                      ? QStringLiteral("E")
                                                              : QString();
        const QString body = QStringLiteral("%1%2-%3-")
                                 .arg(id.level)
                                 .arg(mode)
                                 .arg(id.seed, 8, 16, QLatin1Char('0'))
                                 .toUpper();
        QCOMPARE(number.left(body.size()), body);
        QCOMPARE(number.size(), body.size() + 1);
        QCOMPARE(parse(number), std::optional(id));

        // As a player may type it: lower case, blanks around, letters for 0 and 1.
        QString typed = number.toLower();
        typed.replace(QLatin1Char('0'), QLatin1Char('o'));
        typed.replace(QLatin1Char('1'), id.seed % 2 ? QLatin1Char('I') : QLatin1Char('l'));
        QCOMPARE(parse(QStringLiteral(" \t") + typed + QStringLiteral(" \r\n")), std::optional(id));
    }

    void levelsOutsideTheTableHaveNoNumber() {
        for (const int level : {-1, 0, 3, 9, 52}) {
            QVERIFY(formatPuzzleNumber({level, 0x3F2A91C0u, false}).empty());
        }
    }

    void malformedIsRejected_data() {
        QTest::addColumn<QString>("text");
        const PuzzleId id{8, 0x3F2A91C0u, false};
        const QString good = QString::fromStdString(formatPuzzleNumber(id));
        const QChar otherCheck =
            good.back() == QLatin1Char('0') ? QLatin1Char('1') : QLatin1Char('0');

        QTest::newRow("empty") << "";
        QTest::newRow("level 3") << withCheck("3-3F2A91C0-", {3, 0x3F2A91C0u, false});
        QTest::newRow("level 9") << withCheck("9-3F2A91C0-", {9, 0x3F2A91C0u, false});
        QTest::newRow("seven seed digits") << withCheck("8-3F2A91C-", {8, 0x3F2A91Cu, false});
        QTest::newRow("nine seed digits") << withCheck("8-03F2A91C0-", id);
        QTest::newRow("seed with sign") << withCheck("8-+3F2A91C-", {8, 0x3F2A91Cu, false});
        QTest::newRow("seed with 0x") << withCheck("8-0x3F2A91-", {8, 0x3F2A91u, false});
        QTest::newRow("no check") << "8-3F2A91C0";
        // Single slips (a wrong check among them) are all tried in typingErrorsAreCaught.
        QTest::newRow("wrong check") << good.left(good.size() - 1) + otherCheck;
        QTest::newRow("mode letter after the seed") << withCheck("8-3F2A91C0-E", id);
        QTest::newRow("no hyphens") << withCheck("83F2A91C0", id);
        QTest::newRow("junk after a number") << good + "x";
        QTest::newRow("non-ASCII") << withCheck("8-3F2A91C0·", id);
        QTest::newRow("words") << "Spielnummer";
    }
    void malformedIsRejected() {
        QFETCH(QString, text);
        QCOMPARE(parse(text), std::nullopt);
    }

    // Dashes and blanks pasted from other programs part a number as hyphens do; what a text
    // that names no puzzle lacks is told apart.
    void separatorsAndProblems_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<PuzzleNumberProblem>("problem");
        const PuzzleId id{8, 0x3F2A91C0u, false};
        const QString check(QChar::fromLatin1(puzzleNumberCheck(id)));
        QTest::newRow("en dashes") << "8–3F2A91C0–" + check << PuzzleNumberProblem::None;
        QTest::newRow("em dash, minus sign") << "8—3F2A91C0−" + check << PuzzleNumberProblem::None;
        QTest::newRow("blanks") << "8 3F2A91C0 " + check << PuzzleNumberProblem::None;
        QTest::newRow("blanks around hyphens")
            << "8 - 3F2A91C0\u00A0-\u00A0" + check << PuzzleNumberProblem::None;
        QTest::newRow("blanks only") << " \t " << PuzzleNumberProblem::Empty;
        QTest::newRow("level 3") << withCheck("3-3F2A91C0-", {3, 0x3F2A91C0u, false})
                                 << PuzzleNumberProblem::UnknownLevel;
        QTest::newRow("wrong check")
            << "8-3F2A91C0-" + QString(check == "0" ? "1" : "0") << PuzzleNumberProblem::WrongCheck;
        QTest::newRow("blank inside the seed")
            << "8-3F2A 91C0-" + check << PuzzleNumberProblem::Malformed;
    }
    void separatorsAndProblems() {
        QFETCH(QString, text);
        QFETCH(PuzzleNumberProblem, problem);
        QCOMPARE(puzzleNumberProblem(text.toStdString()), problem);
        QCOMPARE(parse(text).has_value(), problem == PuzzleNumberProblem::None);
    }

    // Every text one slip away from a number is no number at all, unless it is the same number
    // spelled in another tolerated way.
    void typingErrorsAreCaught_data() {
        QTest::addColumn<PuzzleId>("id");
        QTest::newRow("8") << PuzzleId{8, 0x3F2A91C0u, false};
        QTest::newRow("5E") << PuzzleId{5, 0x0000E001u, true};
        QTest::newRow("6L") << PuzzleId{6, 0x1E5ED001u, true, Difficulty::Easy};
        QTest::newRow("4, all F") << PuzzleId{4, 0xFFFFFFFFu, false};
    }
    void typingErrorsAreCaught() {
        QFETCH(PuzzleId, id);
        const QString number = QString::fromStdString(formatPuzzleNumber(id));
        QString keys;
        for (char c = ' '; c <= '~'; ++c) {
            keys += QLatin1Char(c);
        }
        QStringList slips;
        for (qsizetype i = 0; i < number.size(); ++i) {
            slips << QString(number).remove(i, 1);
            for (const QChar key : keys) {
                slips << QString(number).replace(i, 1, key) << QString(number).insert(i, key);
            }
            if (i + 1 < number.size()) {
                QString swapped = number;
                std::swap(swapped[i], swapped[i + 1]);
                slips << swapped;
            }
        }
        for (const QChar key : keys) {
            slips << number + key;
        }
        int accepted = 0;
        for (const QString& slip : slips) {
            const std::optional<PuzzleId> parsed = parse(slip);
            if (folded(slip.trimmed()) == number) {
                QVERIFY2(parsed == id, qPrintable(slip));
                ++accepted;
            } else {
                QVERIFY2(!parsed, qPrintable(slip));
            }
        }
        QVERIFY(accepted > 0);  // the tolerated spellings were among the slips
    }

    // Numbers players have shared name the same fleet and the same clues for good: a change of
    // the generator's draws, of the clue rule or of the clues the one-solution mode adds breaks
    // a row. A digest of 0 stands for a number whose attempt builds no game.
    void sharedNumbersKeepTheirPuzzle_data() {
        QTest::addColumn<QString>("number");
        QTest::addColumn<quint64>("digest");
        const std::pair<const char*, quint64> rows[] = {
            {"4-3F2AA160-F", 0xBDABF1AC47A0155Cull},  {"4-3F2AC04F-8", 0xAB7A26F1D893A2A8ull},
            {"4E-3F2AA160-9", 0x1AE0BE4E6E52564Bull}, {"4E-3F2ADF3E-1", 0x0C29ED5D8B63A1ABull},
            {"5-3F2AA548-5", 0x82566C511A45433Bull},  {"5-3F2AC437-5", 0xC3B06878EC6C8BD7ull},
            {"5E-3F2AA548-3", 0x1C986FEA72DF36E0ull}, {"5E-3F2AC437-3", 0x7D6627A1748AEE90ull},
            {"6-3F2AA930-A", 0x577604280B1E529Bull},  {"6-3F2AC81F-D", 0x78C667DA85B74C9Full},
            {"6E-3F2B24EC-9", 0xE3F189CFDE2A9C80ull}, {"6E-3F2BFD75-A", 0x643A1C11E76AC590ull},
            {"7-3F2B28D4-D", 0x043E3A6014172C1Aull},  {"7-3F2B66B2-F", 0xF61BA4590792938Aull},
            {"7E-3F2B66B2-9", 0x477E8EA4E02B74EDull}, {"7E-3F2C7D19-7", 0xC3196C27AB1E7BD5ull},
            {"8-3F2AEEDE-5", 0x4513CDFA77D4EA18ull},  {"8-3F2B2CBC-8", 0x59890D2B89941038ull},
            {"8E-3F2AEEDE-3", 0xCC48A4375CF61FFCull}, {"8E-3F2B2CBC-E", 0x9F43EBBF9BBF81E7ull},
            {"8E-3F2BA878-E", 0x9432D6B22A145280ull}, {"8-3F2AB100-5", 0},
        };
        for (const auto& [number, digest] : rows) {
            QTest::newRow(number) << QString::fromLatin1(number) << digest;
        }
    }
    void sharedNumbersKeepTheirPuzzle() {
        QFETCH(QString, number);
        QFETCH(quint64, digest);
        const std::optional<PuzzleId> id = parse(number);
        QVERIFY(id);
        QCOMPARE(QString::fromStdString(formatPuzzleNumber(*id)), number);
        ShipGame game;
        QCOMPARE(game.newGameFromSeed(id->level, id->seed, id->unique), digest != 0);
        if (digest != 0) {
            QCOMPARE(puzzleDigest(game), digest);
        }
    }
};

QTEST_GUILESS_MAIN(TestPuzzleNumber)
#include "tst_PuzzleNumber.moc"

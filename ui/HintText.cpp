// The sentences of the hints. Each names the line or cell the reason starts from and says what
// follows for the highlighted cells.
#include "HintText.h"

#include <QStringList>

namespace quorvik {

namespace {

QString lineName(bool column, int line) {
    return (column ? QStringLiteral("Spalte %1") : QStringLiteral("Zeile %1")).arg(line + 1);
}

QString cellName(const SolverCell& c) {
    return QStringLiteral("Spalte %1, Zeile %2").arg(c.x + 1).arg(c.y + 1);
}

// "Spalte 1, Zeile 2", "… und Spalte 3, Zeile 4"; beyond three cells the rest are counted.
QString cellList(const std::vector<SolverCell>& cells) {
    constexpr std::size_t named = 3;
    QStringList names;
    for (std::size_t i = 0; i < cells.size() && i < named; ++i) {
        names << cellName(cells[i]);
    }
    const QString last = cells.size() > named
                             ? QStringLiteral("%1 weiteren").arg(cells.size() - named)
                             : names.takeLast();
    return names.isEmpty() ? last
                           : names.join(QStringLiteral("; ")) + QStringLiteral(" und ") + last;
}

// "ein Dreier", or "ein Schiff mit 14 Segmenten" beyond the names players use.
QString shipName(int length) {
    static const char* const names[] = {"Einer",  "Zweier",  "Dreier",   "Vierer",
                                        "Fünfer", "Sechser", "Siebener", "Achter",
                                        "Neuner", "Zehner",  "Elfer",    "Zwölfer"};
    if (length >= 1 && length <= 12) {
        return QStringLiteral("ein ") + QString::fromUtf8(names[length - 1]);
    }
    return QStringLiteral("ein Schiff mit %1 Segmenten").arg(length);
}

QString fullLine(const Deduction& d) {
    const QString line = lineName(d.isColumn, d.line);
    if (d.count == 0) {
        return QStringLiteral("%1 hat kein Segment: alle ihre Felder sind Wasser.").arg(line);
    }
    const QString rest = d.cells.size() == 1 ? QStringLiteral("das übrige Feld ist Wasser")
                                             : QStringLiteral("die übrigen Felder sind Wasser");
    if (d.count == 1) {
        return QStringLiteral("%1 hat schon ihr Segment: %2.").arg(line, rest);
    }
    return QStringLiteral("%1 hat schon ihre %2 Segmente: %3.").arg(line).arg(d.count).arg(rest);
}

QString lineNeedsAllOpen(const Deduction& d) {
    const QString line = lineName(d.isColumn, d.line);
    const auto open = d.cells.size();
    if (open == 1) {
        return QStringLiteral(
                   "%1 braucht noch ein Segment und hat nur ein offenes Feld: dort "
                   "liegt es.")
            .arg(line);
    }
    return QStringLiteral(
               "%1 braucht noch %2 Segmente und hat genau %2 offene Felder: %3 sind "
               "Segmente.")
        .arg(line)
        .arg(open)
        .arg(open == 2 ? QStringLiteral("beide") : QStringLiteral("alle"));
}

QString clueNeighbours(const Deduction& d) {
    const QString cell = cellName(d.source);
    // An end: which end it is, and where the ship goes on.
    const auto end = [&cell](const char* which, const char* onwards) {
        return QStringLiteral(
                   "%1 ist ein %2 Ende: %3 geht das Schiff weiter, die anderen Nachbarn sind "
                   "Wasser.")
            .arg(cell, QLatin1String(which), QLatin1String(onwards));
    };
    switch (d.source.mark) {
        case Mark::Single:
            return QStringLiteral("In %1 liegt ein Einer: ringsum ist Wasser.").arg(cell);
        case Mark::Left:
            return end("linkes", "rechts");
        case Mark::Right:
            return end("rechtes", "links");
        case Mark::Top:
            return end("oberes", "unten");
        case Mark::Bottom:
            return end("unteres", "oben");
        default:
            return QStringLiteral(
                       "Das Mittelstück in %1 liegt %2: %3 geht das Schiff weiter, %4 ist Wasser.")
                .arg(cell, d.vertical ? QStringLiteral("senkrecht") : QStringLiteral("waagerecht"),
                     d.vertical ? QStringLiteral("oben und unten")
                                : QStringLiteral("links und rechts"),
                     d.vertical ? QStringLiteral("links und rechts")
                                : QStringLiteral("oben und unten"));
    }
}

QString lengthComplete(const Deduction& d) {
    const QString cell = cellName(d.source);
    if (d.length == 1) {
        return QStringLiteral(
                   "Alle Schiffe mit mehr als einem Segment sind gefunden: %1 ist ein "
                   "Einer, ringsum ist Wasser.")
            .arg(cell);
    }
    return QStringLiteral(
               "Alle Schiffe mit mehr als %1 Segmenten sind gefunden: das Schiff ab %2 "
               "wird nicht länger, an seinen Enden ist Wasser.")
        .arg(d.length)
        .arg(cell);
}

QString onlyPlacement(const Deduction& d) {
    const QString cell = cellName(d.source);
    const SolverShip& s = d.ship;
    if (s.length == 1) {
        return QStringLiteral("Das Segment in %1 kann nur ein Einer sein: ringsum ist Wasser.")
            .arg(cell);
    }
    const QString place = s.vertical ? QStringLiteral("in Spalte %1, Zeile %2 bis %3")
                                           .arg(s.x + 1)
                                           .arg(s.y + 1)
                                           .arg(s.y + s.length)
                                     : QStringLiteral("in Zeile %1, Spalte %2 bis %3")
                                           .arg(s.y + 1)
                                           .arg(s.x + 1)
                                           .arg(s.x + s.length);
    return QStringLiteral("Nur ein Schiff passt über das Segment in %1: %2 %3.")
        .arg(cell, shipName(s.length), place);
}

}  // namespace

QString hintText(const Deduction& d) {
    switch (d.rule) {
        case DeductionRule::FullLine:
            return fullLine(d);
        case DeductionRule::LineNeedsAllOpen:
            return lineNeedsAllOpen(d);
        case DeductionRule::DiagonalWater:
            return (d.cells.size() == 1
                        ? QStringLiteral("Schiffe berühren sich nicht, auch nicht über Eck: das "
                                         "Feld schräg neben dem Segment in %1 ist Wasser.")
                        : QStringLiteral("Schiffe berühren sich nicht, auch nicht über Eck: die "
                                         "Felder schräg neben dem Segment in %1 sind Wasser."))
                .arg(cellName(d.source));
        case DeductionRule::ClueNeighbours:
            return clueNeighbours(d);
        case DeductionRule::LengthComplete:
            return lengthComplete(d);
        case DeductionRule::Unreachable:
            return (d.cells.size() == 1
                        ? QStringLiteral("Keines der noch fehlenden Schiffe passt auf das Feld in "
                                         "%1: es ist Wasser.")
                        : QStringLiteral("Keines der noch fehlenden Schiffe passt auf die Felder "
                                         "in %1: sie sind Wasser."))
                .arg(cellList(d.cells));
        case DeductionRule::OnlyPlacement:
            return onlyPlacement(d);
        case DeductionRule::SegmentKind:
            return (d.cells.size() == 1
                        ? QStringLiteral("Die Nachbarn legen die Form des Segments in %1 fest.")
                        : QStringLiteral("Die Nachbarn legen die Formen der Segmente in %1 fest."))
                .arg(cellList(d.cells));
        case DeductionRule::Trial:
            return (d.source.mark == Mark::Water
                        ? QStringLiteral("Wasser in %1 führt zu einem Widerspruch: dort liegt ein "
                                         "Segment.")
                        : QStringLiteral("Ein Segment in %1 führt zu einem Widerspruch: dort ist "
                                         "Wasser."))
                .arg(cellName(d.source));
    }
    return {};
}

QString hintSentence(const ShipGame::Hint& hint) {
    switch (hint.kind) {
        case ShipGame::Hint::Kind::WrongMark:
        case ShipGame::Hint::Kind::OtherSolution:
            return (hint.kind == ShipGame::Hint::Kind::WrongMark
                        ? QStringLiteral("Die Markierung in %1 kann nicht stimmen: Sie passt zu "
                                         "keiner Lösung. ")
                        : QStringLiteral("Die Markierung in %1 passt zu einer anderen Lösung, "
                                         "aber nicht zu den Schiffen dieses Spiels. Als gelöst "
                                         "gilt das Brett nur mit ihnen. "))
                       .arg(cellName(hint.cells.front())) +
                   QStringLiteral("„Übernehmen“ deckt das Feld wieder zu.");
        case ShipGame::Hint::Kind::Shown:
            return solutionShownText();
        case ShipGame::Hint::Kind::Deduction:
            return hintText(hint.deduction);
        case ShipGame::Hint::Kind::Reveal:
            return QStringLiteral(
                       "Hier hilft keine Regel mehr weiter, nur Probieren. Ein Feld "
                       "der Lösung: %1.")
                .arg(cellName(hint.cells.front()));
        case ShipGame::Hint::Kind::Solved:
            return QStringLiteral("Alle Schiffe sind gefunden; die offenen Felder sind Wasser.");
    }
    return {};
}

QString mistakesSentence(std::size_t impossible, std::size_t other) {
    QString text =
        impossible == 0 && other == 0 ? QStringLiteral(
                                            "Keine Markierung widerspricht den Zahlen und den "
                                            "aufgedeckten Segmenten.")
        : impossible == 0 ? QString()
        : impossible == 1
            ? QStringLiteral("Eine Markierung kann nicht stimmen (magenta).")
            : QStringLiteral("%1 Markierungen können nicht stimmen (magenta).").arg(impossible);
    if (other > 0) {
        text += (text.isEmpty() ? QString() : QStringLiteral(" ")) +
                (other == 1 ? QStringLiteral("Eine Markierung (orange) passt")
                            : QStringLiteral("%1 Markierungen (orange) passen").arg(other)) +
                QStringLiteral(
                    " zu einer anderen Lösung, aber nicht zu den Schiffen dieses "
                    "Spiels. Als gelöst gilt das Brett nur mit diesen Schiffen.");
    }
    return text;
}

QString solutionShownText() {
    return QStringLiteral(
        "Die Lösung wird gezeigt. „Rückgängig“ (Strg+Z) nimmt sie zurück, „Neu“ (F2) beginnt ein "
        "neues Spiel.");
}

}  // namespace quorvik

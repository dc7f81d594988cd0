// The board's accessible interfaces: the board view's own, which adds the elements to its
// widget children, and one per element, made on first request and kept until the view goes.
#include "BoardAccessible.h"

#include <QAccessibleWidget>

#include <map>

#include "BoardView.h"

namespace quorvik {

namespace {

// What a mark on a cell is called, in the order of Mark.
constexpr const char* markNames[] = {"verdeckt",    "Wasser",       "Schiffsteil, Form offen",
                                     "Einer",       "oberes Ende",  "unteres Ende",
                                     "linkes Ende", "rechtes Ende", "Mittelstück"};
// What the board says of a cell's mark, in the order of Reveal.
constexpr const char* revealNames[] = {"",           ", vorgegeben", ", aufgedeckt",
                                       ", gefunden", ", gefunden",   ", falsch"};
constexpr const char* shipNames[] = {"Boot", "Zerstörer", "Kreuzer", "Schlachtschiff"};

QString shipName(int length) {
    return length >= 1 && length <= 4 ? QString::fromUtf8(shipNames[length - 1])
                                      : QStringLiteral("Schiff der Länge %1").arg(length);
}

// The elements assistive technology sees: grid cells, numbers, and one entry per legend ship
// (its first segment stands for the ship).
std::vector<ElementRef> accessibleElements(const ShipGame& game) {
    std::vector<ElementRef> out;
    for (const ElementRef& e : game.allElements()) {
        if (e.kind != ElementKind::Legend || e.c == 0) {
            out.push_back(e);
        }
    }
    return out;
}

// An element's accessible name: "Zeile 3, Spalte 5: Wasser", "Spaltensumme 4, davon 2
// markiert", "Kreuzer, abgehakt".
QString accessibleName(const BoardView& board, const ElementRef& element) {
    const std::optional<ElementState> shown = board.shownState(element);
    if (!shown) {
        return {};
    }
    switch (element.kind) {
        case ElementKind::Grid:
            return QStringLiteral("Zeile %1, Spalte %2: %3%4")
                .arg(element.b + 1)
                .arg(element.a + 1)
                .arg(QString::fromUtf8(markNames[static_cast<std::size_t>(shown->mark)]),
                     QString::fromUtf8(revealNames[static_cast<std::size_t>(shown->reveal)]));
        case ElementKind::ColNumber:
        case ElementKind::RowNumber:
            return QStringLiteral("%1 %2, davon %3 markiert")
                .arg(element.kind == ElementKind::ColNumber ? QStringLiteral("Spaltensumme")
                                                            : QStringLiteral("Zeilensumme"))
                .arg(shown->number >= 0 ? QString::number(shown->number)
                                        : QStringLiteral("unbekannt"))
                .arg(shown->markCount);
        case ElementKind::Legend: {
            const QString name = shipName(board.game().legendRowLength(element.a));
            return shown->reveal == Reveal::Wrong ? name + QStringLiteral(", abgehakt") : name;
        }
    }
    return {};
}

class ElementAccessible : public QAccessibleInterface {
public:
    ElementAccessible(BoardView* board, const ElementRef& element)
        : board_(board), element_(element) {}

    bool isValid() const override {
        return !board_.isNull() && board_->game().element(element_) != nullptr;
    }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return board_ ? board_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(board_.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override {
        if (!isValid() || t != QAccessible::Name) {
            return {};
        }
        return accessibleName(*board_, element_);
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!isValid()) {
            return {};
        }
        const QRect r = board_->frameRect(element_);
        return QRect(board_->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::Role role() const override {
        // In the order of ElementKind: a cell, a number, a legend ship.
        constexpr QAccessible::Role roles[] = {QAccessible::Cell, QAccessible::Button,
                                               QAccessible::Button, QAccessible::CheckBox};
        return roles[static_cast<std::size_t>(element_.kind)];
    }
    QAccessible::State state() const override {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        const std::optional<ElementState> shown = board_->shownState(element_);
        s.focusable = true;
        const std::vector<ElementRef>& cursor = board_->frames(FrameKind::Cursor);
        s.focused = !cursor.empty() && cursor.front() == element_;
        if (element_.kind == ElementKind::Legend) {
            s.checkable = true;
            s.checked = shown && shown->reveal == Reveal::Wrong;
        }
        s.readOnly = element_.kind == ElementKind::Grid && shown && shown->isClue;
        return s;
    }

private:
    QPointer<BoardView> board_;
    ElementRef element_;
};

// The board view with its widget children first, then the elements.
class BoardViewAccessible : public QAccessibleWidget {
public:
    explicit BoardViewAccessible(BoardView* board)
        : QAccessibleWidget(board, QAccessible::Table, QStringLiteral("Spielfeld")) {}
    ~BoardViewAccessible() override {
        for (const auto& [key, id] : made_) {
            QAccessible::deleteAccessibleInterface(id);
        }
    }

    int childCount() const override {
        return QAccessibleWidget::childCount() + int(accessibleElements(board()->game()).size());
    }
    QAccessibleInterface* child(int index) const override {
        const int widgets = QAccessibleWidget::childCount();
        if (index < widgets) {
            return QAccessibleWidget::child(index);
        }
        const std::vector<ElementRef> elements = accessibleElements(board()->game());
        const auto i = static_cast<std::size_t>(index - widgets);
        return i < elements.size() ? elementInterface(elements[i]) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        const std::vector<ElementRef> elements = accessibleElements(board()->game());
        for (std::size_t i = 0; i < elements.size(); ++i) {
            const auto found = made_.find(keyOf(elements[i]));
            if (found != made_.end() && QAccessible::accessibleInterface(found->second) == child) {
                return QAccessibleWidget::childCount() + int(i);
            }
        }
        return QAccessibleWidget::indexOfChild(child);
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        const QPoint local = board()->mapFromGlobal(QPoint(x, y));
        if (const std::optional<ElementRef> e = board()->elementAt(local)) {
            return elementInterface(*e);
        }
        return QAccessibleWidget::childAt(x, y);
    }
    QAccessibleInterface* focusChild() const override {
        const std::vector<ElementRef>& cursor = board()->frames(FrameKind::Cursor);
        return cursor.empty() ? QAccessibleWidget::focusChild() : elementInterface(cursor.front());
    }

    QAccessibleInterface* elementInterface(ElementRef e) const {
        if (e.kind == ElementKind::Legend) {
            e.c = 0;
        }
        QAccessible::Id& id = made_[keyOf(e)];
        if (id == 0) {
            id = QAccessible::registerAccessibleInterface(new ElementAccessible(board(), e));
        }
        return QAccessible::accessibleInterface(id);
    }

private:
    using Key = std::tuple<int, int, int, int>;
    static Key keyOf(const ElementRef& e) { return {int(e.kind), e.a, e.b, e.c}; }
    BoardView* board() const { return static_cast<BoardView*>(widget()); }

    mutable std::map<Key, QAccessible::Id> made_;
};

QAccessibleInterface* boardFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("quorvik::BoardView") && object != nullptr &&
        object->isWidgetType()) {
        return new BoardViewAccessible(static_cast<BoardView*>(object));
    }
    return nullptr;
}

}  // namespace

void (*deliverAccessibleEvent)(QAccessibleEvent* event) = QAccessible::updateAccessibility;

void installBoardAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(boardFactory);
        return true;
    }();
    (void)installed;
}

void announceBoardFocus(BoardView* board, const ElementRef& element) {
    auto* view = static_cast<BoardViewAccessible*>(QAccessible::queryAccessibleInterface(board));
    if (view == nullptr) {
        return;
    }
    QAccessibleEvent focus(view->elementInterface(element), QAccessible::Focus);
    deliverAccessibleEvent(&focus);
}

}  // namespace quorvik

// The manual window and the rule that places it over the main window.
#include "ManualWindow.h"

#include <QIcon>
#include <QTextEdit>
#include <QTextOption>
#include <QVBoxLayout>

#include "Fonts.h"
#include "WindowFrame.h"

namespace quorvik {

QStringList manualLines() {
    return {
        QStringLiteral("Kurzanleitung Quorvik"),
        QString(),
        QStringLiteral("Ziel des Spiels ist es, die von Quorvik in einem Raster versteckten "
                       "Schiffsmodelle unterschiedlicher Länge zu bestimmen."),
        QStringLiteral("Die Anzahl und Länge der verschiedenen Modelle erscheint am unteren "
                       "Spielfeldrand in einer Legende. Die Schiffsmodelle sind beliebig senkrecht "
                       "oder waagerecht im Raster angeordnet, dürfen sich aber nicht berühren - "
                       "auch nicht diagonal."),
        QStringLiteral("Ein Teil der Schiffselemente wird angezeigt - die anderen Elemente müssen "
                       "vom Spieler bestimmt werden."),
        QStringLiteral("Die Zahlen am rechten bzw. unteren Rand des Rasters geben an wieviel "
                       "Schiffselemente in der jeweiligen Reihe enthalten sind. Verweilt der "
                       "Mauszeiger einen kleinen Moment auf einer dieser Zahlen, erscheint die "
                       "Summe der sichtbaren Schiffselemente."),
        QStringLiteral("Ein Linksklick auf eine Zahl setzt die Felder ohne Schiffselemente dieser "
                       "Reihe auf Wasser (hell) oder verdeckt (dunkel)."),
        QStringLiteral("Ein Linksklick auf ein Rasterfeld invertiert dieses Feld zwischen Wasser "
                       "und verdeckt. Ein Rechtsklick auf ein Rasterfeld zeigt ein Menü für "
                       "Schiffselemente."),
        QStringLiteral("Eine Legende am rechten bzw. unteren Spielfeldrand zeigt an, wieviel "
                       "Schiffe insgesamt gefunden werden müssen. Diese Legende bietet eine kleine "
                       "Hilfestellung, da die Schiffe durch anklicken markiert werden können."),
        QStringLiteral("Die Taste 'F1 Zeigen' löst das aktuelle Spielfeld auf."),
        QStringLiteral("Die Taste 'F2 Neu' berechnet ein neues Spiel."),
        QStringLiteral("Verschiedene Schwierigkeitsstufen können im Spiel-Menü gewählt werden."),
        QString(),
        QStringLiteral("Hat der Spieler die richtige Lösung gefunden, löst Quorvik das aktuelle "
                       "Spielfeld automatisch auf."),
        QString(),
        QStringLiteral("Hinweis:"),
        QStringLiteral("Die Lösung ist nicht immer eindeutig. In diesem Fall bleibt es dem Zufall "
                       "überlassen, ob der Spieler die richtige Wahl trifft."),
    };
}

QPoint manualWindowPosition(const QRect& mainFrame, const QSize& manualFrameSize) {
    // Integer division rounds toward zero, so a manual window larger than the main window
    // (negative difference) is moved left or up by the truncated half.
    const auto centred = [](int start, int extent, int inner) {
        const int at = start + (extent - inner) / 2;
        return at < 0 ? 10 : at;
    };
    return {centred(mainFrame.left(), mainFrame.width(), manualFrameSize.width()),
            centred(mainFrame.top(), mainFrame.height(), manualFrameSize.height())};
}

ManualWindow::ManualWindow(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("ManualForm"));
    setWindowTitle(QStringLiteral("Quorvik Kurzanleitung"));
    setWindowIcon(QIcon(QStringLiteral(":/dialogs/ManualIcon.png")));

    QPalette face = palette();
    face.setColor(QPalette::Window, face.color(QPalette::Button));
    setPalette(face);
    setAutoFillBackground(true);

    Memo_ = new QTextEdit(this);
    Memo_->setObjectName(QStringLiteral("Memo"));
    Memo_->setFont(arialFont(11));
    Memo_->setAcceptRichText(false);
    Memo_->setUndoRedoEnabled(false);
    Memo_->setPlainText(manualLines().join(QLatin1Char('\n')));
    Memo_->setReadOnly(true);
    // Read-only but still selectable and navigable from the keyboard, so the focus in the view
    // lets the player scroll with the arrow and page keys.
    Memo_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    // Breaks between words; only a word wider than the whole view is broken inside, since
    // there is no horizontal scrolling to reach the rest of it.
    Memo_->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    Memo_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Always there, so showing or hiding it never changes the wrap width under the player.
    Memo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QPalette text = Memo_->palette();
    text.setColor(QPalette::Text, text.color(QPalette::WindowText));
    Memo_->setPalette(text);
    Memo_->viewport()->setCursor(Qt::IBeamCursor);
    Memo_->moveCursor(QTextCursor::Start);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Memo_);

    setFocusProxy(Memo_);
    resize(initialClientSize);
}

int ManualWindow::showOver(const QRect& mainFrame) {
    placeByFrame(*this,
                 [this, mainFrame] { return manualWindowPosition(mainFrame, outerSize(*this)); });
    Memo_->setFocus();
    return exec();
}

}  // namespace quorvik

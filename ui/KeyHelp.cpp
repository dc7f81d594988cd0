// The page "Tasten und Hilfen": one rich text in a small window with a close button.
#include "KeyHelp.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace quorvik {

namespace {

const char* const pageText = R"(
<h3>Mit der Tastatur spielen</h3>
<p>Die erste Taste zeigt einen gelben Rahmen auf dem Brett.</p>
<table cellspacing="2">
<tr><td><b>Pfeiltasten</b></td><td>Rahmen bewegen; rechts und unten liegen die Zahlen</td></tr>
<tr><td><b>Leertaste, Eingabetaste</b></td><td>wie ein Linksklick: Feld umschalten, Zahl füllen, Schiff abhaken; die Eingabetaste übernimmt einen gezeigten Tipp</td></tr>
<tr><td><b>? oder F</b></td><td>„???“: ein Segment, Form noch offen</td></tr>
<tr><td><b>E O L M R U</b></td><td>Einer, oberes Ende, linkes Ende, Mittelstück, rechtes Ende, unteres Ende</td></tr>
<tr><td><b>W</b></td><td>Wasser</td></tr>
<tr><td><b>Entf, Rücktaste</b></td><td>Feld wieder zudecken</td></tr>
<tr><td><b>Menütaste, Umschalt+F10</b></td><td>Menü des Feldes</td></tr>
<tr><td><b>Tab</b></td><td>zwischen Brett und Schiffsliste wechseln</td></tr>
<tr><td><b>F10, Alt+Buchstabe</b></td><td>Menüs öffnen</td></tr>
</table>
<h3>Rückgängig</h3>
<p>Strg+Z nimmt jeden Zug zurück, auch eine gefüllte Zeile oder „Zeigen“; Strg+Y oder
Strg+Umschalt+Z macht ihn wieder. Gleich nach einem neuen Spiel holt Strg+Z das vorige Spiel mit allen Markierungen zurück.</p>
<h3>Hilfen</h3>
<p><b>Tipp</b> (F3) zeigt den nächsten Schritt, der sich ohne Raten finden lässt, grün umrahmt
und mit einem Satz, warum. Die Eingabetaste oder noch einmal F3 übernimmt ihn.<br>
<b>Fehler zeigen</b> (F4) umrahmt Markierungen, die zu keiner Lösung passen, in Magenta. Hat ein
Rätsel mehrere Lösungen, umrahmt es in Orange die Markierungen, die zu einer anderen Lösung
passen, aber nicht zu den Schiffen dieses Spiels: als gelöst gilt das Brett nur mit diesen.<br>
<b>Mitzählen</b> zählt nach jedem Zug nur die eigenen Markierungen, ohne die Lösung zu kennen:
Eine Zahl wird blasser, wenn ihre Zeile genau so viele Schiffsteile hat, und rot umrahmt, wenn
es mehr sind oder die offenen Felder nicht mehr reichen. Rot umrahmt werden auch Markierungen
gegen die Regeln (Schiffsteile, die sich an einer Ecke berühren, ein zu langes Schiff, ein Teil,
das nicht zu seinen Nachbarn passt). Die Schiffsliste hakt vollständige Schiffe selbst ab; von
Hand abgehakte bleiben abgehakt.</p>
<h3>Rahmen</h3>
<p>Jede Art Rahmen hat neben ihrer Farbe eine eigene Linie, so dass sie sich auch ohne Farben
unterscheiden: der Tastaturrahmen ist gestrichelt und liegt innen im Feld, ein Tipp hat eine
durchgehende Linie, ein Fehler eine gepunktete, eine Markierung einer anderen Lösung eine
doppelte Linie und ein Verstoß gegen die Regeln eine Linie mit Dreiecken in den Ecken.</p>
<h3>Spielnummern</h3>
<p>Jedes Spiel hat eine Nummer wie 8-3F2A91C0-6: Ziffer des Levels, Nummer, Prüfziffer. Die
Ziffer nennt das Level wie das Menü Spiel: 4 Anfänger Level (Alt+1) bis 8 Irrsinniges Level
(Alt+5). Ein E nach der Ziffer steht für ein Spiel mit genau einer Lösung, L, M und S für die Schwierigkeiten Leicht,
Mittel und Schwer. Spiel → Spielnummer… zeigt sie zum Kopieren und spielt eine eingegebene
Nummer.</p>
<h3>Fortsetzen</h3>
<p>Das laufende Spiel wird nach jedem Zug gespeichert und kommt beim nächsten Start mit
seinen letzten Zügen wieder, solange Spiel → Spiel beim nächsten Start fortsetzen eingeschaltet
ist.</p>
<h3>Eindeutige Lösung</h3>
<p>Eingeschaltet haben neue Spiele genau eine Lösung: dieselben Schiffe und aufgedeckten
Segmente und, wo nötig, weitere. Das Spiel auf dem Brett bleibt, wie es ist; ob es genau
eine Lösung hat, steht unter Spiel → Spielnummer….</p>
<h3>Schwierigkeit</h3>
<p>Spiel → Schwierigkeit wählt, wie schwer neue Spiele sind: Beliebig, Leicht (die Tipps
kommen mit Zeilen, Ecken und aufgedeckten Segmenten aus), Mittel (auch mit der Flotte) oder
Schwer (ein Tipp muss ein Feld ausprobieren). Jede Wahl außer Beliebig gibt genau eine
Lösung.</p>
<h3>Zeit und Bestzeiten</h3>
<p>Die Zeit läuft ab dem ersten Zug, solange das Fenster vorn ist, und steht unter den
Knöpfen (Spiel → Zeit anzeigen). Spiel → Bestzeiten zeigt die zehn besten Zeiten je Level
und die gespielten und gelösten Spiele; Spiel → Tagesrätsel spielt das Rätsel des Tages.</p>
<h3>Drucken</h3>
<p>Spiel → Drucken… (Strg+P) zeigt das Rätsel, wie eine Zeitschrift es druckt, in einer
Druckvorschau; Spiel → Als PDF speichern… schreibt es in eine PDF-Datei. Auf Wunsch kommen die
eigenen Markierungen (grau) und die Lösung auf einer eigenen Seite dazu. Spiel → Rätselheft…
stellt 1 bis 100 neue Rätsel mit genau einer Lösung zusammen, die Lösungen klein am Ende.</p>
<h3>Ansicht</h3>
<p>Strg++ vergrößert das Brett, Strg+- verkleinert es, Strg+0 zeigt die normale Größe. Mit
Ansicht → An Bildschirm anpassen wird das Brett so weit verkleinert, dass das Fenster ganz
auf den Bildschirm passt.</p>
)";

}  // namespace

void showKeyHelp(QWidget* parent) {
    auto* page = new QDialog(parent);
    page->setObjectName(QStringLiteral("KeyHelp"));
    page->setAttribute(Qt::WA_DeleteOnClose);
    page->setWindowTitle(QStringLiteral("Tasten und Hilfen"));
    // Scrolls where the screen is lower than the page.
    auto* text = new QTextBrowser(page);
    text->setObjectName(QStringLiteral("txtTasten"));
    text->setHtml(QString::fromUtf8(pageText));
    text->setMinimumSize(560, 520);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, page);
    QObject::connect(buttons, &QDialogButtonBox::rejected, page, &QDialog::close);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(text);
    layout->addWidget(buttons);
    page->show();
}

}  // namespace quorvik

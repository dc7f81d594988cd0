// The helps' bar: its sentence, its button and its height for the window's layout.
#include "HelpBar.h"

#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace quorvik {

namespace {
constexpr int padding = 6;  // around the text and the button, inside the bar's frame
}

HelpBar::HelpBar(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("PanelHilfe"));
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label_ = new QLabel(this);
    label_->setObjectName(QStringLiteral("lblHilfe"));
    label_->setWordWrap(true);
    take_ = new QPushButton(QStringLiteral("Übernehmen"), this);
    take_->setObjectName(QStringLiteral("btnUebernehmen"));
    take_->setFocusPolicy(Qt::NoFocus);
    take_->setToolTip(QStringLiteral("Übernimmt den Tipp (Eingabetaste oder noch einmal F3)"));
    connect(take_, &QPushButton::clicked, this, &HelpBar::takeClicked);
    hide();
}

void HelpBar::showText(const QString& text, bool canTake) {
    label_->setText(text);
    take_->setVisible(canTake);
    show();
}

QString HelpBar::text() const {
    return !isHidden() ? label_->text() : QString();
}

bool HelpBar::offersHint() const {
    return !isHidden() && !take_->isHidden();
}

int HelpBar::arrange(const QPoint& topLeft, int width) {
    take_->adjustSize();
    const int textWidth = width - take_->width() - 4 * padding;
    label_->setFixedWidth(textWidth);
    const int height = std::max(label_->heightForWidth(textWidth), take_->height()) + 2 * padding;
    setGeometry(QRect(topLeft, QSize(width, height)));
    label_->setGeometry(8, padding, textWidth, height - 2 * padding);
    take_->move(width - take_->width() - 8, (height - take_->height()) / 2);
    return height;
}

int HelpBar::twoLineHeight() const {
    return std::max(2 * label_->fontMetrics().lineSpacing(), take_->sizeHint().height()) +
           2 * padding;
}

}  // namespace quorvik

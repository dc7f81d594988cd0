// The About window's controls at their fixed places, and its show/hide behaviour.
#include "AboutWindow.h"

#include <QFrame>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

#include "Fonts.h"
#include "WindowFrame.h"

namespace quorvik {

namespace {

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, int left, int top,
                  const QFont& font, const QColor& colour = Qt::black) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    label->move(left, top);
    label->adjustSize();  // labels take the size of their text
    return label;
}

}  // namespace

AboutWindow::AboutWindow(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("Quorvik Info"));
    setFixedSize(298, 279);
    setFont(windowFont());

    QPalette face = palette();
    face.setColor(QPalette::Window, face.color(QPalette::Button));
    face.setColor(QPalette::WindowText, Qt::black);
    setPalette(face);
    setAutoFillBackground(true);

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setGeometry(8, 8, 281, 221);

    auto* icon = new QLabel(panel);
    icon->setObjectName(QStringLiteral("ProgramIcon"));
    icon->setGeometry(8, 8, 121, 121);
    icon->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    icon->setPixmap(QPixmap(QStringLiteral(":/dialogs/AboutEmblem.png")));

    const QFont maker = arialFont(19, true, true);
    makeLabel(panel, "Label1", QStringLiteral("Tarnbel"), 160, 16, maker);
    makeLabel(panel, "Label2", QStringLiteral("Software"), 160, 40, maker);
    makeLabel(panel, "ProductName", QStringLiteral("Quorvik"), 152, 80, arialFont(16, true, false));
    makeLabel(panel, "Version", QStringLiteral("Version"), 168, 112, font());
    VNumber = makeLabel(panel, "VNumber", QStringLiteral("1.00.00"), 208, 112, font());
    makeLabel(panel, "Credit", QStringLiteral("Ein Denkspiel von Tarnbel Software"), 64, 148,
              font());

    // The notice keeps its width and grows downward; it is worded to fill two lines.
    QLabel* comments =
        makeLabel(panel, "Comments",
                  QStringLiteral("Dieses Programm ist Freeware. Es darf unverändert und "
                                 "kostenlos weitergegeben werden."),
                  12, 172, font(), QColor(0xFF, 0x00, 0x00));
    comments->setWordWrap(true);
    comments->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    comments->setGeometry(12, 172, 261, std::max(26, comments->heightForWidth(261)));

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(120, 238, 65, 33);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
}

void AboutWindow::showVersion(const QString& version) {
    VNumber->setText(version);
    VNumber->adjustSize();
    if (!placed_) {
        // The outer rectangle centred on the screen of the main window if there is one, else
        // on the primary screen (where a widget without one is).
        placeByFrame(*this, [this] {
            const QScreen* target = parentWidget() ? parentWidget()->screen() : screen();
            if (!target) {
                return pos();
            }
            const QRect area = target->geometry();
            const QSize outer = outerSize(*this);
            return QPoint(area.left() + (area.width() - outer.width()) / 2,
                          area.top() + (area.height() - outer.height()) / 2);
        });
        placed_ = true;
    }
    OKButton->setFocus();
    show();
    raise();
    activateWindow();
}

}  // namespace quorvik

// A look at the tiles as the board shows them: every code of the image set on the silver, grey
// and blue backgrounds, the numerals 0 to 31, the marks laid over segments and a ticked legend
// ship, each in a bevelled square as on the board.
//
//   quorvik_tilepreview [--grab FILE] [--menu]
// --grab saves the window to a PNG once it is shown and quits; --menu opens a grid cell's
// context menu beside the window.
#include <QApplication>
#include <QCommandLineParser>
#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QTimer>
#include <QVBoxLayout>

#include "TileImageSet.h"

using namespace quorvik;

namespace {

// One row of elements under a caption.
class Row {
public:
    Row(QGridLayout* grid, int row, const QString& caption) : grid_(grid), row_(row) {
        grid_->addWidget(new QLabel(caption), row_, 0);
    }
    // A square with a raised bevel round `picture`, as the board shows an element.
    void add(const QImage& picture, const QString& tip = {}) {
        auto* frame = new QLabel;
        frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
        frame->setLineWidth(1);
        frame->setFixedSize(34, 34);
        frame->setPixmap(QPixmap::fromImage(picture));
        frame->setToolTip(tip);
        grid_->addWidget(frame, row_, ++column_);
    }
    void skip() { ++column_; }

private:
    QGridLayout* grid_;
    int row_;
    int column_ = 0;
};

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption grabOption(QStringLiteral("grab"),
                                        QStringLiteral("Save the window to a PNG and quit."),
                                        QStringLiteral("file"));
    const QCommandLineOption menuOption(QStringLiteral("menu"),
                                        QStringLiteral("Open a grid cell's menu."));
    parser.addOption(grabOption);
    parser.addOption(menuOption);
    parser.process(app);

    TileImageSet set;
    QWidget window;
    window.setWindowTitle(QStringLiteral("Quorvik – Kacheln"));
    auto* grid = new QGridLayout(&window);
    grid->setSpacing(2);
    int row = 0;

    const std::pair<QRgb, QString> backgrounds[] = {
        {TileImageSet::silverRgb, QStringLiteral("silber")},
        {TileImageSet::greyRgb, QStringLiteral("grau")},
        {TileImageSet::blueRgb, QStringLiteral("blau")},
    };
    for (const auto& [background, caption] : backgrounds) {
        Row line(grid, row++, caption);
        for (int code = 0; code < set.count(); ++code) {
            QImage picture;
            set.drawPicture(code, picture, background);
            line.add(picture, QString::number(code));
        }
    }

    Row numbers(grid, row++, QStringLiteral("Zahlen"));
    for (int n = 0; n <= TileImageSet::extraNumberLast; ++n) {
        ElementState state;
        state.number = n;
        QImage picture;
        set.renderElement(ElementKind::ColNumber, state, picture);
        numbers.add(picture);
    }

    // Marks over segments, as the solution shows them, and a ticked-off legend ship.
    Row marks(grid, row++, QStringLiteral("Marken"));
    const auto overlay = [&](int base, QRgb background, int mark) {
        QImage picture;
        set.drawPicture(base, picture, background);
        set.drawPicture(mark, picture, std::nullopt);
        marks.add(picture);
    };
    overlay(singlePicture, TileImageSet::silverRgb, crossPicture);
    overlay(leftPicture, TileImageSet::silverRgb, tickPicture);
    overlay(middlePicture, TileImageSet::blueRgb, tickPicture);
    overlay(segmentPicture, TileImageSet::silverRgb, crossPicture);
    marks.skip();
    for (int code : {leftPicture, middlePicture, rightPicture}) {
        overlay(code, TileImageSet::silverRgb, crossPicture);
    }
    // The same ship unticked: its own pictures on silver again.
    marks.skip();
    const auto plain = [&](Row& line, int code) {
        QImage picture;
        set.drawPicture(code, picture, TileImageSet::silverRgb);
        line.add(picture);
    };
    for (int code : {leftPicture, middlePicture, rightPicture}) {
        plain(marks, code);
    }

    Row legend(grid, row++, QStringLiteral("Flotte"));
    for (int code : {topPicture, middlePicture, bottomPicture}) {
        plain(legend, code);
    }
    legend.skip();
    for (int code : {leftPicture, rightPicture}) {
        plain(legend, code);
    }
    grid->setColumnStretch(grid->columnCount(), 1);

    window.show();
    if (parser.isSet(menuOption)) {
        QTimer::singleShot(200, &window, [&] {
            // The cell menu's entries with their pictures, as a grid cell shows them.
            auto* menu = new QMenu(&window);
            menu->addAction(set.menuIcon(Mark::Segment), QStringLiteral("???"));
            for (Mark mark :
                 {Mark::Single, Mark::Top, Mark::Left, Mark::Middle, Mark::Right, Mark::Bottom}) {
                menu->addAction(set.menuIcon(mark), QStringLiteral("Schiff"));
            }
            menu->popup(window.mapToGlobal(QPoint(window.width() / 2, 10)));
        });
    }
    if (parser.isSet(grabOption)) {
        QTimer::singleShot(500, &window, [&] {
            window.grab().save(parser.value(grabOption));
            app.quit();
        });
    }
    return app.exec();
}

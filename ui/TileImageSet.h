// The tile image set: the 34 pictures every element of the board draws from, indexed as
// MarkPictures.h says, with the background colour that decides what their transparent pixels
// become. Beside the set it keeps the numerals 20 to 31 for long lines and the pictures of the cell
// menu.
#pragma once

#include <QColor>
#include <QIcon>
#include <QImage>

#include <array>
#include <bitset>
#include <map>
#include <memory>
#include <optional>

#include "ElementState.h"
#include "MarkPictures.h"
#include "Move.h"

namespace quorvik {

class TileImageSet {
public:
    static constexpr int pictureSize = 32;
    // The numerals past the set, for lines that hold 20 or more ship marks.
    static constexpr int extraNumberFirst = 20;
    static constexpr int extraNumberLast = 31;

    // The backgrounds the program draws on, what a picture's transparent pixels become: silver
    // in normal play, grey under the clues revealed at the start, blue under the segments the
    // solution fills in. No background keeps what the element already shows (tick and cross).
    static constexpr QRgb silverRgb = 0xFFC0C0C0;
    static constexpr QRgb greyRgb = 0xFF808080;
    static constexpr QRgb blueRgb = 0xFF0000FF;

    // The pictures of the program's resources, each read on first use.
    TileImageSet() = default;
    TileImageSet(const TileImageSet&) = delete;
    TileImageSet& operator=(const TileImageSet&) = delete;

    // The set with every picture and numeral drawn at `size` x `size` pixels, for a zoomed
    // board or a high-density screen: this set itself at 32, else drawn on first use and kept.
    const TileImageSet& atSize(int size) const;

    // The number of pictures in the set: 34, whatever the resources held.
    int count() const { return tilePictureCount; }

    // Draws picture `index` into `target` at (0, 0): opaque pixels replace the target's, the
    // transparent ones become `background` or, with none, stay as they were, so that a mark is
    // laid over the old picture. A target of another size than the picture is first replaced by
    // a fresh silver one; one of its size keeps its pixels. An index outside 0..33 draws
    // nothing. Returns whether it drew.
    bool drawPicture(int index, QImage& target, std::optional<QRgb> background) const;
    // The picture of an element in its state, drawn into `target`: the one place where a state
    // becomes pixels. Numbers show their count on silver (paler with lineDone); grid cells and
    // legend segments their mark: on silver, a clue on grey, a filled-in segment on blue, with
    // the tick or cross laid over it where the game put one. A number's numeral is 0 to 19 from
    // the set, 20 to 31 from the numerals beside it, -1 (a line without a number) a question
    // mark; other counts draw nothing. Returns whether it drew.
    bool renderElement(ElementKind kind, const ElementState& state, QImage& target) const;

    // The pictures as loaded: ARGB32, every alpha 0 or 255. Null for an index without picture
    // and for a count without numeral (0 to 31, or -1 for a line without a number).
    QImage picture(int index) const;
    QImage numberPicture(int count) const;

    // The cell menu's icon for a ship mark (a shape or Segment): its picture at 16 x 16 (and
    // 32 x 32 for high-density screens) with the colour of its lower-left pixel see-through.
    // Built once, shared by all menus.
    QIcon menuIcon(Mark mark) const;

    // The set's pictures followed by the numerals 20 to 31, as a zoomed set keeps them.
    static constexpr int stripCount = tilePictureCount + extraNumberLast - extraNumberFirst + 1;

private:
    // The set of `normal`'s pictures drawn at `size`.
    TileImageSet(const TileImageSet& normal, int size);

    // Picture `k` of the strip, read from the resources on first use in the normal set.
    const QImage& tile(int k) const;

    mutable std::array<QImage, stripCount> pictures_;
    mutable std::bitset<stripCount> loaded_;
    mutable QImage unknownNumber_;
    mutable std::map<Mark, QIcon> menuIcons_;
    int size_ = pictureSize;
    mutable std::map<int, std::unique_ptr<TileImageSet>> sized_;
};

}  // namespace quorvik

#pragma once
// Where the pieces of the book frame go: twelve skin bitmaps around the spread, the gutter
// and the page-edge lines that show how much of the book lies on either side.

#include <QLine>
#include <QPoint>
#include <QSize>
#include <QString>
#include <array>
#include <vector>

namespace bookframe {

constexpr int kPieceCount = 12;

// The skin files of the frame, in drawing order (later pieces overwrite earlier ones).
extern const std::array<const char*, kPieceCount> kPieceFiles;

struct Geometry {
    int areaWidth = 0;    // W, the width of Pic_TxtOut
    int readInLeft = 20;  // PicReadIn
    int readInWidth = 0;
    int pageWidth = 0;   // pw
    int pageHeight = 0;  // ph
};

struct Copy {
    int piece = 0;  // index into kPieceFiles
    QPoint at;      // top-left on Pic_TxtOut
};

// Every block copy of the frame, in order. A piece whose size is empty is skipped: it could
// not be tiled.
std::vector<Copy> pieceCopies(const Geometry& g, const std::array<QSize, kPieceCount>& sizes);

// How many copies tile a run of length l with pieces of length step (0 for an empty piece).
int tileCount(int length, int step);

// The page-edge lines on Pic_TxtOut, each from p1 to p2 (p2 excluded, as a pen draws it):
// the pages already read at the left, those still to come at the right.
std::vector<QLine> pageEdgeLines(const Geometry& g, int pageCount, int currentPage);

}  // namespace bookframe

#include "window/BookFrame.h"

#include "forms/Units.h"

namespace bookframe {

const std::array<const char*, kPieceCount> kPieceFiles = {
    "bg_vertical.bmp",   "bg_verticalright.bmp", "bg_htop.bmp",          "bg_bottom.bmp",
    "bg_sideleft.bmp",   "bg_sideright.bmp",     "bg_btnsideleft.bmp",   "bg_btnsideright.bmp",
    "bg_centerleft.bmp", "bg_centerright.bmp",   "bg_centerbtnleft.bmp", "bg_centerbtnright.bmp",
};

int tileCount(int length, int step) {
    if (step <= 0 || length < 1) return 0;
    return (length - 1) / step + 1;
}

namespace {

enum class Run { Once, Down, Right };

struct Placement {
    Run run;
    QPoint at;
    int length;
};

// Positions in piece order; w and h are the piece's own size.
Placement placement(int piece, const Geometry& g, QSize s) {
    const int w = s.width(), h = s.height();
    const int pw = g.pageWidth, ph = g.pageHeight, W = g.areaWidth;
    const int mid = pw + 20;
    const int spread = 2 * pw + 1;
    switch (piece) {
        case 0:
            return {Run::Down, {20 - w, 20}, ph};
        case 1:
            return {Run::Down, {g.readInLeft + g.readInWidth, 20}, ph};
        case 2:
            return {Run::Right, {20, 20 - h}, spread};
        case 3:
            return {Run::Right, {20, ph + 20}, spread};
        case 4:
            return {Run::Once, {20 - w, 1}, 1};
        case 5:
            return {Run::Once, {W - w, 1}, 1};
        case 6:
            return {Run::Once, {20 - w, ph + 42 - h}, 1};
        case 7:
            return {Run::Once, {W - w, ph + 42 - h}, 1};
        case 8:
            return {Run::Once, {mid - w, 20 - h}, 1};
        case 9:
            return {Run::Once, {mid, 20 - h}, 1};
        case 10:
            return {Run::Once, {mid - w, ph + 20}, 1};
        default:
            return {Run::Once, {mid, ph + 20}, 1};
    }
}

}  // namespace

std::vector<Copy> pieceCopies(const Geometry& g, const std::array<QSize, kPieceCount>& sizes) {
    std::vector<Copy> copies;
    for (int piece = 0; piece < kPieceCount; ++piece) {
        const QSize s = sizes[piece];
        if (s.width() <= 0 || s.height() <= 0) continue;
        const Placement p = placement(piece, g, s);
        if (p.run == Run::Once) {
            copies.push_back({piece, p.at});
            continue;
        }
        const int step = p.run == Run::Down ? s.height() : s.width();
        const int n = tileCount(p.length, step);
        for (int k = 0; k < n; ++k) {
            const QPoint offset = p.run == Run::Down ? QPoint(0, k * step) : QPoint(k * step, 0);
            copies.push_back({piece, p.at + offset});
        }
    }
    return copies;
}

std::vector<QLine> pageEdgeLines(const Geometry& g, int pageCount, int currentPage) {
    std::vector<QLine> lines;
    if (pageCount < 1) return lines;
    const int n = forms::roundToInt(pageCount / 15.0);
    if (n < 1) return lines;
    const int ph = g.pageHeight;
    // The loop limits are fractions: i runs while it does not pass them.
    const float readLimit = static_cast<float>(currentPage) / n;
    for (int i = 1; i <= readLimit; i += 2) lines.emplace_back(20 - i, i + 25, 20 - i, ph + 15 - i);
    const float comingLimit = static_cast<float>(pageCount - currentPage) / n;
    const int rightEdge = 20 + (g.pageWidth + 1) + g.pageWidth;
    for (int i = 1; i <= comingLimit; i += 2)
        lines.emplace_back(rightEdge + i, i + 25, rightEdge + i, ph + 15 - i);
    return lines;
}

}  // namespace bookframe

#include "window/Layout.h"

#include <cstdint>

#include "forms/Units.h"

namespace layout {

using forms::roundToInt;

int toInt16(int v) {
    return static_cast<int16_t>(static_cast<uint16_t>(v & 0xFFFF));
}

QSize clampToMinimum(int widthTwips, int heightTwips) {
    return {widthTwips <= kMinWidthTwips ? kMinWidthTwips : widthTwips,
            heightTwips <= kMinHeightTwips ? kMinHeightTwips : heightTwips};
}

static void placeToolBar(const Input& in, Result& r) {
    r.topOut = QRect(0, 0, in.clientWidth, kTopOutHeight);
    r.txtOut = QRect(0, kTopOutHeight, in.clientWidth, in.clientHeight - kTopOutHeight);
    r.toolBarFits = kHelpRight < r.topOut.width();
    if (!r.toolBarFits) {
        r.hscroll = QRect(r.topOut.width() - kHScrollWidth, 0, kHScrollWidth, kTopOutHeight);
        r.hscrollMax = toInt16(kPicTopWidth - r.topOut.width() + kHScrollWidth);
    }
    r.stretchTopBack = r.topOut.width() > kTopBackStart;
    if (r.stretchTopBack)
        r.topBack = QRect(kTopBackStart, 0, r.topOut.width() - kTopBackStart, r.topOut.height());
}

static void placePages(const Input& in, Result& r) {
    const int pw = roundToInt((r.txtOut.width() - 41) / 2.0);
    const int ph = r.txtOut.height() - 40;
    r.pageWidth = pw;
    r.pageHeight = ph;
    r.page[0] = QRect(0, 0, pw, ph);
    r.page[1] = QRect(pw + 1, 0, pw, ph);
    r.textBox = QRect(r.page[0].left() + 30, 50, pw - 60, ph - 70);

    const QSize num = in.pageNumberLabel;
    const int numTop = roundToInt((50 - num.height()) / 2.0);
    r.pageNumber[0] = QPoint(30, numTop);
    r.pageNumber[1] = QPoint(pw - (num.width() + 20) - 10, numTop);

    r.tmpPage = QSize(pw, ph);
    r.readIn = QRect(kReadInMargin, kReadInMargin, r.txtOut.width() - 40, ph);
    r.picture3 = QRect(20, r.readIn.top(), r.readIn.width(), r.readIn.height());
    for (int i = 0; i < 2; ++i)
        r.textFrame[i] = QRect(27, 47, r.page[i].width() - 57, r.page[i].height() - 67);
}

static QPoint centred(const Input& in, const QSize& panel) {
    return {roundToInt((in.windowWidthTwips / in.twipsPerPixelX - panel.width()) / 2.0),
            roundToInt((in.windowHeightTwips / in.twipsPerPixelY - panel.height()) / 2.0)};
}

Result compute(const Input& in) {
    Result r;
    placeToolBar(in, r);
    placePages(in, r);
    r.splash = centred(in, in.splash);
    r.list = centred(in, in.list);
    r.lineBox = QPoint(r.page[0].left() + r.readIn.left() + r.textFrame[0].left(),
                       r.textFrame[0].top() + r.readIn.top() + 45);
    return r;
}

}  // namespace layout

#pragma once
// The arithmetic of the window layout: where every control goes for a given window size.
// Pure numbers, no widgets, so the resize handler only applies what this computes.

#include <QPoint>
#include <QRect>
#include <QSize>

namespace layout {

// Design values of the window (pixels unless marked).
constexpr int kMinWidthTwips = 6870;
constexpr int kMinHeightTwips = 6030;
constexpr int kTopOutHeight = 42;
constexpr int kPicTopWidth = 1024;
constexpr int kTopBackStart = 1024;   // the stretched tool bar background starts here
constexpr int kHelpRight = 977 + 40;  // right edge of imgHelp in Pic_Top
constexpr int kHScrollWidth = 32;
constexpr int kHScrollSmallChange = 50;
constexpr int kReadInMargin = 20;

struct Input {
    int clientWidth = 0;
    int clientHeight = 0;
    double windowWidthTwips = 0;  // outer size, frame included
    double windowHeightTwips = 0;
    double twipsPerPixelX = 15;
    double twipsPerPixelY = 15;
    QSize pageNumberLabel;  // size of lblread(1)
    QSize splash;           // size of PicSplash
    QSize list;             // size of PicList
};

struct Result {
    QRect topOut;  // PicTopOut in the window
    QRect txtOut;  // Pic_TxtOut in the window
    bool toolBarFits = true;
    QRect hscroll;  // HScroll1 in PicTopOut, when it shows
    int hscrollMax = 0;
    bool stretchTopBack = false;
    QRect topBack;         // where bg_Topback is stretched on PicTopOut
    int pageWidth = 0;     // pw
    int pageHeight = 0;    // ph
    QRect page[2];         // PicRead(0), PicRead(1) in PicReadIn
    QRect textBox;         // RichTextBox1 (and Text1 before step 17)
    QPoint pageNumber[2];  // lblread(0), lblread(1)
    QSize tmpPage;         // PicTmpPage(0), PicTmpPage(1)
    QRect readIn;          // PicReadIn in Pic_TxtOut
    QRect picture3;        // Picture3
    QRect textFrame[2];    // ShRead(0), ShRead(1) in their pages
    QPoint splash;         // PicSplash in the window
    QPoint list;           // PicList in the window
    QPoint lineBox;        // Text1's final top-left
};

// Everything the resize handler places, for one window size (steps 2 to 17).
Result compute(const Input& in);

// The minimum-size rule: the size a window of w x h twips must be set to, or the same size.
QSize clampToMinimum(int widthTwips, int heightTwips);

// The 16-bit maximum of HScroll1: wraps like a 16-bit store would.
int toInt16(int v);

}  // namespace layout

#pragma once
// The colour palette of the tool bar's colour buttons, and the font-name test of the font box:
// plain values and arithmetic, apart from any widget.

#include <QPoint>
#include <QSize>
#include <QStringList>
#include <array>

#include "graphics/Gdi.h"

namespace palette {

constexpr int kRows = 4;
constexpr int kColumns = 7;
constexpr int kCells = kRows * kColumns;

// Row by row; cells 8 and 10 are the same green, and both stay.
constexpr std::array<gdi::COLORREF, kCells> kColours = {
    gdi::RGB(255, 255, 255), gdi::RGB(0, 0, 0),       gdi::RGB(132, 130, 132),
    gdi::RGB(198, 195, 198), gdi::RGB(132, 0, 0),     gdi::RGB(255, 0, 0),
    gdi::RGB(132, 130, 0),   gdi::RGB(255, 255, 0),   gdi::RGB(0, 255, 0),
    gdi::RGB(0, 130, 132),   gdi::RGB(0, 255, 0),     gdi::RGB(255, 130, 66),
    gdi::RGB(0, 255, 255),   gdi::RGB(0, 0, 132),     gdi::RGB(0, 0, 255),
    gdi::RGB(132, 0, 132),   gdi::RGB(255, 0, 255),   gdi::RGB(132, 130, 66),
    gdi::RGB(255, 255, 132), gdi::RGB(0, 65, 66),     gdi::RGB(0, 255, 132),
    gdi::RGB(0, 130, 255),   gdi::RGB(132, 255, 255), gdi::RGB(0, 65, 132),
    gdi::RGB(132, 130, 255), gdi::RGB(66, 0, 255),    gdi::RGB(255, 0, 132),
    gdi::RGB(132, 65, 0)};

constexpr gdi::COLORREF kDefaultPage = gdi::RGB(255, 249, 237);
constexpr gdi::COLORREF kDefaultText = gdi::RGB(0, 0, 0);

// Where cell k sits in the palette, for cells of the size of cell 0, 3 pixels apart.
QPoint cellPosition(int k, QSize cell);

// Left of the palette panel under the text-colour swatch at swatchLeft (window pixels), kept
// wholly inside a tool bar frame barWidth wide.
int panelLeft(int swatchLeft, int panelWidth, int barWidth);

// True when name is one of fonts exactly, letter case included.
bool isInstalledFont(const QString& name, const QStringList& fonts);

}  // namespace palette

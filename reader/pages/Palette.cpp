#include "pages/Palette.h"

#include <algorithm>

namespace palette {

QPoint cellPosition(int k, QSize cell) {
    const int row = k / kColumns, column = k % kColumns;
    return {3 + column * (cell.width() + 3), 3 + row * (cell.height() + 3)};
}

int panelLeft(int swatchLeft, int panelWidth, int barWidth) {
    int left = swatchLeft;
    if (left + panelWidth > barWidth) left = barWidth - panelWidth;
    // A tool bar scrolled far to the left takes the swatch off the window; the panel stays.
    return std::max(left, 0);
}

bool isInstalledFont(const QString& name, const QStringList& fonts) {
    return fonts.contains(name, Qt::CaseSensitive);
}

}  // namespace palette

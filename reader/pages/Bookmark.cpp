#include "pages/Bookmark.h"

#include <cstddef>

namespace bookmark {

Hit lineAt(const std::vector<int>& lineStarts, int lineHeight, int y) {
    int top = 50;
    for (std::size_t i = 0; i < lineStarts.size(); ++i) {
        const int s = lineStarts[i];
        const int e = i + 1 < lineStarts.size() ? lineStarts[i + 1] : -1;
        if (e - s <= 0) continue;
        if (top <= y && y <= top + lineHeight) return {top, s};
        top += lineHeight;
    }
    return {};
}

int32_t spreadOfLine(int line, int linesPerPage) {
    if (linesPerPage < 1) linesPerPage = 1;
    int32_t page = (line < 0 ? 0 : line) / linesPerPage + 1;
    if (page % 2 == 0) page -= 1;
    return page;
}

}  // namespace bookmark

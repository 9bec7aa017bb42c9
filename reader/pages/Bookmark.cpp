#include "pages/Bookmark.h"

#include <algorithm>
#include <cstddef>

namespace bookmark {

std::vector<Row> pageRows(const std::function<int(int)>& lineStart, int lineCount, int linesPerPage,
                          int pageBytes, int lineHeight) {
    const int text = pageBytes - 2;
    const int n = std::min(lineCount, linesPerPage + 1);
    std::vector<Row> rows;
    int s = n > 0 ? lineStart(0) : -1;
    for (int i = 0; i < n && s != -1; ++i) {
        const int e = lineStart(i + 1);
        // The last line has no successor and holds nothing.
        const int end = e < s ? s : std::min(e, std::max(s, text));
        rows.push_back({50 + i * lineHeight, s, end});
        s = e;
    }
    return rows;
}

Hit lineAt(const std::vector<Row>& rows, int lineHeight, int y) {
    for (const Row& r : rows)
        if (r.end > r.start && r.top <= y && y <= r.top + lineHeight) return {r.top, r.start};
    return {};
}

int rowHolding(const std::vector<Row>& rows, int64_t offset) {
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (rows[i].start <= offset && offset < rows[i].end) return int(i);
    return -1;
}

int32_t spreadOfLine(int line, int linesPerPage) {
    if (linesPerPage < 1) linesPerPage = 1;
    int32_t page = (line < 0 ? 0 : line) / linesPerPage + 1;
    if (page % 2 == 0) page -= 1;
    return page;
}

}  // namespace bookmark

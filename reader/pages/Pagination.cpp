#include "pages/Pagination.h"

#include <algorithm>
#include <cmath>

#include "forms/Units.h"

namespace pagination {

int linesPerPage(int pageHeight, int lineSpacing, int textHeight) {
    const int step = lineSpacing + textHeight;
    if (step <= 0) return 1;
    const int lines = (pageHeight - 70 + 3) / step - 1;
    return lines < 1 ? 1 : lines;
}

int32_t pageCount(int layoutLines, int linesPerPage) {
    if (linesPerPage < 1) linesPerPage = 1;
    return (layoutLines + linesPerPage - 1) / linesPerPage;
}

int32_t pageAtRatio(double ratio, int32_t pageCount) {
    int64_t page = forms::roundHalfEven(ratio * pageCount);
    if (page % 2 == 0) page -= 1;
    if (page < 1) page = 1;
    return static_cast<int32_t>(page);
}

int32_t spreadForValue(int32_t value, int32_t currentPage) {
    if (value == currentPage) return 0;
    if (value % 2 != 0) return value;
    if (value == currentPage + 1) return 0;
    return value - 1;
}

int32_t spreadAtShare(double before, int32_t pageCount) {
    if (pageCount <= 0) return 1;
    // A hair over, so a share that is a whole number of pages never falls a spread short.
    int32_t page = int32_t(std::floor(before * pageCount + 1e-9)) + 1;
    if (page % 2 == 0) --page;
    return std::clamp<int32_t>(page, 1, std::max(1, pageCount % 2 ? pageCount : pageCount - 1));
}

}  // namespace pagination

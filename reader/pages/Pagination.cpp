#include "pages/Pagination.h"

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

}  // namespace pagination

#pragma once
// The arithmetic of pagination, apart from any box or window.

#include <cstdint>

namespace pagination {

// Lines of a page of pageHeight pixels: one less than fit the text frame, and never fewer
// than one (a tiny window or a huge font would otherwise leave no line to count by).
int linesPerPage(int pageHeight, int lineSpacing, int textHeight);
// Pages for a number of layout lines; a partly filled last page counts.
int32_t pageCount(int layoutLines, int linesPerPage);
// The left page of the spread at the same fraction of a book of pageCount pages: odd, >= 1.
int32_t pageAtRatio(double ratio, int32_t pageCount);
// The left page of the spread with the share `before` (0 to 1) of a book of pageCount pages
// before it: odd, from 1 to the last spread.
int32_t spreadAtShare(double before, int32_t pageCount);
// The spread the page bar's value stands for, or 0 when the spread on screen stays.
int32_t spreadForValue(int32_t value, int32_t currentPage);

}  // namespace pagination

#include "pages/PageModel.h"

#include <algorithm>

#include "textbox/TextBox.h"

PageSlice sliceOfPage(const PageModel& model, const textbox::TextBox& box, int page) {
    const int L = model.linesPerPage;
    const int first = (page - 1) * L;
    PageSlice slice;
    const int start = box.lineIndex(first);
    slice.start = start;
    // The book's size is asked only once the box holds it: until the book is laid out the box's
    // text is empty, and a book not measured yet would be read whole for its size.
    const qsizetype boxSize = box.text().size();
    if (start < 0) {
        slice.from = boxSize == 0 ? 0 : int(model.text.size());
        slice.text = QStringLiteral("\r\n");
        return slice;
    }
    const int from = box.charIndexOfLine(first);
    slice.from = from;
    int to = boxSize == 0 ? 0 : int(std::min(model.text.size(), boxSize));
    if (box.lineCount() >= first + L + 1) {
        const int end = box.lineIndex(page * L);
        to = end < 0 ? from : box.charIndexOfLine(page * L);
    }
    slice.text = model.text.mid(from, std::max(0, to - from)) + QStringLiteral("\r\n");
    return slice;
}

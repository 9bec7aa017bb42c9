#pragma once
// The book laid out in pages: its text, how it is cut and where the reader is in it.

#include <QString>
#include <cstdint>

#include "encodings/StoredText.h"

namespace textbox {
class TextBox;
}

// A page's text, cut from the book when it is drawn.
struct PageSlice {
    QString text;   // the page's text, ending with CR LF
    int start = 0;  // its offset in the document, CP949 bytes, 0-based
    int from = 0;   // the index of its first character in the text
};

struct PageModel {
    // The book as read: in its file, decoded where a page, a find or a scan needs it.
    encodings::StoredText text;
    // Its length in characters, or no less (a book its first wrap has not measured yet counts
    // its bytes); 0 when no book is laid out.
    double length = 0;
    int32_t current = 0;  // the left page of the spread on screen
    int32_t count = 0;    // pages in the layout
    int32_t linesPerPage = 1;
    int16_t lineHeight = 0;     // pixels from one row's top to the next
    int16_t wideCharWidth = 0;  // the width of a Hangul syllable in the page font
    // The window size the pages were last laid out for.
    int32_t laidOutWidth = 0;
    int32_t laidOutHeight = 0;

    bool hasBook() const { return length != 0; }
};

// Page `page` (1-based) of the book as the layout box has wrapped it. Offsets map to characters
// through the box, so a page costs its own length; the last page runs to the end of what the
// box holds: while it is still empty (a relayout early in start-up) that is nothing.
PageSlice sliceOfPage(const PageModel& model, const textbox::TextBox& box, int page);

#pragma once
// The arithmetic of the bookmark, apart from any box or window: which drawn line a pointer hits,
// and which spread holds a layout line.

#include <cstdint>
#include <vector>

namespace bookmark {

struct Hit {
    int top = 0;    // top y of the line hit on the page; 0 when no line is hit
    int start = 0;  // the line's start, CP949 bytes from the start of the page text
};

// lineStarts are the starts of the line box's lines in order, as drawn from y = 50 one
// lineHeight apart. A y on the border of two lines hits the upper one; the last line (the
// empty one behind the page's line break, which has no successor) neither hits nor takes room.
Hit lineAt(const std::vector<int>& lineStarts, int lineHeight, int y);

// The left page of the spread that holds 0-based layout line `line`.
int32_t spreadOfLine(int line, int linesPerPage);

}  // namespace bookmark

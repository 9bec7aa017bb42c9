#pragma once
// The arithmetic of the bookmark, apart from any box or window: the rows a page is drawn in,
// which of them a pointer hits or the bookmark lies on, and which spread holds a layout line.

#include <cstdint>
#include <functional>
#include <vector>

namespace bookmark {

// A row of a page as drawn, one LineHeight apart from y = 50. It holds the page text's bytes
// [start, end): none for the empty row behind the line break added to every page, which holds
// no text of the page (the next page starts there), nor for a row the layout left empty.
struct Row {
    int top = 0;
    int start = 0;  // CP949 bytes from the start of the page text
    int end = 0;
};

// The rows drawn for a page whose line box holds lineCount lines: at most linesPerPage + 1,
// whatever the page text. lineStart(i) is the start of line i, -1 past the last; pageBytes is
// the page text's length, the added line break (two bytes) included. Drawing and hitting both
// go by these rows, so the marker is drawn where a click sets it.
std::vector<Row> pageRows(const std::function<int(int)>& lineStart, int lineCount, int linesPerPage,
                          int pageBytes, int lineHeight);

struct Hit {
    int top = 0;    // top y of the row hit on the page; 0 when no row is hit
    int start = 0;  // the row's start
};

// A y on the border of two rows hits the upper one; a row that holds nothing never hits.
Hit lineAt(const std::vector<Row>& rows, int lineHeight, int y);

// The index of the row that holds byte `offset` of the page text, -1 for none.
int rowHolding(const std::vector<Row>& rows, int64_t offset);

// The left page of the spread that holds 0-based layout line `line`.
int32_t spreadOfLine(int line, int linesPerPage);

}  // namespace bookmark

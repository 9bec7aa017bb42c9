#pragma once
// What the find bar and the chapter list need of the window they lie on: the book on screen,
// where its text falls in the current layout, and the pictures they are drawn with. The window
// answers; the panels tell it what to show by their signals.

#include <QImage>
#include <QString>
#include <cstdint>
#include <utility>

#include "encodings/StoredText.h"

class PanelHost {
public:
    virtual ~PanelHost() = default;

    // Whether a book is on screen, its text (empty without one) and its number of pages.
    virtual bool hasBook() const = 0;
    virtual const encodings::StoredText& bookText() const = 0;
    virtual int32_t pageCount() const = 0;
    // The text indexes of the spread on screen, [first, end).
    virtual std::pair<int, int> spreadIndexes() const = 0;
    // The left page of the spread that holds text index `index`.
    virtual int32_t spreadOfIndex(int index) const = 0;
    // The page, and the left page of the spread, that hold byte `position` of the book.
    virtual int32_t pageOfPosition(int32_t position) const = 0;
    virtual int32_t spreadOfPosition(int32_t position) const = 0;
    // The byte where the spread on screen ends (past the book's end on its last spread).
    virtual int64_t spreadEnd() const = 0;
    // A picture compiled in with the window design, and one of the skin folder.
    virtual QImage designPicture(const QString& name) = 0;
    virtual QImage skinPicture(const QString& name) = 0;
};

#pragma once
// The reader's state at one moment, taken whole: what the state files are written from, what
// the end of a session writes, and what is put back when another book cannot be opened.

#include <QRect>
#include <cstdint>
#include <vector>

#include "documents/OpenBook.h"
#include "session/SettledSave.h"
#include "session/StateFiles.h"

struct ReaderState {
    OpenBook book;
    int32_t page = 0;  // the left page of the spread on screen
    int32_t pageCount = 0;
    double length = 0;  // the book's length; 0 without a book laid out
    statefiles::ReadingSettings settings;
    QRect frame;            // the window's outer geometry, pixels
    bool pageTurn = false;  // the turn is played
    bool listEnabled = false;

    // The contents of the three state files in stateFolder: none without a book, and no window
    // file while the place does not belong to the book on screen.
    std::vector<SettledSave::File> files(const QString& stateFolder) const;
};

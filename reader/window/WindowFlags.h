#pragma once
// What the main window is in the middle of: starting, turning a page, laying out, ending.
// Working state of the window itself; what the reader keeps lives in the book's owners.

#include <QRectF>
#include <QString>
#include <cstdint>

struct WindowFlags {
    // Start-up. The resume question is being asked (the start-up panel stays behind it).
    bool askingToResume = false;
    // The deferred start-up has run: the book is laid out and the state may be saved.
    bool started = false;
    QString startFile;  // the file named on the command line
    bool startFileResumed = false;
    QString pendingOpen;  // a file another start handed over, opened once the window is free
    bool pendingOpenQueued = false;
    // The resumed book had no usable saved position: count its pages after start-up.
    bool positionUnknown = false;
    // An archive's previous or next file is being opened from the end of a book.
    bool steppingFile = false;

    // A page turn is playing; a resize, minimise or close during it ends it, and the layout
    // waits for its end.
    bool turning = false;
    bool stopTurn = false;
    bool layoutAfterTurn = false;
    int turnFrameInterval = 16;  // the least time a frame of a turn stays on screen, ms
    bool bookChangeSeen = false;  // the book's file was found changed, and the user asked
    bool spreadShown = false;    // the pages show a spread, which a turn starts from

    // Layout and pictures.
    qreal pictureRatio = 0;  // what the skin pictures and those shown were drawn for
    bool inResize = false;
    bool pendingGeometry = false;
    QRectF wantedTwips;
    QString pageBarProblem;  // why the page bar could not be hosted, or ""

    // Appearance: the spacing values the boxes chose, applied by the next relayout.
    int16_t lineSpacingValue = 0;
    int16_t spacingValue0Copy = 0;
    bool colourOnlyChange = false;  // the next relayout changes colours only: no recount
    int16_t colourTarget = 0;       // 0: the palette serves the text colour, -1: the page colour
    bool scrollArmed = false;       // the page bar's changes turn pages

    // The end.
    int16_t isUnloading = 0;
    bool unloaded = false;
};

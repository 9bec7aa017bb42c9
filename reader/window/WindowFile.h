#pragma once
// The window file: where the window was and how far the reader had got, 26 bytes,
// little-endian. Its name carries the program version, so a new version starts afresh.

#include <QByteArray>
#include <QList>
#include <QRectF>
#include <QString>
#include <cstdint>
#include <optional>

namespace windowfile {

constexpr int kSize = 26;

struct Placement {
    int32_t left = 0, top = 0, width = 0, height = 0;  // twips, outer frame
};

struct Record {
    Placement placement;
    int32_t currentPage = 0;
    int32_t pageCount = 0;
    int16_t pageTurn = 0;  // the value of chkline: 0 off, 1 on
};

// "data" + major_minor_revision of this build, e.g. "data1_0_0".
QString fileName();

QByteArray encode(const Record& r);
// Nothing when the bytes are too short to hold the whole record.
std::optional<Record> decode(const QByteArray& bytes);

// The first four values, or nothing when the file is missing or shorter than them (read as
// statefiles::readFile reads: never through a link).
std::optional<Placement> readPlacement(const QString& path);

// What the load handler makes of a saved placement: nothing saved, a window that covers the
// screen (maximised last time), or one smaller than the minimum, that fits no screen or lies
// wholly off every screen (a damaged file) all open maximised, as at the first start. screens
// are the areas the screens leave to windows, in twips, the primary one first.
// A window covers the screen it lies on (the one holding most of it), not always the primary.
enum class PlacementUse { Maximise, Apply };
PlacementUse usePlacement(const std::optional<Placement>& saved, const QList<QRectF>& screens);
// The index of the screen that holds the largest part of the saved window; 0 (the primary)
// when nothing is saved or no screen holds any of it.
int screenOf(const std::optional<Placement>& saved, const QList<QRectF>& screens);

// A saved reading position for a text of `characters` characters: a page count from 1 to the
// number of characters, and the left page an odd page of it. Anything else is no position.
bool positionUsable(int32_t currentPage, int32_t pageCount, double characters);

}  // namespace windowfile

// The three state files on any bytes: whatever the reader decodes it writes back in a form that
// decodes to the same values, and the checks on a saved placement and position never fault.

#include <QList>
#include <QRectF>
#include <cstdint>
#include <cstdlib>

#include "session/StateFiles.h"
#include "window/WindowFile.h"

namespace {

void settings(const QByteArray& bytes) {
    const auto s = statefiles::decode(bytes);
    if (!s) return;
    const QByteArray written = statefiles::encode(*s);
    if (written.size() != statefiles::kSettingsSize) std::abort();
    const auto again = statefiles::decode(written);
    if (!again || statefiles::encode(*again) != written) std::abort();
    (void)s->cleanFontName();
}

void document(const QByteArray& bytes) {
    const auto d = statefiles::decodeDocument(bytes);
    if (!d) return;
    const auto again = statefiles::decodeDocument(statefiles::encodeDocument(*d));
    if (!again || again->documentPath != d->documentPath || again->archivePath != d->archivePath ||
        again->archiveKind != d->archiveKind || again->entryIndex != d->entryIndex)
        std::abort();
}

void window(const QByteArray& bytes) {
    const auto r = windowfile::decode(bytes);
    if (!r) return;
    if (windowfile::encode(*r) != bytes.left(windowfile::kSize)) std::abort();
    // Two screens side by side in twips, the second with a panel.
    const QList<QRectF> screens{QRectF(0, 0, 24000, 13500), QRectF(24000, 480, 19200, 14880)};
    (void)windowfile::usePlacement(r->placement, screens);
    (void)windowfile::usePlacement(r->placement, {});
    for (const double characters : {0.0, 1.0, 1e6, 2e8})
        if (windowfile::positionUsable(r->currentPage, r->pageCount, characters) &&
            (r->currentPage % 2 != 1 || r->currentPage > r->pageCount))
            std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    settings(bytes);
    document(bytes);
    window(bytes);
    return 0;
}

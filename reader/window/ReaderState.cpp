#include "window/ReaderState.h"

#include "forms/Screen.h"
#include "forms/Units.h"
#include "window/WindowFile.h"

std::vector<SettledSave::File> ReaderState::files(const QString& stateFolder) const {
    std::vector<SettledSave::File> files;
    if (!book.open()) return files;
    files.emplace_back(stateFolder + "/" + statefiles::kSettingsFile, statefiles::encode(settings));
    statefiles::DocumentState d;
    d.documentPath = book.path;
    d.archiveKind = book.archiveKind;
    d.archivePath = book.archivePath;
    // The entry on screen, whatever row the list shows.
    d.entryIndex = book.inArchive() ? book.shown : -1;
    files.emplace_back(stateFolder + "/" + statefiles::kDocumentFile,
                       statefiles::encodeDocument(d));
    // Only a position that belongs to the book on screen is worth coming back to.
    if (!windowfile::positionUsable(page, pageCount, length)) return files;
    const double tx = forms::Screen::TwipsPerPixelX(), ty = forms::Screen::TwipsPerPixelY();
    windowfile::Record r;
    r.placement = {static_cast<int32_t>(forms::roundHalfEven(frame.x() * tx)),
                   static_cast<int32_t>(forms::roundHalfEven(frame.y() * ty)),
                   static_cast<int32_t>(forms::roundHalfEven(frame.width() * tx)),
                   static_cast<int32_t>(forms::roundHalfEven(frame.height() * ty))};
    r.currentPage = page;
    r.pageCount = pageCount;
    r.pageTurn = pageTurn ? 1 : 0;
    files.emplace_back(stateFolder + "/" + windowfile::fileName(), windowfile::encode(r));
    return files;
}

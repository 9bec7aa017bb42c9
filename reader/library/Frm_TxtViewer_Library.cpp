// The library of books read: every book opened is looked up by its key, read in the encoding
// chosen for it and shown at its place with its bookmark; every settled save records where the
// reader is in it, and the time spent turning its pages.

#include <QDateTime>
#include <algorithm>

#include "library/Library.h"
#include "pages/Bookmark.h"
#include "textbox/TextBox.h"
#include "window/Frm_TxtViewer.h"

void Frm_TxtViewer::openLibrary() {
    if (!m_library) m_library = std::make_unique<library::Library>(m_places.state);
}

void Frm_TxtViewer::tellLibraryProblem() {
    if (!m_library) return;
    const QString problem = m_library->openProblem();
    if (!problem.isEmpty()) saySo(problem);
}

std::optional<library::BookRecord> Frm_TxtViewer::recordOf(
    const std::optional<library::BookKey>& key) const {
    if (!m_library || !key) return std::nullopt;
    return m_library->find(*key);
}

encodings::Encoding Frm_TxtViewer::encodingOf(const std::optional<library::BookRecord>& record) {
    return record ? encodings::encodingFromId(record->encoding) : encodings::Encoding::Automatic;
}

int64_t Frm_TxtViewer::spreadPlace() const {
    if (m_pages.length == 0 || m_pages.current < 1) return 0;
    const int line = (m_pages.current - 1) * std::max<int>(1, m_pages.linesPerPage);
    return std::max(0, RichTextBox1->lineIndex(std::min(line, RichTextBox1->lineCount() - 1)));
}

int32_t Frm_TxtViewer::spreadOfPlace(int64_t place) const {
    if (m_pages.count <= 0 || place <= 0) return 1;
    const int line = RichTextBox1->lineFromChar(int(std::min<int64_t>(place, INT32_MAX)));
    const int32_t spread = bookmark::spreadOfLine(std::max(0, line), m_pages.linesPerPage);
    const int32_t last = m_pages.count % 2 ? m_pages.count : m_pages.count - 1;
    return std::clamp<int32_t>(spread, 1, std::max(1, last));
}

void Frm_TxtViewer::goToPlace(int64_t place) {
    if (m_pages.length == 0) return;
    ImageScrollBar1.setValue(spreadOfPlace(place));
}

// The book being shown takes its bookmark from the library, when the library knows it.
void Frm_TxtViewer::takeLibraryBookmark() {
    if (!m_opening) return;
    m_settings.BookmarkSet = m_opening->bookmarkSet ? -1 : 0;
    m_settings.BookmarkPosition =
        m_opening->bookmarkSet ? int32_t(std::clamp<int64_t>(m_opening->bookmarkPosition, 0,
                                                              INT32_MAX))
                               : 0;
    m_settings.BookmarkEntry = m_opening->bookmarkSet && m_book.shown >= 0 ? m_book.shown + 1 : 0;
}

void Frm_TxtViewer::noteTurn(int32_t from, int32_t to) {
    const int step = std::abs(to - from);
    if (step == 0) return;
    if (step <= 2)
        m_clock.turned(QDateTime::currentMSecsSinceEpoch(), step);
    else
        m_clock.restart();
}

void Frm_TxtViewer::saveToLibrary() {
    if (!m_library || !m_book.key || m_pages.length == 0 || m_pages.count <= 0 ||
        !m_flags.started)
        return;
    library::BookRecord record =
        m_library->find(*m_book.key).value_or(library::BookRecord(*m_book.key));
    const int64_t now = QDateTime::currentSecsSinceEpoch();
    if (record.firstRead == 0) record.firstRead = now;
    record.lastRead = now;
    record.title = m_book.title();
    record.path = m_book.inArchive() ? m_book.archivePath.trimmed() : m_book.path;
    record.entry = m_book.inArchive() ? m_book.title() : QString();
    record.place = spreadPlace();
    record.bookmarkSet = m_settings.BookmarkSet != 0;
    record.bookmarkPosition = record.bookmarkSet ? m_settings.BookmarkPosition : 0;
    record.encoding = encodings::encodingId(m_book.encoding);
    record.secondsRead += m_clock.take();
    const int32_t seen = std::min(m_pages.current + 1, m_pages.count);
    record.share = m_pages.current <= 1 ? 0.0 : double(seen) / m_pages.count;
    m_library->save(record);
}

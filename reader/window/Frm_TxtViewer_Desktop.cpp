// Files that come from the desktop rather than the open button: the one named on the command
// line, the one another start hands over, and the one dropped on the window. Each is opened as
// the open button opens what it is given, and only when no box, count or turn holds the window.

#include <QApplication>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

#include "documents/ArchiveList.h"
#include "forms/PictureBox.h"
#include "forms/Timer.h"
#include "window/Frm_TxtViewer.h"

namespace {

constexpr int kRetryMs = 200;

// The one local book file a drag carries, or "" (the drop is refused).
QString droppedFile(const QMimeData* mime) {
    if (!mime || !mime->hasUrls()) return {};
    const QList<QUrl> urls = mime->urls();
    if (urls.size() != 1 || !urls.first().isLocalFile()) return {};
    const QString path = urls.first().toLocalFile();
    const QFileInfo info(path);
    if (!info.isFile()) return {};
    const QString extension = archivelist::extensionOf(path);
    const bool book = archivelist::IsTextExtension(extension) ||
                      extension == QLatin1String(".zip") || extension == QLatin1String(".rar");
    return book ? path : QString();
}

}  // namespace

void Frm_TxtViewer::openFromOutside(const QString& file) {
    if (m_flags.unloaded) return;
    if (isMinimized()) setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
    if (file.isEmpty()) return;
    m_flags.pendingOpen = file;
    if (!m_flags.pendingOpenQueued) openPendingFile();
}

// Opens the file handed over when the window is free for it; else tries again shortly.
void Frm_TxtViewer::openPendingFile() {
    m_flags.pendingOpenQueued = false;
    if (m_flags.unloaded || ending() || m_flags.pendingOpen.isEmpty()) return;
    // Start-up, a count, an extraction, a turn or any box still open: the file waits its turn.
    const bool busy = !m_flags.started || !isEnabled() || m_flags.turning ||
                      PicSplash->isVisible() || QApplication::activeModalWidget() != nullptr ||
                      QApplication::activePopupWidget() != nullptr;
    if (busy) {
        m_flags.pendingOpenQueued = true;
        QTimer::singleShot(kRetryMs, this, [this] { openPendingFile(); });
        return;
    }
    const QString file = std::exchange(m_flags.pendingOpen, QString());
    OpenDocument(file, -1);
}

void Frm_TxtViewer::dragEnterEvent(QDragEnterEvent* event) {
    if (!m_flags.unloaded && !droppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        event->ignore();
}

void Frm_TxtViewer::dragMoveEvent(QDragMoveEvent* event) {
    if (!m_flags.unloaded && !droppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        event->ignore();
}

void Frm_TxtViewer::dropEvent(QDropEvent* event) {
    const QString file = droppedFile(event->mimeData());
    if (file.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    // Opened after the drop is over: a box shown inside it would hold the program it came from.
    m_flags.pendingOpen = file;
    if (!m_flags.pendingOpenQueued) {
        m_flags.pendingOpenQueued = true;
        QTimer::singleShot(0, this, [this] { openPendingFile(); });
    }
}

void Frm_TxtViewer::acceptDropsOnWindowOnly() {
    // The edit fields would take a dropped file's name as text; the whole window takes the file.
    for (QWidget* child : findChildren<QWidget*>()) child->setAcceptDrops(false);
    setAcceptDrops(true);
}

#include "forms/WebBrowser.h"

#include <QFileInfo>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>

namespace forms {

namespace {
// The local file url names, or "" when it is not a local file.
QString localPath(const QString& url) {
    const QUrl u(url);
    if (u.isLocalFile()) return u.toLocalFile();
    // A bare path has no scheme; anything with one (http:, about:, ...) is not ours to load.
    return u.scheme().isEmpty() ? url : QString();
}
}  // namespace

WebBrowser::WebBrowser(QWidget* parent) : QWidget(parent), m_view(new QTextBrowser(this)) {
    m_view->setFrameShape(QFrame::NoFrame);
    m_view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The banner page is shown, never followed: a click must not navigate the box away.
    m_view->setOpenLinks(false);
    m_view->setOpenExternalLinks(false);
    m_view->setGeometry(rect());
    // A banner fills its box edge to edge; the page sets its own margins.
    m_view->document()->setDocumentMargin(0);
    m_view->viewport()->setAutoFillBackground(false);
}

bool WebBrowser::Navigate(const QString& url) {
    const QString path = url.isEmpty() ? QString() : localPath(url);
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isFile() || !info.isReadable()) {
        m_view->clear();
        m_location.clear();
        return false;
    }
    m_view->setSource(QUrl::fromLocalFile(info.absoluteFilePath()));
    m_location = url;
    return true;
}

void WebBrowser::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    m_view->setGeometry(rect());
}

}  // namespace forms

#pragma once
// A small embedded browser for local pages: shows an HTML file from disk. Pages that are not
// local files are not loaded (there is no web engine here), and the box stays blank.

#include <QWidget>

class QTextBrowser;

namespace forms {

class WebBrowser : public QWidget {
    Q_OBJECT
public:
    explicit WebBrowser(QWidget* parent = nullptr);

    // Loads url when it names a readable local file; returns whether a page is shown.
    bool Navigate(const QString& url);
    QString locationURL() const { return m_location; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QTextBrowser* m_view = nullptr;
    QString m_location;
};

}  // namespace forms

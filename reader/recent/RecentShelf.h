#pragma once
// What an empty spread shows: the few books read last, most recent first, each a click away
// from its place, and the key of the whole list; or, when no book was ever read, how to open
// one. It lies over the left page, in the page's font and ink, and takes only clicks on titles.

#include <QRect>
#include <QString>
#include <QWidget>
#include <vector>

#include "library/Library.h"

class RecentHost;

class RecentShelf : public QWidget {
    Q_OBJECT
public:
    // At most this many books are shown, fewer when the page is short.
    static constexpr int kShelved = 6;

    // Hidden, over page (a forms::PictureBox, whose ink it writes in); host answers for the
    // window.
    RecentShelf(RecentHost& host, QWidget* page);
    ~RecentShelf() override;

    // Reads the books read last again and shows them.
    void refresh();
    // The books shown, and where each one's line is (empty when it is not shown).
    const std::vector<library::BookRecord>& books() const { return m_books; }
    QRect lineOf(int index) const;
    // The words shown besides the titles: the heading, the key of the list, or how to open a
    // book.
    QStringList lines() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Line {
        QRect box;
        QString text;
        int book = -1;  // the index of the book it opens, -1 for none
        bool heading = false, faint = false;
    };
    void layOutLines();
    int bookAt(QPoint at) const;

    RecentHost& m_host;
    std::vector<library::BookRecord> m_books;
    std::vector<bool> m_missing;
    std::vector<Line> m_lines;
    int m_hover = -1;
};

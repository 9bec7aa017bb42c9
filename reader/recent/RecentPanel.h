#pragma once
// The books read last (최근 읽은 책, Ctrl+R): one row per book, the last read first, with how far
// in it is, when it was read and the time left at the reader's own pace. Enter, a double click
// or 확인 opens the chosen book at its place; Delete forgets it, after asking; a book whose file
// is not where it was is greyed and says so when chosen.

#include <QDateTime>
#include <functional>
#include <memory>
#include <vector>

#include "forms/PictureBox.h"
#include "library/Library.h"

class QEvent;
class QObject;
class QTreeWidget;
class RecentHost;

namespace forms {
class Image;
class Label;
}  // namespace forms

class RecentPanel : public forms::PictureBox {
    Q_OBJECT
public:
    // At most this many books are listed (the pace counts them all).
    static constexpr int kListed = 500;

    // A hidden list (PicRecent) on window; host answers for the window.
    RecentPanel(std::unique_ptr<RecentHost> host, QWidget* window);
    ~RecentPanel() override;

    // What the list asks of the window, for others that ask the same (the shelf).
    RecentHost& host() const { return *m_host; }

    // Lists the books read, the last read first, and takes the keyboard.
    void open();
    void close();
    // Enter, a double click or 확인: the chosen book is opened, or said to be missing.
    void openChosen();
    // Delete: the chosen book is forgotten once the user says yes.
    void forgetChosen();
    // The books listed, in their rows' order.
    const std::vector<library::BookRecord>& books() const { return m_books; }
    // The time the list takes for now (the tests' calendar); the clock's when unset.
    void setClock(std::function<QDateTime()> now) { m_now = std::move(now); }
    // Sets the skin pictures of the buttons.
    void loadSkinPictures();
    // Centres the panel over the book area of the window, as large as it is.
    void place();
    // The list closes when `other` (another panel over the same place) is shown.
    void givesWayTo(QWidget* other);
    // The list's keys while it is open: Enter (acting on its release), Delete, and Escape
    // anywhere in the window; true when the key was the list's.
    bool key(QObject* watched, QEvent* event);

signals:
    // The list was closed; hadKeyboard when the keyboard was in it.
    void closed(bool hadKeyboard);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void wireControls();
    void fill();
    int chosenRow() const;

    std::unique_ptr<RecentHost> m_host;
    QTreeWidget* LstRecent = nullptr;
    forms::Label* lblRecentNone = nullptr;
    forms::Label* lblRecentHint = nullptr;
    forms::Image* CmdRecentOk = nullptr;
    forms::Image* CmdRecentCancel = nullptr;
    std::vector<library::BookRecord> m_books;
    std::function<QDateTime()> m_now;
};

#pragma once
// The find bar over the pages (Ctrl+F): the typed text is counted in the book a moment after
// typing pauses; Enter, F3 and the bar's buttons step from match to match. It keeps the book's
// matches and says which spread to show; the pages ask it for the marks they draw.

#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

#include "find/TextFind.h"
#include "forms/PictureBox.h"

class PanelHost;
class QEvent;
class QLineEdit;
class QObject;
class QTimer;

namespace forms {
class Image;
class Label;
}  // namespace forms

class FindBar : public forms::PictureBox {
    Q_OBJECT
public:
    // A hidden bar (PicFind) on parent; host answers for the book on screen.
    FindBar(PanelHost& host, QWidget* parent);
    ~FindBar() override;

    // How long typing pauses before the count, ms.
    static constexpr int kCountDelayMs = 250;

    // Shows the bar with its text chosen, the keyboard in it; marks counted before come back.
    void open();
    // The bar goes and the marks with it; what was typed stays for F3.
    void close();
    // Whether a step can go anywhere: the window takes input and a book is laid out.
    bool canStep() const;
    // +1 the next match from the spread on screen, -1 the previous; its spread is asked for.
    // At an end it goes round and says so.
    void step(int direction);
    // The match that step goes to (-1 for none); *wrapped when it went round an end.
    int nextMatch(int direction, bool* wrapped) const;
    // Counts the typed text's matches in the book now and marks those on screen.
    void countMatches();
    // A new book: its matches are forgotten; an open bar counts again in it.
    void forgetBook();
    // What the bar says: "N / M", "전체 M개", "찾을 수 없습니다".
    QString state() const;
    const std::vector<textfind::Match>& matches() const { return m_matches; }
    int currentMatch() const { return m_currentMatch; }
    // Whether the pages show marks: the bar is open and something was found.
    bool marking() const;
    // The parts of the marks on a run of lines (see textfind::piecesOnLines).
    std::vector<textfind::Piece> piecesOnLines(const std::vector<int>& lineStarts) const;
    // Enter and Shift+Enter in the field step; true when the key was the bar's.
    bool enterKey(QObject* watched, QEvent* event);

signals:
    // The spread whose left page is `spread` holds the match stepped to.
    void spreadWanted(int32_t spread);
    // The marks on the spread on screen changed: it is to be drawn again.
    void marksChanged();
    // The bar was closed; hadKeyboard when the keyboard was in it.
    void closed(bool hadKeyboard);

private:
    void createControls();
    void wireControls();
    void showMatch(int index, bool wrapped, int direction);

    PanelHost& m_host;
    QLineEdit* txtFind = nullptr;
    forms::Label* lblFind = nullptr;
    forms::Image* CmdFindPrev = nullptr;
    forms::Image* CmdFindNext = nullptr;
    forms::Image* CmdFindClose = nullptr;
    QTimer* TmrFind = nullptr;
    // The book prepared once, the matches of the text counted last, the one stepped to.
    std::vector<textfind::Match> m_matches;
    QString m_countedText;
    bool m_counted = false;
    int m_currentMatch = -1;
    QString m_findNote;  // " (처음부터 다시)" after going round
};

#pragma once
// What the list of books read last needs of the window it lies on: the library, the pictures
// it is drawn with, a question and a word to the user, and the opening of a book. The window
// answers.

#include <QImage>
#include <QString>

namespace library {
class Library;
struct BookRecord;
}  // namespace library

class RecentHost {
public:
    virtual ~RecentHost() = default;

    // The books read; null when there is no library.
    virtual library::Library* library() = 0;
    // Where the book area begins: a panel is never placed over the tool bar.
    virtual int top() const = 0;
    // A picture compiled in with the window design, and one of the skin folder.
    virtual QImage designPicture(const QString& name) = 0;
    virtual QImage skinPicture(const QString& name) = 0;
    // A yes-or-no question (true for yes), and a word the user acknowledges.
    virtual bool ask(const QString& question) = 0;
    virtual void tell(const QString& text) = 0;
    // Opens the book at its saved place, as the open button would open it.
    virtual void openBook(const library::BookRecord& book) = 0;
};

#pragma once
// Public helpers of the reader shared by its windows.

#include <QString>

namespace dlg {
class Dialogs;
}

namespace Mo_TxtPublic {

// The reader's home page, from the build configuration.
QString homePageUrl();
// The banner page in the banner folder.
QString bannerPage(const QString& folder);
// Opens the home page in the user's browser; says so in a message box when none starts.
void OpenHomePage(dlg::Dialogs& dialogs);

// Text positions are CP949 byte units computed from the text (ASCII 1, every other character 2, a
// surrogate pair one character); no character goes through an encoder, so none turns into "?".

// The characters whose first byte lies in bytes start ... start + length - 1 (1-based), so
// consecutive ranges share no character and lose none; "" when start < 1 or length < 0. Walks
// the text only up to the end of the range.
QString MidAnsi(const QString& text, double start, double length);
// The length of text in CP949 byte units.
double LenAnsi(const QString& text);

}  // namespace Mo_TxtPublic

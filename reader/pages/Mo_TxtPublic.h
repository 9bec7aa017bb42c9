#pragma once
// Public helpers of the reader shared by its windows.

#include <QString>

namespace dlg {
class Dialogs;
}

namespace Mo_TxtPublic {

// The reader's home page, from the build configuration.
QString homePageUrl();
// The banner page inside the application folder.
QString bannerPage(const QString& appPath);
// Opens the home page in the user's browser; says so in a message box when none starts.
void OpenHomePage(dlg::Dialogs& dialogs);

}  // namespace Mo_TxtPublic

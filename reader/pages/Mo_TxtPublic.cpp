#include "pages/Mo_TxtPublic.h"

#include "dialogs/Dialogs.h"

namespace Mo_TxtPublic {

QString homePageUrl() {
    return QStringLiteral(READER_SITE_URL);
}

QString bannerPage(const QString& appPath) {
    return appPath + QStringLiteral("/banner/lumo_book.html");
}

void OpenHomePage(dlg::Dialogs& dialogs) {
    const QString url = homePageUrl();
    if (dialogs.OpenBrowser(url)) return;
    dialogs.MsgBox(QStringLiteral("웹 브라우저를 실행할 수 없습니다.\n홈페이지 주소: ") + url,
                   dlg::vbExclamation, QStringLiteral("루모북"));
}

}  // namespace Mo_TxtPublic

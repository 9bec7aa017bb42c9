#include "pages/Mo_TxtPublic.h"

#include <algorithm>
#include <cmath>

#include "dialogs/Dialogs.h"
#include "encodings/AnsiUnits.h"

namespace Mo_TxtPublic {

QString homePageUrl() {
    return QStringLiteral(READER_SITE_URL);
}

QString bannerPage(const QString& folder) {
    return folder + QStringLiteral("/lumo_book.html");
}

void OpenHomePage(dlg::Dialogs& dialogs) {
    const QString url = homePageUrl();
    if (dialogs.OpenBrowser(url)) return;
    dialogs.MsgBox(QStringLiteral("웹 브라우저를 실행할 수 없습니다.\n홈페이지 주소: ") + url,
                   dlg::vbExclamation, QStringLiteral("루모북"));
}

QString MidAnsi(const QString& text, double start, double length) {
    // Whole numbers from fractions round halves to even, as everywhere in the reader.
    start = std::nearbyint(start);
    length = std::nearbyint(length);
    if (!(start >= 1) || !(length >= 0)) return QString();
    const char16_t* s = encodings::ansi::units(text);
    const qsizetype n = text.size();
    const int64_t first = int64_t(std::min(start - 1, 9e18));
    const int64_t end = first + int64_t(std::min(length, 9e18 - double(first)));
    int64_t firstByte = 0;
    const qsizetype from = encodings::ansi::indexAtByte(s, n, 0, 0, first, &firstByte);
    const qsizetype to = encodings::ansi::indexAtByte(s, n, from, firstByte, end, nullptr);
    return text.mid(from, to - from);
}

double LenAnsi(const QString& text) {
    return double(encodings::ansi::length(encodings::ansi::units(text), text.size()));
}

}  // namespace Mo_TxtPublic

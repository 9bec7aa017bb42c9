#include "recent/RecentBooks.h"

#include <QTimeZone>
#include <algorithm>
#include <cmath>

namespace recent {

std::optional<double> readingPace(const library::ReadingTotals& totals) {
    if (totals.seconds < kPaceMinimumSeconds || !(totals.bytes >= 1)) return std::nullopt;
    return double(totals.seconds) / totals.bytes;
}

std::optional<double> readingPace(const std::vector<library::BookRecord>& books) {
    library::ReadingTotals sum;
    for (const library::BookRecord& b : books) {
        const library::ReadingTotals t = library::totalsOf(b);
        sum.seconds += t.seconds;
        sum.bytes += t.bytes;
    }
    return readingPace(sum);
}

QString titleOf(const library::BookRecord& book) {
    if (!book.title.isEmpty()) return book.title;
    if (!book.entry.isEmpty()) return book.entry;
    return book.path.mid(book.path.lastIndexOf(u'/') + 1);
}

QString shareText(double share) {
    const double percent = std::isfinite(share) ? std::clamp(share, 0.0, 1.0) * 100 : 0;
    return QStringLiteral("%1 %").arg(int(std::lround(percent)));
}

QString whenText(int64_t lastRead, const QDateTime& now) {
    if (lastRead <= 0) return QString();
    // The day it was read in now's zone.
    QDateTime read = QDateTime::fromSecsSinceEpoch(lastRead, Qt::UTC);
    switch (now.timeSpec()) {
        case Qt::TimeZone:
            read = read.toTimeZone(now.timeZone());
            break;
        case Qt::OffsetFromUTC:
            read = read.toOffsetFromUtc(now.offsetFromUtc());
            break;
        case Qt::LocalTime:
            read = read.toLocalTime();
            break;
        case Qt::UTC:
            break;
    }
    const qint64 days = read.date().daysTo(now.date());
    if (days == 0) return QStringLiteral("오늘");
    if (days == 1) return QStringLiteral("어제");
    if (days >= 2 && days <= 6) return QStringLiteral("%1일 전").arg(days);
    // Long ago, or in the future of a clock set back since: the date says it plainly.
    return read.date().toString(QStringLiteral("yyyy-MM-dd"));
}

std::optional<int64_t> secondsLeft(const library::BookRecord& book, std::optional<double> pace) {
    const int64_t size = book.key.size();
    if (!pace || size <= 0 || !(book.share > 0)) return std::nullopt;
    const double left = (1 - std::min(book.share, 1.0)) * double(size) * *pace;
    return int64_t(std::llround(std::min(left, 1e15)));
}

QString timeLeftText(int64_t seconds) {
    if (seconds <= 0) return QStringLiteral("다 읽음");
    if (seconds < 60) return QStringLiteral("1분 미만");
    int64_t minutes = (seconds + 30) / 60;
    if (minutes < 60) return QStringLiteral("약 %1분").arg(minutes);
    // An estimate of hours is no truer to the minute.
    minutes = (minutes + 2) / 5 * 5;
    const int64_t hours = minutes / 60, rest = minutes % 60;
    return rest == 0 ? QStringLiteral("약 %1시간").arg(hours)
                     : QStringLiteral("약 %1시간 %2분").arg(hours).arg(rest);
}

Row rowOf(const library::BookRecord& book, std::optional<double> pace, const QDateTime& now) {
    Row row;
    row.title = titleOf(book);
    if (!book.entry.isEmpty()) row.archive = book.path.mid(book.path.lastIndexOf(u'/') + 1);
    row.share = shareText(book.share);
    row.when = whenText(book.lastRead, now);
    if (const std::optional<int64_t> left = secondsLeft(book, pace)) row.left = timeLeftText(*left);
    return row;
}

}  // namespace recent

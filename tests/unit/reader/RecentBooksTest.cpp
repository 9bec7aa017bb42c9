// What the list of books read last says of each: how far in, when it was read by the calendar,
// and the time left at the reader's own pace, from the records alone and a fixed "now".

#include <gtest/gtest.h>

#include <QTimeZone>
#include <cmath>
#include <limits>

#include "library/BookKey.h"
#include "recent/RecentBooks.h"

using library::BookKey;
using library::BookRecord;

namespace {

BookKey fileKey(int64_t size) {
    return *BookKey::fromText("file:" + QByteArray::number(qlonglong(size)) + ":" +
                              QByteArray(40, 'a'));
}

BookRecord book(int64_t size, double share, int64_t seconds) {
    BookRecord r(fileKey(size));
    r.title = QStringLiteral("책.txt");
    r.path = QStringLiteral("/books/책.txt");
    r.share = share;
    r.secondsRead = seconds;
    return r;
}

// 2024-03-10 09:00 in Seoul.
const QTimeZone kSeoul(9 * 3600);
const QDateTime kNow(QDate(2024, 3, 10), QTime(9, 0), kSeoul);

int64_t at(int year, int month, int day, int hour, int minute, const QTimeZone& zone = kSeoul) {
    return QDateTime(QDate(year, month, day), QTime(hour, minute), zone).toSecsSinceEpoch();
}

TEST(RecentBooks, TheSizeComesFromTheKey) {
    EXPECT_EQ(fileKey(123456).size(), 123456);
    EXPECT_EQ(fileKey(0).size(), 0);
    EXPECT_EQ(BookKey::ofEntry(QStringLiteral("/books/모음:1.zip"), QStringLiteral("1:2.txt"),
                               98765, 0xBEEF)
                  .size(),
              98765);
    EXPECT_EQ(fileKey(int64_t(5) << 32).size(), int64_t(5) << 32);
}

TEST(RecentBooks, WhenByTheCalendarOfNow) {
    const struct {
        int64_t lastRead;
        const char* text;
    } cases[] = {
        {at(2024, 3, 10, 8, 59), "오늘"},
        {at(2024, 3, 10, 0, 0), "오늘"},
        {at(2024, 3, 9, 23, 59), "어제"},
        {at(2024, 3, 9, 0, 0), "어제"},
        {at(2024, 3, 8, 23, 59), "2일 전"},
        {at(2024, 3, 7, 12, 0), "3일 전"},
        {at(2024, 3, 4, 0, 0), "6일 전"},
        {at(2024, 3, 3, 23, 59), "2024-03-03"},
        {at(2023, 12, 31, 12, 0), "2023-12-31"},
        // A clock set back since: the date, not "-1일 전".
        {at(2024, 3, 11, 10, 0), "2024-03-11"},
        // Past midnight in Seoul, still the day before in London: today here.
        {at(2024, 3, 9, 16, 30, QTimeZone::utc()), "오늘"},
        {at(2024, 3, 9, 14, 30, QTimeZone::utc()), "어제"},
        {0, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(recent::whenText(c.lastRead, kNow), QString::fromUtf8(c.text))
            << QDateTime::fromSecsSinceEpoch(c.lastRead, kSeoul).toString().toStdString();
}

TEST(RecentBooks, HowFarInRoundedToAPercent) {
    const std::pair<double, const char*> cases[] = {
        {0, "0 %"},
        {0.004, "0 %"},
        {0.005, "1 %"},
        {0.374, "37 %"},
        {0.375, "38 %"},
        {0.999, "100 %"},
        {1, "100 %"},
        {1.7, "100 %"},
        {-0.3, "0 %"},
        {std::nan(""), "0 %"},
        {std::numeric_limits<double>::infinity(), "0 %"},
    };
    for (const auto& [share, text] : cases)
        EXPECT_EQ(recent::shareText(share), QString::fromUtf8(text)) << share;
}

TEST(RecentBooks, TimeLeftInMinutesThenFiveMinutesPastTheHour) {
    const std::pair<int64_t, const char*> cases[] = {
        {0, "다 읽음"},
        {-5, "다 읽음"},
        {1, "1분 미만"},
        {59, "1분 미만"},
        {60, "약 1분"},
        {25 * 60, "약 25분"},
        {25 * 60 + 29, "약 25분"},
        {25 * 60 + 30, "약 26분"},
        {59 * 60 + 29, "약 59분"},
        {59 * 60 + 31, "약 1시간"},
        {2 * 3600 + 10 * 60, "약 2시간 10분"},
        {2 * 3600 + 7 * 60, "약 2시간 5분"},
        {2 * 3600 + 8 * 60, "약 2시간 10분"},
        {2 * 3600 + 58 * 60, "약 3시간"},
        {31 * 3600 + 20 * 60, "약 31시간 20분"},
    };
    for (const auto& [seconds, text] : cases)
        EXPECT_EQ(recent::timeLeftText(seconds), QString::fromUtf8(text)) << seconds;
}

TEST(RecentBooks, ThePaceIsTheTimeSpentOverTheBytesReadInTheBooksTimed) {
    // 800 s over 50,000 + 50,000 bytes: 0.008 s a byte. The book never timed adds no bytes.
    const std::vector<BookRecord> books = {book(100000, 0.5, 500), book(200000, 0.25, 300),
                                           book(1000000, 0.9, 0), book(300000, 0, 0)};
    const std::optional<double> pace = recent::readingPace(books);
    ASSERT_TRUE(pace);
    EXPECT_DOUBLE_EQ(*pace, 0.008);
    // Half of 100,000 bytes left: 400 s. A tenth of a million: 800 s. Not begun: nothing.
    EXPECT_EQ(recent::secondsLeft(books[0], pace), 400);
    EXPECT_EQ(recent::secondsLeft(books[2], pace), 800);
    EXPECT_EQ(recent::secondsLeft(books[3], pace), std::nullopt);
    EXPECT_EQ(recent::secondsLeft(book(100000, 1, 10), pace), 0);
    EXPECT_EQ(recent::secondsLeft(books[0], std::nullopt), std::nullopt);
    EXPECT_EQ(recent::rowOf(books[0], pace, kNow).left, "약 7분");
    EXPECT_EQ(recent::rowOf(books[2], pace, kNow).left, "약 13분");
    EXPECT_EQ(recent::rowOf(books[3], pace, kNow).left, "");
    EXPECT_EQ(recent::rowOf(book(100000, 1, 10), pace, kNow).left, "다 읽음");

    // Under ten minutes of reading in all says too little.
    EXPECT_FALSE(recent::readingPace({book(100000, 0.5, 599)}));
    EXPECT_TRUE(recent::readingPace({book(100000, 0.5, 300), book(100000, 0.5, 300)}));
    // Time spent with nothing read yet: no pace to divide by.
    EXPECT_FALSE(recent::readingPace({book(100000, 0, 3600)}));
    EXPECT_FALSE(recent::readingPace(std::vector<BookRecord>()));
    // As the library sums them.
    EXPECT_EQ(recent::readingPace(library::ReadingTotals{800, 100000}), 0.008);
    EXPECT_FALSE(recent::readingPace(library::ReadingTotals{599, 100000}));
    EXPECT_FALSE(recent::readingPace(library::ReadingTotals{600, 0.5}));
}

TEST(RecentBooks, ARowNamesTheArchiveABookIsIn) {
    BookRecord plain = book(1000, 0.37, 0);
    plain.lastRead = at(2024, 3, 9, 22, 0);
    const recent::Row p = recent::rowOf(plain, std::nullopt, kNow);
    EXPECT_EQ(p.title, "책.txt");
    EXPECT_EQ(p.archive, "");
    EXPECT_EQ(p.share, "37 %");
    EXPECT_EQ(p.when, "어제");
    EXPECT_EQ(p.left, "");

    BookRecord entry(
        BookKey::ofEntry(QStringLiteral("/books/모음.zip"), QStringLiteral("1권.txt"), 5000, 7));
    entry.path = QStringLiteral("/books/모음.zip");
    entry.entry = QStringLiteral("1권.txt");
    const recent::Row e = recent::rowOf(entry, 0.01, kNow);
    EXPECT_EQ(e.title, "1권.txt");  // no title saved: the entry's name
    EXPECT_EQ(e.archive, "모음.zip");
    EXPECT_EQ(e.when, "");
    EXPECT_EQ(e.left, "");  // not begun
}

}  // namespace

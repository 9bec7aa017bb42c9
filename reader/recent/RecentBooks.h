#pragma once
// What the list of books read last says of each book: how far in, when it was read, and how
// long is left at this reader's own pace. Pure functions of the records and of "now", so they
// are tested without a window or a clock.

#include <QDateTime>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "library/Library.h"

namespace recent {

// Less reading than this (in all books together) says too little of a reader's pace.
constexpr int64_t kPaceMinimumSeconds = 600;

// The reader's pace in seconds per byte: the time spent in every book over the bytes read in
// the books timed (share × size, the size as the key gives it, of those with time spent; see
// library::totalsOf). Nothing while the time summed is below kPaceMinimumSeconds or nothing
// timed has been read. The library sums every book's (Library::readingTotals); these books'
// are summed here.
std::optional<double> readingPace(const library::ReadingTotals& totals);
std::optional<double> readingPace(const std::vector<library::BookRecord>& books);

// The book's title as saved; else the entry's or the file's name.
QString titleOf(const library::BookRecord& book);
// How far in: "37 %" (the share rounded, 0 to 100).
QString shareText(double share);
// When it was last read, by the calendar of now's time zone: "오늘", "어제", "3일 전" (2 to 6
// days), else its date ("2024-03-09"); "" when it never was.
QString whenText(int64_t lastRead, const QDateTime& now);
// The seconds left to read the rest of the book at pace; nothing without a pace, a size, or a
// start in the book (share 0).
std::optional<int64_t> secondsLeft(const library::BookRecord& book, std::optional<double> pace);
// A time left as the list shows it: "약 25분", "약 2시간 10분" (to five minutes past the
// hour), "1분 미만", and "다 읽음" for none at all.
QString timeLeftText(int64_t seconds);

// One row of the list.
struct Row {
    QString title;    // the book's title
    QString archive;  // the file name of the archive it is in; "" for a plain file
    QString share;    // shareText
    QString when;     // whenText
    QString left;     // timeLeftText, or "" where there is not enough to go by
};
Row rowOf(const library::BookRecord& book, std::optional<double> pace, const QDateTime& now);

}  // namespace recent

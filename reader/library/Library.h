#pragma once
// The books read: one row per book in the SQLite database "library.sqlite3" of the state
// folder, holding where the reader was, the bookmark, the encoding chosen and the time spent.
// Reads run on the caller's (the UI) thread through a connection of their own and take tens
// of microseconds; writes are handed to a writer thread that commits each in a short
// transaction of its own, and until then the caller reads what it handed over. A library that
// is no sound one is set aside and a new one begun; where the folder cannot be written the
// library lives in memory for the session. Neither is ever fatal: openProblem() says it once.

#include <QByteArray>
#include <QHash>
#include <QString>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "library/BookKey.h"
#include "threads/Section.h"

namespace library {

struct BookRecord {
    explicit BookRecord(BookKey k) : key(std::move(k)) {}

    BookKey key;
    QString title;      // the file's or the entry's name, as the recent list shows it
    QString path;       // where it was last seen: the file, or the archive holding the entry
    QString entry;      // the entry's name inside that archive; "" for a plain file
    int64_t place = 0;  // the first character of the spread on screen, in CP949 bytes
    bool bookmarkSet = false;
    int64_t bookmarkPosition = 0;  // CP949 bytes, as the settings file's BookmarkPosition
    QString encoding;              // the encoding chosen; "" decides by the content
    int64_t firstRead = 0;         // UTC seconds since 1970
    int64_t lastRead = 0;          // UTC seconds since 1970; the recent list's order
    int64_t secondsRead = 0;       // time spent reading it
    double share = 0;              // how far in, 0 to 1
};

// The time spent reading and the bytes read (share × size) in the books with time spent:
// what a reader's pace is figured from.
struct ReadingTotals {
    int64_t seconds = 0;
    double bytes = 0;
};
// A book's part of them: nothing unless time was spent on it.
ReadingTotals totalsOf(const BookRecord& book);

class Connection;

class Library {
public:
    static constexpr const char* kFileName = "library.sqlite3";
    // The schema this program writes; an older library is brought up to it on open.
    static int schemaVersion();

    // Opens or begins the library in folder (made when missing). Runs the checks of the file on
    // the caller's thread: a few milliseconds for ten thousand books.
    explicit Library(const QString& folder);
    // Writes what was handed over, then closes.
    ~Library();
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    // What went wrong at the open, as the reader shows it (Korean); "" when nothing did, or when
    // it was already asked for.
    QString openProblem();
    // Whether the library lives in memory only (its folder cannot be written).
    bool inMemory() const { return m_inMemory; }
    // The database file ("" in memory).
    QString filePath() const { return m_inMemory ? QString() : m_path; }

    // The book's record, with what was saved so far, written or not.
    std::optional<BookRecord> find(const BookKey& key) const;
    // Stores record as it is, over any record of the same key. Returns at once.
    void save(const BookRecord& record);
    // Up to limit books, the last read first.
    std::vector<BookRecord> recent(int limit) const;
    // The totals of every book, as summed over recent() of them all but without reading a
    // record: a few milliseconds for ten thousand books.
    ReadingTotals readingTotals() const;
    // Removes the book's record. Returns at once.
    void forget(const BookKey& key);
    // Adds seconds (0 to a day) to the time spent on a book already in the library.
    void addReadingTime(const BookKey& key, int64_t seconds);
    // Waits until everything handed over is written (or failed).
    void flush();

private:
    // The newest state of a book not yet written: a record, or nothing for a forgotten one.
    struct Pending {
        uint64_t generation = 0;
        std::optional<BookRecord> record;
    };

    void hand(const QByteArray& key, std::optional<BookRecord> record);
    void run();
    void writeBatch(std::vector<QByteArray> keys);
    bool writeOne(const QByteArray& key, const std::optional<BookRecord>& record);

    QString m_path;
    QString m_problem;
    bool m_inMemory = false;
    std::unique_ptr<Connection> m_reader;  // the caller's thread only
    std::unique_ptr<Connection> m_writer;  // the writer thread's (the caller's without one)

    mutable std::mutex m_mutex;
    std::condition_variable m_wake, m_idle;
    QHash<QByteArray, Pending> m_pending;
    std::vector<QByteArray> m_queue;  // keys to write, each once
    uint64_t m_generation = 0;
    bool m_busy = false, m_stop = false;
    // Declared last: it stops and joins the writer before the members it uses go.
    threads::Section m_thread;
};

}  // namespace library

#pragma once
// One SQLite connection to a library, used by one thread at a time, with the statements the
// library runs prepared once. Every value read back is checked before it is used: the file may
// have been edited by hand, damaged, or written to harm.

#include <sqlite3.h>

#include <QByteArray>
#include <memory>
#include <optional>
#include <vector>

#include "library/Library.h"

namespace library {

class Connection {
public:
    // Opens name (a path, or ":memory:") with SQLite's open flags; nothing and the SQLite result
    // code in *error when it cannot.
    static std::unique_ptr<Connection> open(const QByteArray& name, int flags, int* error);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    sqlite3* handle() const { return m_db; }
    // Runs statements without results; the SQLite result code.
    int exec(const char* sql);
    // The single integer a statement (a pragma) answers; nothing on an error.
    std::optional<int64_t> integer(const char* sql);

    // Prepares the library's statements; false when the schema is not the one they expect.
    bool prepare();
    std::optional<BookRecord> find(const QByteArray& key);
    std::vector<BookRecord> recent(int limit);
    // The reading totals of every book in the file (see Library::readingTotals).
    ReadingTotals totals();
    // Each in a transaction of its own; the SQLite result code.
    int upsert(const BookRecord& record);
    int remove(const QByteArray& key);

private:
    explicit Connection(sqlite3* db) : m_db(db) {}
    sqlite3_stmt* statement(const QByteArray& sql);
    int inTransaction(sqlite3_stmt* s);

    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_find = nullptr;
    sqlite3_stmt* m_recent = nullptr;
    sqlite3_stmt* m_upsert = nullptr;
    sqlite3_stmt* m_remove = nullptr;
    sqlite3_stmt* m_totals = nullptr;
};

// The record in the current row of s, whose columns are kColumns in order; nothing when the
// row holds no well-formed key or a text past any sensible length.
std::optional<BookRecord> readRecord(sqlite3_stmt* s);
// The book table's columns in the order every statement names them.
extern const char* const kColumns;

}  // namespace library

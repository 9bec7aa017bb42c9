#include "library/Connection.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace library {

const char* const kColumns =
    "key, title, path, entry, place, bookmark_set, bookmark_position, encoding, first_read, "
    "last_read, seconds_read, share";

namespace {
// Longer texts are no names, paths or encodings this program wrote.
constexpr int kMaxText = 32 * 1024;

std::optional<QString> text(sqlite3_stmt* s, int column) {
    // The text first, then its length: asking for the text may convert the value.
    const auto* chars = reinterpret_cast<const char*>(sqlite3_column_text(s, column));
    const int bytes = sqlite3_column_bytes(s, column);
    if (bytes < 0 || bytes > kMaxText) return std::nullopt;
    return chars ? QString::fromUtf8(chars, bytes) : QString();
}

// Offsets and times are never negative; a number past a sane end is a damaged one.
int64_t count(sqlite3_stmt* s, int column) {
    return std::max<int64_t>(sqlite3_column_int64(s, column), 0);
}

void bindText(sqlite3_stmt* s, int at, const QString& value) {
    const QByteArray utf8 = value.toUtf8();
    sqlite3_bind_text(s, at, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}
}  // namespace

std::optional<BookRecord> readRecord(sqlite3_stmt* s) {
    const auto* keyChars = reinterpret_cast<const char*>(sqlite3_column_text(s, 0));
    const int keyBytes = sqlite3_column_bytes(s, 0);
    if (!keyChars || keyBytes <= 0 || keyBytes > BookKey::kMaxTextBytes) return std::nullopt;
    std::optional<BookKey> key = BookKey::fromText(QByteArray(keyChars, keyBytes));
    std::optional<QString> title = text(s, 1), path = text(s, 2), entry = text(s, 3),
                           encoding = text(s, 7);
    if (!key || !title || !path || !entry || !encoding) return std::nullopt;
    const double share = sqlite3_column_double(s, 11);
    BookRecord r(*key);
    r.title = *title;
    r.path = *path;
    r.entry = *entry;
    r.place = count(s, 4);
    r.bookmarkSet = sqlite3_column_int64(s, 5) != 0;
    r.bookmarkPosition = count(s, 6);
    r.encoding = *encoding;
    r.firstRead = count(s, 8);
    r.lastRead = count(s, 9);
    r.secondsRead = count(s, 10);
    r.share = std::isfinite(share) ? std::clamp(share, 0.0, 1.0) : 0.0;
    return r;
}

std::unique_ptr<Connection> Connection::open(const QByteArray& name, int flags, int* error) {
    sqlite3* db = nullptr;
    *error = sqlite3_open_v2(name.constData(), &db, flags, nullptr);
    if (*error != SQLITE_OK) {
        sqlite3_close_v2(db);
        return nullptr;
    }
    sqlite3_extended_result_codes(db, 0);
    // Past this the other connection holds the write lock for long; a write waits, a read in
    // WAL mode never does.
    sqlite3_busy_timeout(db, 2000);
    return std::unique_ptr<Connection>(new Connection(db));
}

Connection::~Connection() {
    for (sqlite3_stmt* s : {m_find, m_recent, m_upsert, m_remove, m_totals}) sqlite3_finalize(s);
    sqlite3_close_v2(m_db);
}

int Connection::exec(const char* sql) {
    return sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr);
}

std::optional<int64_t> Connection::integer(const char* sql) {
    sqlite3_stmt* s = statement(QByteArray(sql));
    std::optional<int64_t> value;
    if (s && sqlite3_step(s) == SQLITE_ROW) value = sqlite3_column_int64(s, 0);
    sqlite3_finalize(s);
    return value;
}

sqlite3_stmt* Connection::statement(const QByteArray& sql) {
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v3(m_db, sql.constData(), int(sql.size()), SQLITE_PREPARE_PERSISTENT, &s,
                           nullptr) != SQLITE_OK) {
        sqlite3_finalize(s);
        return nullptr;
    }
    return s;
}

bool Connection::prepare() {
    const QByteArray columns(kColumns);
    m_find = statement("SELECT " + columns + " FROM books WHERE key = ?1");
    m_recent = statement("SELECT " + columns + " FROM books ORDER BY last_read DESC LIMIT ?1");
    m_upsert = statement("INSERT OR REPLACE INTO books (" + columns +
                         ") VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12)");
    m_remove = statement("DELETE FROM books WHERE key = ?1");
    // As totalsOf each record, read as readRecord reads it, would sum them: numbers as SQLite
    // converts any value to one, the share held to 0..1, the size the key's number after its
    // first colon; the sums are floating, so no damaged row overflows them.
    m_totals = statement(
        "SELECT TOTAL(CAST(seconds_read AS INTEGER)),"
        " TOTAL(MIN(MAX(CAST(share AS REAL), 0.0), 1.0)"
        " * CAST(substr(key, instr(key, ':') + 1) AS INTEGER))"
        " FROM books WHERE CAST(seconds_read AS INTEGER) > 0");
    return m_find && m_recent && m_upsert && m_remove && m_totals;
}

std::optional<BookRecord> Connection::find(const QByteArray& key) {
    if (!m_find) return std::nullopt;
    sqlite3_bind_text(m_find, 1, key.constData(), int(key.size()), SQLITE_STATIC);
    std::optional<BookRecord> found;
    if (sqlite3_step(m_find) == SQLITE_ROW) found = readRecord(m_find);
    sqlite3_reset(m_find);
    sqlite3_clear_bindings(m_find);
    return found;
}

std::vector<BookRecord> Connection::recent(int limit) {
    std::vector<BookRecord> books;
    if (!m_recent || limit <= 0) return books;
    sqlite3_bind_int(m_recent, 1, limit);
    while (sqlite3_step(m_recent) == SQLITE_ROW)
        if (std::optional<BookRecord> r = readRecord(m_recent)) books.push_back(std::move(*r));
    sqlite3_reset(m_recent);
    return books;
}

ReadingTotals Connection::totals() {
    ReadingTotals t;
    if (!m_totals) return t;
    if (sqlite3_step(m_totals) == SQLITE_ROW) {
        const double seconds = sqlite3_column_double(m_totals, 0);
        const double bytes = sqlite3_column_double(m_totals, 1);
        t.seconds = std::isfinite(seconds) ? int64_t(std::clamp(seconds, 0.0, 9e18)) : 0;
        t.bytes = std::isfinite(bytes) ? std::max(bytes, 0.0) : 0;
    }
    sqlite3_reset(m_totals);
    return t;
}

int Connection::upsert(const BookRecord& r) {
    if (!m_upsert) return SQLITE_MISUSE;
    const QByteArray& key = r.key.text();
    sqlite3_bind_text(m_upsert, 1, key.constData(), int(key.size()), SQLITE_STATIC);
    bindText(m_upsert, 2, r.title);
    bindText(m_upsert, 3, r.path);
    bindText(m_upsert, 4, r.entry);
    sqlite3_bind_int64(m_upsert, 5, r.place);
    sqlite3_bind_int(m_upsert, 6, r.bookmarkSet ? 1 : 0);
    sqlite3_bind_int64(m_upsert, 7, r.bookmarkPosition);
    bindText(m_upsert, 8, r.encoding);
    sqlite3_bind_int64(m_upsert, 9, r.firstRead);
    sqlite3_bind_int64(m_upsert, 10, r.lastRead);
    sqlite3_bind_int64(m_upsert, 11, r.secondsRead);
    sqlite3_bind_double(m_upsert, 12, std::isfinite(r.share) ? r.share : 0.0);
    return inTransaction(m_upsert);
}

int Connection::remove(const QByteArray& key) {
    if (!m_remove) return SQLITE_MISUSE;
    sqlite3_bind_text(m_remove, 1, key.constData(), int(key.size()), SQLITE_STATIC);
    return inTransaction(m_remove);
}

int Connection::inTransaction(sqlite3_stmt* s) {
    int rc = exec("BEGIN IMMEDIATE");
    if (rc == SQLITE_OK) {
        rc = sqlite3_step(s);
        rc = rc == SQLITE_DONE ? exec("COMMIT") : rc;
        if (rc != SQLITE_OK) exec("ROLLBACK");
    }
    sqlite3_reset(s);
    sqlite3_clear_bindings(s);
    return rc;
}

}  // namespace library

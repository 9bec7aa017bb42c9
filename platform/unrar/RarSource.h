#pragma once
// An opened archive as the UnRAR calls see it, whichever library reads it: entries in order and
// the data of the current one.

#include <unistd.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "unrar/RarFormat.h"

namespace unrar::detail {

// Owns a file descriptor.
class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    Fd(Fd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Fd& operator=(Fd&& other) noexcept {
        std::swap(fd_, other.fd_);
        return *this;
    }
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }

private:
    int fd_;
};

class Source {
public:
    virtual ~Source() = default;
    // Moves to the next entry: ERAR_SUCCESS, ERAR_END_ARCHIVE, or ERAR_BAD_DATA.
    virtual int next(EntryInfo& entry) = 0;
    // Up to n bytes of the current entry's data: the count, 0 at its end, -1 when it is broken,
    // kReadTooLarge when reaching it means decompressing more than the limits allow.
    virtual int64_t read(char* buf, size_t n) = 0;
    static constexpr int64_t kReadTooLarge = -2;
};

struct Opened {
    std::unique_ptr<Source> source;      // null when the archive could not be opened
    int result = 0;                      // ERAR_* reason when it could not
    std::optional<std::string> comment;  // at most maxComment + 1 bytes
};

// Opens a RAR 1.5-4 archive (signature already checked) with libunarr.
Opened openRar4(Fd fd, const std::string& path, size_t maxComment);
// Opens a RAR 5 archive (signature already checked) with libarchive.
Opened openRar5(Fd fd, size_t maxComment);

}  // namespace unrar::detail

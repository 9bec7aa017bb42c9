// RAR 1.5-4 through libunarr: unlike libarchive it reads every member of a solid archive,
// decompressing the ones skipped before when it has to.

#include <unarr.h>

#include <algorithm>

#include "unrar/RarSource.h"
#include "unrar/Unrar.h"

namespace unrar::detail {

namespace {

class Rar4Source final : public Source {
public:
    Rar4Source(Fd fd, ar_stream* stream, ar_archive* ar)
        : fd_(std::move(fd)), stream_(stream), ar_(ar), cp949_(rar4UnflaggedCp949(fd_.get())) {}
    ~Rar4Source() override {
        ar_close_archive(ar_);
        ar_close(stream_);
    }
    Rar4Source(const Rar4Source&) = delete;
    Rar4Source& operator=(const Rar4Source&) = delete;

    int next(EntryInfo& entry) override {
        remaining_ = 0;
        if (!ar_parse_entry(ar_)) return ar_at_eof(ar_) ? ERAR_END_ARCHIVE : ERAR_BAD_DATA;
        // libunarr turns unflagged names into UTF-8 as if they were code page 437, and some
        // packed Unicode names wrongly, so the name and the fields it does not report come from
        // the header itself.
        auto info = rar4FileHeader(fd_.get(), ar_entry_get_offset(ar_), cp949_);
        if (!info) return ERAR_BAD_DATA;
        remaining_ = ar_entry_get_size(ar_);
        entry = std::move(*info);
        return ERAR_SUCCESS;
    }

    int64_t read(char* buf, size_t n) override {
        n = std::min(n, remaining_);
        if (n == 0) return 0;
        if (!ar_entry_uncompress(ar_, buf, n)) {
            remaining_ = 0;
            return -1;
        }
        remaining_ -= n;
        return int64_t(n);
    }

    std::optional<std::string> comment(size_t maxBytes) {
        const size_t size = ar_get_global_comment(ar_, nullptr, 0);
        if (size == 0) return std::nullopt;
        std::string text(std::min(size, maxBytes + 1), '\0');
        text.resize(ar_get_global_comment(ar_, text.data(), text.size()));
        return text;
    }

private:
    Fd fd_;  // for the headers' own fields; libunarr reads through its own stream
    ar_stream* stream_;
    ar_archive* ar_;
    size_t remaining_ = 0;
    const bool cp949_;  // how names without the Unicode flag read, for the whole archive
};

}  // namespace

Opened openRar4(Fd fd, const std::string& path, size_t maxComment) {
    Opened opened;
    if (rar4HeadersEncrypted(fd.get())) {
        opened.result = ERAR_MISSING_PASSWORD;
        return opened;
    }
    ar_stream* stream = ar_open_file(path.c_str());
    if (!stream) {
        opened.result = ERAR_EOPEN;
        return opened;
    }
    ar_archive* ar = ar_open_rar_archive(stream);
    if (!ar) {
        ar_close(stream);
        opened.result = ERAR_BAD_ARCHIVE;
        return opened;
    }
    auto source = std::make_unique<Rar4Source>(std::move(fd), stream, ar);
    opened.comment = source->comment(maxComment);
    opened.source = std::move(source);
    return opened;
}

}  // namespace unrar::detail

// RAR 1.5-4 through libunarr: unlike libarchive it reads every member of a solid archive,
// decompressing the ones skipped before when it has to. That catching up is done here, where
// the members' declared sizes bound it: libunarr's own would decompress whatever they declare.

#include <unarr.h>

#include <algorithm>
#include <vector>

#include "unrar/RarSource.h"
#include "unrar/Unrar.h"

namespace unrar::detail {

namespace {

constexpr uint32_t kStored = 0x30;
// The members before one of a solid archive are decompressed to reach it, at most this many
// bytes of them in all.
constexpr uint64_t kMaxSolidBytes = uint64_t(4) << 30;

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
        // libunarr goes on from where the member before left off only when it came out whole.
        const bool previousWhole = remaining_ == 0 && !broken_;
        remaining_ = 0;
        broken_ = false;
        started_ = false;
        if (!ar_parse_entry(ar_)) return ar_at_eof(ar_) ? ERAR_END_ARCHIVE : ERAR_BAD_DATA;
        if (first_ < 0) first_ = ar_entry_get_offset(ar_);
        followsOn_ = previousWhole || ar_entry_get_offset(ar_) == first_;
        // libunarr turns unflagged names into UTF-8 as if they were code page 437, and some
        // packed Unicode names wrongly, so the name and the fields it does not report come from
        // the header itself.
        auto info = rar4FileHeader(fd_.get(), ar_entry_get_offset(ar_), cp949_);
        if (!info) return ERAR_BAD_DATA;
        remaining_ = ar_entry_get_size(ar_);
        catchUp_ = info->solid && info->method != kStored;
        entry = std::move(*info);
        return ERAR_SUCCESS;
    }

    int64_t read(char* buf, size_t n) override {
        n = std::min(n, remaining_);
        if (n == 0) return 0;
        if (!started_) {
            started_ = true;
            if (catchUp_ && !followsOn_) {
                if (const int64_t why = decompressMembersBefore(); why < 0) return fail(why);
            }
        }
        if (!ar_entry_uncompress(ar_, buf, n)) return fail(-1);
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
    int64_t fail(int64_t why) {
        remaining_ = 0;
        broken_ = true;
        return why;
    }
    // Decompresses every member from the first up to the current one, as a member of a solid
    // archive needs: 0 when done; otherwise, back at the current member, kReadTooLarge when
    // one of them declares more than an entry may hold or all of them more than
    // kMaxSolidBytes, -1 when one cannot be decompressed.
    int64_t decompressMembersBefore() {
        const int64_t current = ar_entry_get_offset(ar_);
        std::vector<char> scratch(size_t(64) << 10);
        uint64_t total = 0;
        bool sound = ar_parse_entry_at(ar_, first_), tooLarge = false;
        while (sound && ar_entry_get_offset(ar_) < current) {
            size_t left = ar_entry_get_size(ar_);
            total += left;
            tooLarge = left > uint64_t(kMaxEntryBytes) || total > kMaxSolidBytes;
            sound = !tooLarge;
            while (sound && left > 0) {
                const size_t n = std::min(left, scratch.size());
                sound = ar_entry_uncompress(ar_, scratch.data(), n);
                left -= n;
            }
            sound = sound && ar_parse_entry(ar_);
        }
        if (sound && ar_entry_get_offset(ar_) == current) return 0;
        ar_parse_entry_at(ar_, current);
        return tooLarge ? kReadTooLarge : -1;
    }

    Fd fd_;  // for the headers' own fields; libunarr reads through its own stream
    ar_stream* stream_;
    ar_archive* ar_;
    size_t remaining_ = 0;
    int64_t first_ = -1;      // where the first member's header is
    bool started_ = false;    // the current member's data has been asked for
    bool broken_ = false;     // and could not be read whole
    bool catchUp_ = false;    // it needs the members before it decompressed (solid, packed)
    bool followsOn_ = false;  // libunarr stands where the member before it ended
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

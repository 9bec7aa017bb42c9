#pragma once
// The line starts of a wrapped text, as QString indexes and CP949 byte offsets. They are kept in
// blocks of a fixed size, so they grow without copying what they hold, and in runs, so the
// starts of a text's parts, wrapped apart, join without being copied: what stays is what they
// hold, plus less than a block a run.

#include <cstdint>
#include <memory>
#include <vector>

namespace textbox {

class LineStarts {
public:
    struct Start {
        int32_t index;  // QString index of the line's first character
        int32_t byte;   // its CP949 byte offset
    };

    void clear();
    // Inline: the wrap pushes one a line, millions for a large book.
    void push(int32_t index, int32_t byte) {
        if (m_room == 0) [[unlikely]]
            addBlock();
        Run& run = m_runs.back();
        *m_next++ = Start{index - run.indexShift, byte - run.byteShift};
        --m_room;
        ++run.size;
        ++m_size;
    }
    int32_t size() const { return m_size; }
    // The start of line `line`, 0 <= line < size().
    Start operator[](int32_t line) const;
    // The last line whose byte offset is at or before `byte`; 0 when none is.
    int32_t lastAtOrBefore(int32_t byte) const;
    // Takes the starts of `more` after these, their byte offsets moved on by `byteShift` and
    // their indexes by `indexShift`; their blocks change hands, nothing is copied, and `more`
    // is left empty.
    void append(LineStarts&& more, int32_t byteShift, int32_t indexShift = 0);

private:
    static constexpr int kShift = 16;  // 64 Ki starts, 512 KiB a block
    static constexpr size_t kBlock = size_t(1) << kShift;
    static constexpr size_t kMask = kBlock - 1;

    struct Run {
        std::vector<std::unique_ptr<Start[]>> blocks;
        int32_t first = 0;  // the line of its first start
        int32_t size = 0;
        int32_t byteShift = 0;
        int32_t indexShift = 0;
    };
    const Run& runOf(int32_t line) const;
    void addBlock();

    std::vector<Run> m_runs;
    int32_t m_size = 0;
    Start* m_next = nullptr;  // where the next start goes, in the last run's last block
    size_t m_room = 0;        // starts that block has room for still
};

}  // namespace textbox

#pragma once
// The line starts of a wrapped text, as QString indexes and CP949 byte offsets, kept in blocks of
// a fixed size: they grow without copying what they hold, a book's worth never sits in memory
// twice, and what stays is what they hold plus less than one block.

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
    void push(int32_t index, int32_t byte);
    int32_t size() const { return m_size; }
    // The start of line `line`, 0 <= line < size().
    const Start& operator[](int32_t line) const {
        return m_blocks[size_t(line) >> kShift][size_t(line) & kMask];
    }
    // The last line whose byte offset is at or before `byte`; 0 when none is.
    int32_t lastAtOrBefore(int32_t byte) const;
    // Appends the starts of `more` after its first (the line this one ends with), their byte
    // offsets moved on by `byteShift`; `more` is left empty, its blocks given back as they are
    // taken over.
    void appendAfterFirst(LineStarts& more, int32_t byteShift);

private:
    static constexpr int kShift = 16;  // 64 Ki starts, 512 KiB a block
    static constexpr size_t kBlock = size_t(1) << kShift;
    static constexpr size_t kMask = kBlock - 1;

    std::vector<std::unique_ptr<Start[]>> m_blocks;
    int32_t m_size = 0;
};

}  // namespace textbox

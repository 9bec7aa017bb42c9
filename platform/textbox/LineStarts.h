#pragma once
// The line starts of a wrapped text, as QString indexes and CP949 byte offsets. They are kept in
// groups of kGroup lines: the group's first start whole, each other as its distance from that
// one in two 16-bit numbers, so a line costs about 4 bytes rather than 8 (a book of 200 MB has
// millions). A group whose distances do not fit (a line of more than 64 Ki characters) keeps its
// starts whole beside. Groups are kept in blocks of a fixed size, so they grow without copying
// what they hold, and in runs, so the starts of a text's parts, wrapped apart, join without being
// copied: what stays is what they hold, plus less than a block a run.

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
        Run& run = m_runs.empty() ? newRun() : m_runs.back();
        const Start s{index - run.indexShift, byte - run.byteShift};
        const int k = int(run.size & kGroupMask);
        if (k == 0) [[unlikely]] {
            startGroup(run, s);
        } else {
            Group& g = *m_group;
            const uint32_t di = uint32_t(s.index) - uint32_t(g.index);
            const uint32_t db = uint32_t(s.byte) - uint32_t(g.byte);
            if (di < kWide && db < kWide && g.index != kWideGroup) [[likely]] {
                g.di[k - 1] = uint16_t(di);
                g.db[k - 1] = uint16_t(db);
            } else {
                putWide(run, k, s);
            }
        }
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
    static constexpr int kGroupShift = 4;  // 16 lines a group
    static constexpr int32_t kGroup = 1 << kGroupShift;
    static constexpr int32_t kGroupMask = kGroup - 1;
    static constexpr int kBlockShift = 12;  // 4 Ki groups, 272 KiB a block
    static constexpr size_t kBlock = size_t(1) << kBlockShift;
    static constexpr size_t kBlockMask = kBlock - 1;
    // A distance that does not fit; a group's index that says its starts are kept whole.
    static constexpr uint32_t kWide = 0xFFFF;
    static constexpr int32_t kWideGroup = INT32_MIN;

    struct Group {
        int32_t index;  // of its first start, or kWideGroup
        int32_t byte;
        uint16_t di[kGroup - 1];  // the others' distances from the first
        uint16_t db[kGroup - 1];
    };
    // A group's starts kept whole: its number in the run, and its starts.
    struct WideGroup {
        int32_t group;
        Start starts[kGroup];
    };
    struct Run {
        std::vector<std::unique_ptr<Group[]>> blocks;
        std::vector<WideGroup> wide;  // by group number
        int32_t first = 0;  // the line of its first start
        int32_t size = 0;
        int32_t byteShift = 0;
        int32_t indexShift = 0;
    };
    const Run& runOf(int32_t line) const;
    // Line i of a run, shifts not added.
    static Start startIn(const Run& run, int32_t i);
    Run& newRun();
    void startGroup(Run& run, Start s);
    void putWide(Run& run, int k, Start s);

    std::vector<Run> m_runs;
    int32_t m_size = 0;
    Group* m_group = nullptr;  // the last run's last group
};

}  // namespace textbox

// Text positions in CP949 byte units: MidAnsi and LenAnsi on mixed and on non-CP949 text.

#include <gtest/gtest.h>

#include "pages/Mo_TxtPublic.h"

namespace {

using Mo_TxtPublic::LenAnsi;
using Mo_TxtPublic::MidAnsi;

struct LenCase {
    QString text;
    double bytes;
};

class LenAnsiOf : public ::testing::TestWithParam<LenCase> {};

TEST_P(LenAnsiOf, CountsAsciiOneAndEveryOtherCharacterTwo) {
    EXPECT_EQ(LenAnsi(GetParam().text), GetParam().bytes) << qPrintable(GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Texts, LenAnsiOf,
                         ::testing::Values(LenCase{"", 0}, LenCase{"abc\r\n", 5},
                                           LenCase{"가나다", 6}, LenCase{"가a나b", 6},
                                           LenCase{"😀", 2}, LenCase{"€—", 4},  // — not in CP949
                                           LenCase{"𠀀字", 4}, LenCase{QString(QChar(0xD800)), 2},
                                           LenCase{QString(QChar(0xDC00)) + "a", 3},
                                           LenCase{QString(QChar(0xD800)) + "😀", 4},
                                           LenCase{"\u00E9\u0301", 4}));

struct MidCase {
    QString text;
    double start, length;
    QString expected;
};

class MidAnsiOf : public ::testing::TestWithParam<MidCase> {};

TEST_P(MidAnsiOf, TakesTheCharactersWhoseFirstByteIsInTheRange) {
    const MidCase& c = GetParam();
    EXPECT_EQ(MidAnsi(c.text, c.start, c.length), c.expected)
        << qPrintable(c.text) << " from " << c.start << " for " << c.length;
}

// "가a나b": 가 is bytes 1-2, a 3, 나 4-5, b 6.
INSTANTIATE_TEST_SUITE_P(
    Ranges, MidAnsiOf,
    ::testing::Values(MidCase{"가a나b", 1, 2, "가"}, MidCase{"가a나b", 1, 3, "가a"},
                      MidCase{"가a나b", 2, 2, "a"},    // 가 starts before the range
                      MidCase{"가a나b", 3, 2, "a나"},  // 나 starts on the range's last byte
                      MidCase{"가a나b", 5, 2, "b"}, MidCase{"가a나b", 4, 3, "나b"},
                      MidCase{"가a나b", 1, 100, "가a나b"}, MidCase{"가a나b", 7, 1, ""},
                      MidCase{"가a나b", 100, 5, ""}, MidCase{"가a나b", 1, 0, ""},
                      MidCase{"가a나b", 0, 3, ""}, MidCase{"가a나b", -2, 3, ""},
                      MidCase{"가a나b", 1, -1, ""}, MidCase{"가a나b", 2.5, 2, "a"},  // 2.5 -> 2
                      MidCase{"가a나b", 3.5, 1, "나"},                               // 3.5 -> 4
                      MidCase{"😀a", 1, 2, "😀"}, MidCase{"😀a", 2, 2, "a"},
                      MidCase{"a😀€b", 2, 4, "😀€"}, MidCase{"—𠀀", 3, 2, "𠀀"},
                      MidCase{"", 1, 4, ""}));

// Page cuts: whatever byte a text is cut at, the two halves hold every character exactly once.
TEST(MidAnsi, ConsecutiveRangesPartitionTheText) {
    const QString text = QStringLiteral("제1장 날개(翼) — 😀 «€» ok\r\n끝");
    const double total = LenAnsi(text);
    for (int cut = 0; cut <= total + 1; ++cut) {
        const QString head = MidAnsi(text, 1, cut);
        const QString tail = MidAnsi(text, cut + 1, total);
        EXPECT_EQ(head + tail, text) << "cut after byte " << cut;
        EXPECT_FALSE(!head.isEmpty() && head.back().isHighSurrogate()) << cut;
        EXPECT_EQ(LenAnsi(head) + LenAnsi(tail), total) << cut;
    }
}

}  // namespace

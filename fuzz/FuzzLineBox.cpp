// The line breaker on any text, width and size: line starts rise strictly, each query answers
// the others, and every line holds at least one character.

#include <QFont>
#include <QGuiApplication>
#include <cstdint>
#include <cstdlib>

#include "textbox/LineBreaker.h"

namespace {

// Kept for the whole run and never destroyed: fonts outlive every input.
QGuiApplication* app = nullptr;

void check(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    app = new QGuiApplication(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    // The first bytes choose the width and the size and how the rest is read as text.
    const int width = (data[0] | (data[1] & 0x07) << 8) - 8;
    const int pointSize = 6 + (data[2] & 0x1F);
    const bool utf16 = data[2] & 0x80;
    const char* rest = reinterpret_cast<const char*>(data + 3);
    const qsizetype n = qsizetype(size - 3);
    const QString text =
        utf16 ? QString(reinterpret_cast<const QChar*>(rest), n / 2) : QString::fromUtf8(rest, n);

    static QFont font(QStringLiteral("NanumGothic"));
    font.setPointSize(pointSize);
    font.setBold(data[2] & 0x40);
    textbox::LineBreaker box;
    box.setFont(font);
    box.setWidth(width);
    box.setText(text);

    const int lines = box.lineCount();
    check(lines >= 1);
    check(box.lineIndex(0) == 0 && box.charIndexOfLine(0) == 0);
    check(box.lineIndex(lines) == -1 && box.charIndexOfLine(lines) == -1);
    int previousByte = -1, previousChar = -1;
    for (int line = 0; line < lines; ++line) {
        const int byte = box.lineIndex(line);
        const int ch = box.charIndexOfLine(line);
        check(byte > previousByte && ch > previousChar);
        check(ch <= text.size());
        // An empty line only after the last break.
        check(ch < text.size() || line == lines - 1);
        check(box.lineFromChar(byte) == line);
        check(box.charIndexOfOffset(byte) == ch);
        previousByte = byte;
        previousChar = ch;
    }
    check(box.lineFromChar(-5) == 0);
    check(box.lineFromChar(previousByte + 100000) == lines - 1);
    return 0;
}

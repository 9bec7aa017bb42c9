// Reading a book from any bytes: the file, read a run at a time, and the bytes decoded whole
// agree, in every encoding a book can be read in, and bytes that hold anything after the
// byte-order mark never read as an empty book.

#include <cstdint>
#include <cstdlib>

#include "FuzzFiles.h"
#include "encodings/StoredText.h"

namespace {

// The bytes of the byte-order mark the text was read past.
qsizetype markOf(const QByteArray& bytes, Encoding read) {
    switch (read) {
        case Encoding::Utf16Le:
        case Encoding::Utf16Be:
            return bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF") ? 2 : 0;
        case Encoding::Utf8:
            return bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
        default:
            return 0;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::string path = fuzzfiles::writeInput("book.txt", data, size);
    // Guessed, and one chosen encoding per input, picked by its length: decoded whole and read
    // from the file a run at a time, it is the same text.
    for (const Encoding chosen :
         {Encoding::Automatic, encodings::kEncodings[size % encodings::kEncodings.size()]}) {
        const DecodedDocument as = decodeDocumentAs(bytes, chosen);
        if (bytes.size() > markOf(bytes, as.encoding) && as.text.isEmpty()) std::abort();
        if (as.text.size() > bytes.size()) std::abort();
        const encodings::StoredText::Read read =
            encodings::StoredText::read(QString::fromStdString(path), {}, chosen);
        if (read.encoding != as.encoding || read.text.toString() != as.text) std::abort();
        if (read.text.size() != as.text.size()) std::abort();
    }
    return 0;
}

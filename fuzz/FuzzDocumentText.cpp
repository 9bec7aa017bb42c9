// Reading a document from any bytes: the file reader and the decoder agree, in every encoding a
// book can be read in, and bytes that hold anything after the byte-order mark never read as an
// empty book.

#include <cstdint>
#include <cstdlib>

#include "FuzzFiles.h"
#include "encodings/DocumentText.h"

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
    const QString text = decodeDocument(bytes);
    const Encoding encoding = detectEncoding(bytes);
    if (bytes.size() > markOf(bytes, encoding) && text.isEmpty()) std::abort();
    if (text.size() > bytes.size()) std::abort();

    const std::string path = fuzzfiles::writeInput("book.txt", data, size);
    if (LoadDocumentText(QString::fromStdString(path)) != text) std::abort();

    // One chosen encoding per input, picked by its length: read whole, in small pieces, and
    // from the file, it is the same text.
    const Encoding chosen = encodings::kEncodings[size % encodings::kEncodings.size()];
    const DecodedDocument as = decodeDocumentAs(bytes, chosen);
    if (bytes.size() > markOf(bytes, as.encoding) && as.text.isEmpty()) std::abort();
    if (as.text.size() > bytes.size()) std::abort();
    if (decodeDocument(bytes.constData(), bytes.size(), 3, chosen) != as.text) std::abort();
    if (LoadDocumentText(QString::fromStdString(path), chosen) != as.text) std::abort();
    return 0;
}

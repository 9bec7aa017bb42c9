// Reading a document from any bytes: the file reader and the decoder agree, and bytes that hold
// anything after the byte-order mark never read as an empty book.

#include <cstdint>
#include <cstdlib>

#include "FuzzFiles.h"
#include "encodings/DocumentText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString text = decodeDocument(bytes);
    const Encoding encoding = detectEncoding(bytes);
    const qsizetype mark = encoding == Encoding::Utf16Le                                    ? 2
                           : encoding == Encoding::Utf8 && bytes.startsWith("\xEF\xBB\xBF") ? 3
                                                                                            : 0;
    if (bytes.size() > mark && text.isEmpty()) std::abort();
    if (text.size() > bytes.size()) std::abort();

    const std::string path = fuzzfiles::writeInput("book.txt", data, size);
    if (LoadDocumentText(QString::fromStdString(path)) != text) std::abort();
    return 0;
}

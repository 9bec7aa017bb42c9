// The RAR call interface on any bytes: reading every header and extracting every entry never
// crash or loop, and write nothing but plain files into the destination.

#include <cstdint>
#include <cstdlib>

#include "FuzzFiles.h"
#include "unrar/Unrar.h"

namespace {

void walk(const std::string& archive, uint32_t mode, const std::string& dest) {
    unrar::RAROpenArchiveData open;
    open.ArcName = archive;
    open.OpenMode = mode;
    unrar::HANDLE h = unrar::RAROpenArchive(&open);
    if (!h) return;
    if (open.CmtSize > open.CmtBufSize || open.CmtBuf.size() > open.CmtBufSize) std::abort();
    unrar::RARSetPassword(h, "password");
    unrar::RARHeaderData header;
    for (int n = 0; n <= 100001; ++n) {
        if (n == 100001) std::abort();  // the header cap did not hold
        if (unrar::RARReadHeader(h, &header) != unrar::ERAR_SUCCESS) break;
        if (header.FileName[sizeof header.FileName - 1] != '\0') std::abort();
        const int operation = mode == unrar::RAR_OM_LIST ? unrar::RAR_SKIP : unrar::RAR_EXTRACT;
        unrar::RARProcessFile(h, operation, dest.c_str(), nullptr);
    }
    unrar::RARCloseArchive(h);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string archive = fuzzfiles::writeInput("in.rar", data, size);
    const std::string dest = fuzzfiles::folder("out");
    walk(archive, unrar::RAR_OM_LIST, dest);
    walk(archive, unrar::RAR_OM_EXTRACT, dest);
    fuzzfiles::expectOnlyPlainFilesAndEmpty(dest);
    fuzzfiles::expectNothingBeside("in.rar", "out");
    return 0;
}

// The ZIP listing on archives of any size made from few bytes, under a tight memory limit (see
// run.sh): an archive built to make its reader hold far more than it is must be listed in
// bounds or refused. The input is a run of pieces, each a 3-byte count (0 for once), a 2-byte
// length and that many bytes; the archive is each piece's bytes, count times over, up to 8 MiB.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzFiles.h"
#include "unzip/Unzip.h"
#include "unzip/ZipDirectory.h"

namespace {

constexpr size_t kMaxArchive = size_t(8) << 20;

std::string expand(const uint8_t* data, size_t size) {
    std::string archive;
    size_t at = 0;
    while (at + 5 <= size && archive.size() < kMaxArchive) {
        const size_t count = data[at] | data[at + 1] << 8 | data[at + 2] << 16;
        const size_t length = std::min<size_t>(data[at + 3] | data[at + 4] << 8, size - at - 5);
        const std::string piece(reinterpret_cast<const char*>(data + at + 5), length);
        at += 5 + length;
        for (size_t i = 0; i < std::max<size_t>(count, 1) && archive.size() < kMaxArchive; ++i)
            archive += piece;
    }
    archive.resize(std::min(archive.size(), kMaxArchive));
    return archive;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes = expand(data, size);
    const std::string archive = fuzzfiles::writeInput(
        "in.zip", reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());

    bool hostile = false;
    if (const auto directory = unzip::ZipDirectory::open(archive, hostile)) {
        if (hostile || directory->records().size() > size_t(unzip::kMaxEntries)) std::abort();
    }
    unzip::Options options;
    options.ZipFile = archive;
    options.List = 1;
    size_t listed = 0;
    unzip::Callbacks callbacks;
    callbacks.listing = [&](const unzip::ListedEntry&) {
        if (++listed > size_t(unzip::kMaxEntries)) std::abort();
    };
    unzip::Wiz_SingleEntryUnzip(0, {}, 0, {}, options, callbacks);
    return 0;
}

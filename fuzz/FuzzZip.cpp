// The ZIP call interface on any bytes: listing and extracting every entry never crash, never
// write anything but plain files into the destination, and report every entry they write.

#include <cstdint>
#include <cstdlib>

#include "FuzzFiles.h"
#include "unzip/Unzip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string archive = fuzzfiles::writeInput("in.zip", data, size);
    const std::string dest = fuzzfiles::folder("out");

    unzip::Options options;
    options.ZipFile = archive;
    options.List = 1;
    int listed = 0;
    unzip::Callbacks callbacks;
    callbacks.listing = [&](const unzip::ListedEntry& e) {
        ++listed;
        if (e.name.size() > 65535) std::abort();
    };
    callbacks.password = [](std::string&, const std::string&) { return 1; };
    unzip::Wiz_SingleEntryUnzip(0, {}, 0, {}, options, callbacks);

    options.List = 0;
    options.ExtractDir = dest;
    unzip::Wiz_SingleEntryUnzip(0, {}, 0, {}, options, callbacks);
    // One include pattern, as the reader extracts a single book.
    unzip::Wiz_SingleEntryUnzip(1, {"*.txt"}, 0, {}, options, callbacks);

    fuzzfiles::expectOnlyPlainFilesAndEmpty(dest);
    fuzzfiles::expectNothingBeside("in.zip", "out");
    return 0;
}

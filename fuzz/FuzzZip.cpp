// The ZIP call interface on any bytes: listing and extracting every entry never crash, never
// write anything but plain files into the destination, and report every entry they write.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzFiles.h"
#include "unzip/Unzip.h"

namespace {

int filesIn(const std::string& dir) {
    int n = 0;
    if (DIR* d = opendir(dir.c_str())) {
        while (const dirent* e = readdir(d)) {
            const std::string name = e->d_name;
            n += name != "." && name != "..";
        }
        closedir(d);
    }
    return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string archive = fuzzfiles::writeInput("in.zip", data, size);
    const std::string dest = fuzzfiles::folder("out");

    unzip::Options options;
    options.ZipFile = archive;
    options.List = 1;
    int listed = 0;
    std::string first;
    unzip::Callbacks callbacks;
    callbacks.listing = [&](const unzip::ListedEntry& e) {
        if (listed++ == 0) first = e.name;
        if (e.name.size() > 65535 || listed > unzip::kMaxEntries) std::abort();
    };
    callbacks.password = [](std::string&, const std::string&) { return 1; };
    unzip::Wiz_SingleEntryUnzip(0, {}, 0, {}, options, callbacks);

    options.List = 0;
    options.ExtractDir = dest;
    unzip::Wiz_SingleEntryUnzip(0, {}, 0, {}, options, callbacks);
    fuzzfiles::expectOnlyPlainFilesAndEmpty(dest);
    // One entry by its name, as the reader extracts a single book: nothing else is written.
    unzip::Wiz_SingleEntryUnzip(1, {first}, 0, {}, options, callbacks);
    if (filesIn(dest) > 1) std::abort();

    fuzzfiles::expectOnlyPlainFilesAndEmpty(dest);
    fuzzfiles::expectNothingBeside("in.zip", "out");
    return 0;
}

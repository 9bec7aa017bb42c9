// The two ways a ZIP entry is read agree on any bytes. Every entry is extracted twice: once as the
// reader does it (ISA-L straight from the file for a plain stored or deflated entry, libarchive
// for the rest and for whatever the direct path declines) and once by libarchive alone. The two
// folders must hold the same files with the same bytes, and the calls return the same result:
// an entry that one path writes whole while the other reports it damaged, or writes otherwise,
// is a disagreement. The direct path declining an entry (a bad CRC, anything unusual) is not:
// libarchive then reads it in both runs alike.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "FuzzFiles.h"
#include "unzip/Unzip.h"
#include "unzip/ZipDirectory.h"

namespace {

using Files = std::map<std::string, std::string>;

// The files of dir by name, with their bytes; dir is left empty. Anything but a plain file there
// is a fault of its own.
Files takeFiles(const std::string& dir) {
    Files files;
    DIR* d = opendir(dir.c_str());
    if (!d) std::abort();
    while (const dirent* e = readdir(d)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        const std::string path = dir + "/" + name;
        struct stat st {};
        if (lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
            std::fprintf(stderr, "not a plain file in the destination: %s\n", name.c_str());
            std::abort();
        }
        std::ifstream in(path, std::ios::binary);
        files[name].assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        unlink(path.c_str());
    }
    closedir(d);
    return files;
}

struct Extraction {
    int32_t result = 0;
    Files files;
};

Extraction extractAll(const std::string& archive, const std::string& dest, bool direct) {
    unzip::Options options;
    options.ZipFile = archive;
    options.ExtractDir = dest;
    unzip::Callbacks callbacks;
    callbacks.password = [](std::string&, const std::string&) { return 1; };
    unzip::g_directExtraction = direct;
    Extraction x;
    x.result = unzip::Wiz_SingleEntryUnzip(0, {}, 0, {}, options, callbacks);
    unzip::g_directExtraction = true;
    x.files = takeFiles(dest);
    return x;
}

size_t firstDifference(const std::string& a, const std::string& b) {
    size_t i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
    return i;
}

// Says how the two extractions differ, entry by entry.
void describe(const Extraction& both, const Extraction& alone) {
    std::fprintf(stderr, "result %d with the direct path, %d from libarchive alone\n", both.result,
                 alone.result);
    for (const auto& [name, bytes] : both.files) {
        const auto other = alone.files.find(name);
        if (other == alone.files.end())
            std::fprintf(stderr, "%s: %zu bytes only with the direct path\n", name.c_str(),
                         bytes.size());
        else if (other->second != bytes)
            std::fprintf(stderr, "%s: %zu bytes against %zu, first differing at %zu\n",
                         name.c_str(), bytes.size(), other->second.size(),
                         firstDifference(bytes, other->second));
    }
    for (const auto& [name, bytes] : alone.files)
        if (!both.files.count(name))
            std::fprintf(stderr, "%s: %zu bytes only from libarchive alone\n", name.c_str(),
                         bytes.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string archive = fuzzfiles::writeInput("in.zip", data, size);
    const Extraction both = extractAll(archive, fuzzfiles::folder("direct"), true);
    const Extraction alone = extractAll(archive, fuzzfiles::folder("libarchive"), false);
    if (both.result != alone.result || both.files != alone.files) {
        describe(both, alone);
        std::abort();
    }
    return 0;
}

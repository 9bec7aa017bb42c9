#pragma once
// Scratch files for the fuzz targets: one private folder per process, an input file written
// from the fuzzer's bytes, and a check that an extraction left only plain files, flat, in its
// destination folder and nothing beside it.

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace fuzzfiles {

inline const std::string& scratch() {
    static const std::string dir = [] {
        std::string pattern =
            std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") + "/tl-fuzz-XXXXXX";
        if (!mkdtemp(pattern.data())) std::abort();
        return pattern;
    }();
    return dir;
}

inline std::string writeInput(const char* name, const uint8_t* data, size_t size) {
    const std::string path = scratch() + "/" + name;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    if (size && std::fwrite(data, 1, size, f) != size) std::abort();
    std::fclose(f);
    return path;
}

// Removes every entry of dir (which holds only plain files when the contract held) and aborts
// when one is anything else.
inline void expectOnlyPlainFilesAndEmpty(const std::string& dir) {
    DIR* d = opendir(dir.c_str());
    if (!d) std::abort();
    while (dirent* e = readdir(d)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        const std::string path = dir + "/" + name;
        struct stat st;
        if (lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
            std::fprintf(stderr, "not a plain file in the destination: %s\n", name.c_str());
            std::abort();
        }
        unlink(path.c_str());
    }
    closedir(d);
}

// The scratch folder holds the input, the destination folder and nothing else.
inline void expectNothingBeside(const char* input, const char* destination) {
    DIR* d = opendir(scratch().c_str());
    if (!d) std::abort();
    while (dirent* e = readdir(d)) {
        const std::string name = e->d_name;
        if (name == "." || name == ".." || name == input || name == destination) continue;
        std::fprintf(stderr, "written outside the destination: %s\n", name.c_str());
        std::abort();
    }
    closedir(d);
}

inline std::string folder(const char* name) {
    const std::string path = scratch() + "/" + name;
    mkdir(path.c_str(), 0700);
    return path;
}

}  // namespace fuzzfiles

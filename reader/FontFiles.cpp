// Font files are read, not mapped.
//
// FreeType maps a font file whole and reads its glyphs through the mapping. Each glyph touched
// then makes the kernel map the pages around it as well (64 KiB by default), so a few dozen
// Hangul syllables drawn from a 4.6 MB font keep three or more megabytes of it resident, for
// each face. Opened through a stream of reads instead, a face holds its tables and the glyph
// being loaded, no more. The program defines FreeType's FT_New_Face, which Qt opens system fonts
// with, so its calls come here; everything else about the face is FreeType's own.

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYSTEM_H

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdlib>

namespace {

unsigned long readAt(FT_Stream stream, unsigned long offset, unsigned char* buffer,
                     unsigned long count) {
    // A count of 0 asks only to seek: FreeType then reports an offset past the end as an error.
    if (count == 0) return offset <= stream->size ? 0 : 1;
    unsigned long done = 0;
    while (done < count) {
        const ssize_t got = pread(stream->descriptor.value, buffer + done, count - done,
                                  static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        done += static_cast<unsigned long>(got);
    }
    return done;
}

void closeStream(FT_Stream stream) {
    close(stream->descriptor.value);
    std::free(stream);
}

}  // namespace

extern "C" FT_Error FT_New_Face(FT_Library library, const char* path, FT_Long index,
                                FT_Face* face) {
    if (path == nullptr) return FT_Err_Invalid_Argument;
    const int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return FT_Err_Cannot_Open_Resource;
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= 0 ||
        static_cast<unsigned long long>(st.st_size) > 0x7fffffffULL) {
        close(fd);
        return FT_Err_Cannot_Open_Stream;
    }
    auto* stream = static_cast<FT_Stream>(std::calloc(1, sizeof(FT_StreamRec)));
    if (stream == nullptr) {
        close(fd);
        return FT_Err_Out_Of_Memory;
    }
    stream->size = static_cast<unsigned long>(st.st_size);
    stream->descriptor.value = fd;
    stream->pathname.pointer = const_cast<char*>(path);
    stream->read = readAt;
    stream->close = closeStream;
    FT_Open_Args args{};
    args.flags = FT_OPEN_STREAM;
    args.stream = stream;
    // The face closes the stream when it is done with it, or at once when it cannot be opened.
    return FT_Open_Face(library, &args, index, face);
}

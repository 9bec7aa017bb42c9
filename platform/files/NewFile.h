#pragma once
// Writing files extracted from archives: created only where nothing stands, written whole.

#include <cstddef>
#include <string>

namespace files {

// Creates path for writing only when nothing exists there (a link, dangling or not, counts) and
// never through a link; a descriptor, or -1.
int createNewFile(const std::string& path);
// Writes all of data to fd; false on any error (disk full, no rights, file size limit).
bool writeAll(int fd, const char* data, size_t size);

}  // namespace files

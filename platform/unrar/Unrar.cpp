#include "unrar/Unrar.h"

namespace unrar {

HANDLE RAROpenArchive(RAROpenArchiveData* data) {
    if (data) data->OpenResult = ERAR_BAD_ARCHIVE;
    return nullptr;
}
int RARCloseArchive(HANDLE) {
    return ERAR_SUCCESS;
}
int RARReadHeader(HANDLE, RARHeaderData*) {
    return ERAR_END_ARCHIVE;
}
int RARProcessFile(HANDLE, int, const char*, const char*) {
    return ERAR_UNKNOWN;
}
void RARSetPassword(HANDLE, const char*) {}

}  // namespace unrar

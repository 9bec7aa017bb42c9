#include "unzip/Unzip.h"

namespace unzip {

int32_t Wiz_SingleEntryUnzip(int, const std::vector<std::string>&, int, const std::vector<std::string>&,
                             const Options&, Callbacks&) {
    return PK_BADERR;
}

bool matchesPattern(const std::string& pattern, const std::string& name) {
    return pattern == name;
}

}  // namespace unzip

#include "system/mode_files.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

std::vector<std::string> ListModeFiles(const std::string& folder) {
    namespace fs = std::filesystem;
    std::vector<std::string> names;
    std::error_code ec;
    fs::directory_iterator it(folder, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        std::error_code fileEc;
        if (!it->is_regular_file(fileEc) || fileEc) continue;
        const auto size = it->file_size(fileEc);
        if (fileEc || size != kPcModeFileSize) continue;
        names.push_back(it->path().filename().string());
    }
    // The directory's own order is arbitrary; the list is by name.
    std::sort(names.begin(), names.end());
    if (names.size() > kMaxModeFiles) names.resize(kMaxModeFiles);
    return names;
}

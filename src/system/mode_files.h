#pragma once
// The PC mode folder: mode files are exactly 1488 bytes.
#include <cstddef>
#include <string>
#include <vector>

constexpr std::size_t kPcModeFileSize = 1488;
constexpr std::size_t kMaxModeFiles = 100;

// The mode files of a folder by full file name (extension kept, so the name
// loads again), sorted by name, at most 100. Files of any other size and
// sub-folders are left out; a missing or unreadable folder gives none.
std::vector<std::string> ListModeFiles(const std::string& folder);

#pragma once
// Reading and writing the program's files (PC mode files, learn tables,
// boost presets): one way to write, one way to read, for every file kind.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

// Writes bytes as the whole content of path: a temporary file in the same
// folder is written, flushed to the disk and closed, every step checked, and
// then renamed over path. true only when all of that worked. On any failure
// the temporary file is removed and whatever path held before (a file, or
// nothing) is left exactly as it was, so a failed save never costs the user
// the old file. The folder must exist; a directory, pipe or device at path
// fails the save.
bool SaveFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);

// The whole content of path, if it holds at most maxBytes bytes. nullopt when
// the file cannot be opened or read, is no plain file (a folder, a pipe, a
// device: nothing waits on them), or holds more than maxBytes (at most
// maxBytes + 1 bytes are read to see that, whatever the file's size). A file
// kind's loader still checks the exact size it needs.
std::optional<std::vector<std::uint8_t>> LoadWholeFile(const std::filesystem::path& path,
                                                       std::size_t maxBytes);

// The name of a temporary file SaveFileAtomically writes beside its target
// (".quavix-save-<process>-<count>.tmp"); one is left behind only when the
// program died in the middle of a save. Listings of a folder skip them.
bool IsSaveTemporaryName(std::string_view fileName);

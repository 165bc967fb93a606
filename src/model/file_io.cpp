#include "model/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <string>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kTemporaryPrefix = ".quavix-save-";
constexpr std::string_view kTemporarySuffix = ".tmp";

// A name of our own rather than one built from the target's name, so a long
// target name cannot push the temporary's name past the file system's limit.
// The process id and a counter keep two saves (two programs, or two saves in
// a row) apart; "x" in the open mode refuses to reuse an existing file.
std::FILE* OpenTemporary(const fs::path& folder, fs::path& temp) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 16; ++attempt) {
        temp = folder / (std::string(kTemporaryPrefix) + std::to_string(::getpid()) + "-" +
                         std::to_string(counter.fetch_add(1)) + std::string(kTemporarySuffix));
        if (std::FILE* f = std::fopen(temp.c_str(), "wbx")) return f;
        if (errno != EEXIST) return nullptr;
    }
    return nullptr;
}

// The rename is only durable once the folder's entry reaches the disk; the
// save has already succeeded by then, so this is done as well as it can be.
void SyncFolder(const fs::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

bool IsSaveTemporaryName(std::string_view fileName) {
    return fileName.size() > kTemporaryPrefix.size() + kTemporarySuffix.size() &&
           fileName.starts_with(kTemporaryPrefix) && fileName.ends_with(kTemporarySuffix);
}

bool SaveFileAtomically(const fs::path& path, std::span<const std::uint8_t> bytes) {
    if (path.filename().empty()) return false;
    // Only a file is replaced: a folder, a pipe or a device of that name is
    // not ours to overwrite.
    std::error_code ec;
    const fs::file_status held = fs::status(path, ec);
    if (fs::exists(held) && !fs::is_regular_file(held)) return false;
    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    fs::path temp;
    std::FILE* f = OpenTemporary(folder, temp);
    if (!f) return false;
    bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = ok && std::fflush(f) == 0 && ::fsync(::fileno(f)) == 0;
    ok = std::fclose(f) == 0 && ok;
    if (ok) {
        fs::rename(temp, path, ec);
        ok = !ec;
    }
    if (!ok) {
        fs::remove(temp, ec);
        return false;
    }
    SyncFolder(folder);
    return true;
}

std::optional<std::vector<std::uint8_t>> LoadWholeFile(const fs::path& path, std::size_t maxBytes) {
    // Opened without waiting and taken only when it is a plain file: a pipe
    // chosen in a file box would otherwise block the window until something
    // writes to it.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes(maxBytes + 1);
    std::size_t got = 0;
    bool failed = false;
    while (got < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) failed = true;
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (failed || got > maxBytes) return std::nullopt;
    bytes.resize(got);
    return bytes;
}

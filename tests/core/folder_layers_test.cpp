// The folders of src/ form a stack: each includes only from itself and the
// folders below it, so the include arrows never run both ways.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <string_view>

namespace {

// Top to bottom.
constexpr std::array<std::string_view, 7> kStack = {"app", "system",   "pages", "link",
                                                    "eq",  "platform", "model"};

int Level(std::string_view folder) {
    for (std::size_t i = 0; i < kStack.size(); ++i)
        if (kStack[i] == folder) return static_cast<int>(i);
    return -1;
}

TEST(FolderLayers, EveryIncludeOfOursPointsDownTheStack) {
    const std::filesystem::path src = std::filesystem::path(QUAVIX_SOURCE_DIR) / "src";
    const std::regex include(R"re(^\s*#\s*include\s*"([a-z_]+)/)re");
    int filesRead = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(src)) {
        const auto ext = entry.path().extension();
        if (!entry.is_regular_file() || (ext != ".h" && ext != ".cpp")) continue;
        const std::string folder = entry.path().parent_path().filename().string();
        const int level = Level(folder);
        ASSERT_GE(level, 0) << "a source folder outside the stack: " << folder;
        ++filesRead;
        std::ifstream in(entry.path());
        std::string line;
        int lineNo = 0;
        while (std::getline(in, line)) {
            ++lineNo;
            std::smatch m;
            if (!std::regex_search(line, m, include)) continue;
            const int target = Level(m[1].str());
            if (target < 0) continue;  // not one of our folders
            EXPECT_GE(target, level) << entry.path().lexically_relative(src).string() << ":"
                                     << lineNo << " includes upward: " << line;
        }
    }
    EXPECT_GT(filesRead, 50);
}

}  // namespace

#include "model/file_io.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

void WriteText(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Every name in a folder: a save must leave no temporary file behind.
std::vector<std::string> Entries(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

class SaveFile : public ::testing::Test {
protected:
    testsupport::TempFolder folder;
};

TEST_F(SaveFile, WritesANewFileWithExactlyTheBytes) {
    const std::string content("\x95\0\xff\r\n\x1a tail", 10);
    ASSERT_TRUE(SaveFileAtomically(folder / "preset.btpar", Bytes(content)));
    EXPECT_EQ(ReadText(folder / "preset.btpar"), content);
    EXPECT_EQ(Entries(folder.Path()), std::vector<std::string>{"preset.btpar"});
}

TEST_F(SaveFile, ReplacesALongerOldFileWhole) {
    WriteText(folder / "mode", std::string(3000, 'o'));
    ASSERT_TRUE(SaveFileAtomically(folder / "mode", Bytes("new")));
    EXPECT_EQ(ReadText(folder / "mode"), "new");
    EXPECT_EQ(Entries(folder.Path()), std::vector<std::string>{"mode"});
}

TEST_F(SaveFile, AnEmptyContentGivesAnEmptyFile) {
    WriteText(folder / "table.dat", "old");
    ASSERT_TRUE(SaveFileAtomically(folder / "table.dat", {}));
    EXPECT_EQ(fs::file_size(folder / "table.dat"), 0u);
}

TEST_F(SaveFile, AFileNameWithoutAFolderGoesToTheWorkingFolder) {
    const fs::path before = fs::current_path();
    fs::current_path(folder.Path());
    const bool saved = SaveFileAtomically("plain", Bytes("here"));
    fs::current_path(before);
    ASSERT_TRUE(saved);
    EXPECT_EQ(ReadText(folder / "plain"), "here");
}

// Each case sets the folder up so that the save cannot succeed, and names the
// path to save to. The save must say so, and the folder must afterwards hold
// exactly what it held before, byte for byte: the old file whole and no
// temporary file left over.
struct FailingSave {
    const char* name;
    std::function<fs::path(const fs::path& folder)> arrange;
};

// The folder's whole tree, each entry with its content, in a fixed order.
std::vector<std::string> Snapshot(const fs::path& folder) {
    std::vector<std::string> entries;
    for (const auto& e : fs::recursive_directory_iterator(folder)) {
        const std::string name = e.path().lexically_relative(folder).string();
        if (e.is_directory()) {
            entries.push_back(name + "/");
        } else if (e.is_regular_file()) {
            entries.push_back(name + ":" + ReadText(e.path()));
        } else {
            entries.push_back(name + " (neither file nor folder)");
        }
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

TEST(SaveFileFailure, ChangesNothingAndSaysSo) {
    const FailingSave cases[] = {
        {"missing folder",
         [](const fs::path& f) {
             WriteText(f / "keep", "old");
             return f / "nowhere" / "mode";
         }},
        {"a file where the folder should be",
         [](const fs::path& f) {
             WriteText(f / "plain", "old");
             return f / "plain" / "mode";
         }},
        {"an empty directory in the way of the rename",
         [](const fs::path& f) {
             fs::create_directory(f / "mode");
             return f / "mode";
         }},
        {"a directory with files in the way of the rename",
         [](const fs::path& f) {
             fs::create_directory(f / "mode");
             WriteText(f / "mode" / "inner", "old");
             return f / "mode";
         }},
        {"a pipe of that name",
         [](const fs::path& f) {
             ::mkfifo((f / "mode").c_str(), 0600);
             return f / "mode";
         }},
        {"no file name",
         [](const fs::path& f) {
             WriteText(f / "keep", "old");
             return f / "";
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::TempFolder here;
        const fs::path target = c.arrange(here.Path());
        const auto before = Snapshot(here.Path());
        EXPECT_FALSE(SaveFileAtomically(target, Bytes(std::string(1488, 'n'))));
        EXPECT_EQ(Snapshot(here.Path()), before);
    }
}

TEST_F(SaveFile, AnUnwritableFolderKeepsTheOldFile) {
    if (::geteuid() == 0) GTEST_SKIP() << "root writes into any folder";
    WriteText(folder / "mode", "old");
    fs::permissions(folder.Path(), fs::perms::owner_read | fs::perms::owner_exec);
    const bool saved = SaveFileAtomically(folder / "mode", Bytes("new"));
    fs::permissions(folder.Path(), fs::perms::owner_all);
    EXPECT_FALSE(saved);
    EXPECT_EQ(ReadText(folder / "mode"), "old");
    EXPECT_EQ(Entries(folder.Path()), std::vector<std::string>{"mode"});
}

// A disk that fills up mid-write: the file size limit makes the write fail
// after a few bytes, as a full disk would, also for root.
TEST_F(SaveFile, AWriteThatFailsHalfwayKeepsTheOldFile) {
    WriteText(folder / "mode", "old contents");
    rlimit before{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
    const auto oldHandler = ::signal(SIGXFSZ, SIG_IGN);
    rlimit small = before;
    small.rlim_cur = 100;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved = SaveFileAtomically(folder / "mode", Bytes(std::string(1488, 'n')));
    ::setrlimit(RLIMIT_FSIZE, &before);
    ::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(saved);
    EXPECT_EQ(ReadText(folder / "mode"), "old contents");
    EXPECT_EQ(Entries(folder.Path()), std::vector<std::string>{"mode"});
}

class LoadFile : public ::testing::Test {
protected:
    testsupport::TempFolder folder;
};

TEST_F(LoadFile, ReadsFilesUpToTheCapWhole) {
    const std::string content("\x52\x41\x45\x4c\0\0", 6);
    WriteText(folder / "exact", content);
    WriteText(folder / "short", "ab");
    WriteText(folder / "empty", "");
    EXPECT_EQ(LoadWholeFile(folder / "exact", 6), Bytes(content));
    EXPECT_EQ(LoadWholeFile(folder / "short", 6), Bytes("ab"));
    EXPECT_EQ(LoadWholeFile(folder / "empty", 6), std::vector<std::uint8_t>{});
}

TEST_F(LoadFile, RefusesWhatIsLongerThanTheCapOrCannotBeRead) {
    WriteText(folder / "one over", std::string(7, 'x'));
    WriteText(folder / "huge", std::string(1 << 20, 'x'));
    fs::create_directory(folder / "folder");
    ASSERT_EQ(::mkfifo((folder / "pipe").c_str(), 0600), 0);  // no writer: a read would wait
    for (const char* name : {"one over", "huge", "folder", "pipe", "missing"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(LoadWholeFile(folder / name, 6), std::nullopt);
    }
}

TEST_F(LoadFile, ReadsBackWhatTheSaveWrote) {
    std::vector<std::uint8_t> content(522);
    for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<std::uint8_t>(i * 7);
    ASSERT_TRUE(SaveFileAtomically(folder / "table.dat", content));
    EXPECT_EQ(LoadWholeFile(folder / "table.dat", 522), content);
}

}  // namespace

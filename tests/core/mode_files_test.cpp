#include "system/mode_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

class ModeFolder : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ =
            fs::temp_directory_path() /
            ("quavix-modes-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    void Write(const std::string& name, std::size_t size) {
        std::ofstream(dir_ / name, std::ios::binary) << std::string(size, 'x');
    }
    fs::path dir_;
};

TEST_F(ModeFolder, ListsOnlyFilesOfExactlyModeSizeSortedByFullName) {
    Write("zeta", kPcModeFileSize);
    Write("alpha.bak", kPcModeFileSize);
    Write("Beta", kPcModeFileSize);
    Write("short", kPcModeFileSize - 1);
    Write("long", kPcModeFileSize + 1);
    Write("empty", 0);
    fs::create_directories(dir_ / "folder");
    const auto names = ListModeFiles(dir_.string());
    EXPECT_EQ(names, (std::vector<std::string>{"Beta", "alpha.bak", "zeta"}));
}

TEST_F(ModeFolder, KeepsTheFirstHundredByName) {
    for (int i = 0; i < 120; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "m%03d", 119 - i);
        Write(name, kPcModeFileSize);
    }
    const auto names = ListModeFiles(dir_.string());
    ASSERT_EQ(names.size(), 100u);
    EXPECT_EQ(names.front(), "m000");
    EXPECT_EQ(names.back(), "m099");
}

TEST_F(ModeFolder, MissingFolderGivesAnEmptyList) {
    EXPECT_TRUE(ListModeFiles((dir_ / "nowhere").string()).empty());
    Write("plainfile", 3);
    EXPECT_TRUE(ListModeFiles((dir_ / "plainfile").string()).empty());
}

#include "system/mode_files.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "link/command_builder.h"
#include "model/file_io.h"
#include "model/pc_mode_file.h"
#include "support/temp_folder.h"

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
    // A save cut short leaves its temporary file behind, of the full size.
    Write(".quavix-save-4242-0.tmp", kPcModeFileSize);
    Write(".quavix-save-.tmp", kPcModeFileSize);  // no save's name: listed
    const auto names = ListModeFiles(dir_.string());
    EXPECT_EQ(names, (std::vector<std::string>{".quavix-save-.tmp", "alpha.bak", "Beta", "zeta"}));
}

// As a file manager lists them: either case together, a shorter name before
// the longer one it starts, and names equal but for case by their bytes.
TEST_F(ModeFolder, SortsByNameRegardlessOfCase) {
    for (const char* name : {"beta", "Zeta", "BETA", "alpha", "b", "Beta", "_x", "\xC4\xA3"})
        Write(name, kPcModeFileSize);
    EXPECT_EQ(
        ListModeFiles(dir_.string()),
        (std::vector<std::string>{"_x", "alpha", "b", "BETA", "Beta", "beta", "Zeta", "\xC4\xA3"}));
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

namespace {

TEST(PcName, RefusalsForSaveToPc) {
    struct Case {
        std::string name;
        PcNameRefusal refusal;
    };
    const Case cases[] = {
        {"", PcNameRefusal::kEmpty},
        {"Live 1", PcNameRefusal::kNone},
        {".hidden", PcNameRefusal::kNone},
        {"...", PcNameRefusal::kNone},
        {"\xE6\xA8\xA1\xE5\xBC\x8F", PcNameRefusal::kNone},  // UTF-8 text
        {".", PcNameRefusal::kInvalidCharacter},
        {"..", PcNameRefusal::kInvalidCharacter},
        {"a/b", PcNameRefusal::kInvalidCharacter},
        {"a\\b", PcNameRefusal::kInvalidCharacter},
        {"a:b", PcNameRefusal::kInvalidCharacter},
        {"a?", PcNameRefusal::kInvalidCharacter},
        {"*", PcNameRefusal::kInvalidCharacter},
        {"<a", PcNameRefusal::kInvalidCharacter},
        {"a>", PcNameRefusal::kInvalidCharacter},
        {"a|b", PcNameRefusal::kInvalidCharacter},
        {"say \"hi\"", PcNameRefusal::kInvalidCharacter},
        {"tab\there", PcNameRefusal::kInvalidCharacter},
        {"line\n", PcNameRefusal::kInvalidCharacter},
        {std::string("nul\0", 4), PcNameRefusal::kInvalidCharacter},
        {"del\x7F", PcNameRefusal::kInvalidCharacter},
        {".quavix-save-1-2.tmp", PcNameRefusal::kInvalidCharacter},  // never listed
        {".quavix-save-1-2.tmp2", PcNameRefusal::kNone},
        // A file name from a Chinese Windows, in GBK: a character's second
        // byte may be '\' or '|' and is no character of its own.
        {"\x8A\x5C", PcNameRefusal::kNone},  // 奬
        {"\x83\x7C", PcNameRefusal::kNone},  // 億
        {"Live \x8A\x5C\x83\x7C 2", PcNameRefusal::kNone},
        {"\x80\xD6\xD0", PcNameRefusal::kNone},             // a lone euro byte, 中
        {"\xD6\xD0|", PcNameRefusal::kInvalidCharacter},    // 中 and a real '|'
        {"\xD6\xD0\\x", PcNameRefusal::kInvalidCharacter},  // 中 and a real '\'
        // UTF-8 first: 中 then a real '\', though the bytes would also pair
        // as GBK (E4 B8, AD 5C).
        {"\xE4\xB8\xAD\\", PcNameRefusal::kInvalidCharacter},
        // Neither UTF-8 nor GBK: each byte below 0x80 is a character.
        {"mix\xFF", PcNameRefusal::kNone},
        {"\xFF\xFE", PcNameRefusal::kNone},
        {"\x8A\x5C\xFF", PcNameRefusal::kInvalidCharacter},
        {"\x8A/", PcNameRefusal::kInvalidCharacter},  // '/' is no second byte
        {"\xFF?", PcNameRefusal::kInvalidCharacter},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CheckPcName(c.name), c.refusal) << "name \"" << c.name << "\"";
    }
}

class PcModeFolder : public ::testing::Test {
protected:
    void SetUp() override {
        InitParamImage(image);
        image.ParamWords[46] = 0xBEEF;  // the file-only word
        image.PowerOnMode = 10;
    }
    fs::path Folder() const { return temp / "param_dir"; }
    testsupport::TempFolder temp;
    ParamImage image;
};

TEST_F(PcModeFolder, SaveMakesTheFolderAndTheFileLoadsBack) {
    ASSERT_TRUE(SavePcModeFile(Folder(), "Live", image, ModeNameField("Live")));
    EXPECT_EQ(fs::file_size(Folder() / "Live"), 1488u);
    EXPECT_EQ(ListModeFiles(Folder().string()), std::vector<std::string>{"Live"});
    EXPECT_TRUE(PcModeFileExists(Folder(), "Live"));
    ParamImage loaded;
    InitParamImage(loaded);
    ASSERT_TRUE(LoadPcModeFile(Folder(), "Live", loaded));
    EXPECT_EQ(loaded.ParamWords[46], 0xBEEF);
    EXPECT_EQ(std::string(loaded.CurrentModeName.data()), "Live            ");
}

TEST_F(PcModeFolder, AFailedSaveKeepsTheOldFile) {
    ASSERT_TRUE(SavePcModeFile(Folder(), "Live", image, ModeNameField("Old")));
    const auto old = LoadWholeFile(Folder() / "Live", 1488);
    image.ParamBytes[6] = 0;  // an input the unit does not have
    EXPECT_FALSE(SavePcModeFile(Folder(), "Live", image, ModeNameField("New")));
    EXPECT_EQ(LoadWholeFile(Folder() / "Live", 1488), old);
}

TEST_F(PcModeFolder, NamesThatAreNoFileOfTheFolderAreNeitherSavedNorLoaded) {
    fs::create_directories(Folder() / "sub");
    EXPECT_TRUE(PcModeFileExists(Folder(), "sub"));  // asks, then fails
    EXPECT_FALSE(SavePcModeFile(Folder(), "sub", image, ModeNameField("x")));
    EXPECT_TRUE(fs::is_directory(Folder() / "sub"));
    EXPECT_FALSE(SavePcModeFile(Folder(), "../escape", image, ModeNameField("x")));
    EXPECT_FALSE(fs::exists(temp / "escape"));
    EXPECT_FALSE(SavePcModeFile(Folder(), "", image, ModeNameField("x")));
    ASSERT_TRUE(SavePcModeFile(temp.Path(), "outside", image, ModeNameField("x")));
    ParamImage loaded;
    InitParamImage(loaded);
    const ParamImage before = loaded;
    for (const char* name : {"", ".", "..", "../outside", "missing", "sub"}) {
        EXPECT_FALSE(LoadPcModeFile(Folder(), name, loaded)) << name;
    }
    EXPECT_EQ(loaded, before);
    EXPECT_FALSE(PcModeFileExists(Folder(), "missing"));
}

// A name listed from the folder is saved over and loads by its bytes,
// whatever encoding made it.
TEST_F(PcModeFolder, ListedNamesSaveAndLoadByTheirBytes) {
    const std::string names[] = {
        "\xC4\xA3\xCA\xBD",  // 模式 in GBK
        "\x8A\x5C",          // 奬 in GBK, its second byte '\'
        "\x83\x7C",          // 億 in GBK, its second byte '|'
        "mix\xFF",           // neither UTF-8 nor GBK
    };
    const auto old = PackPcModeFile(image, ModeNameField("old"));
    ASSERT_TRUE(old.has_value());
    fs::create_directories(Folder());
    for (const std::string& name : names) ASSERT_TRUE(SaveFileAtomically(Folder() / name, *old));
    const auto listed = ListModeFiles(Folder().string());
    ASSERT_EQ(listed.size(), std::size(names));
    image.PowerOnMode = 7;
    const auto packed = PackPcModeFile(image, ModeNameField("new"));
    ASSERT_TRUE(packed.has_value());
    const std::vector<std::uint8_t> now(packed->begin(), packed->end());
    for (const std::string& name : listed) {
        SCOPED_TRACE(testing::PrintToString(name));
        ASSERT_TRUE(SavePcModeFile(Folder(), name, image, ModeNameField("new")));
        EXPECT_EQ(LoadWholeFile(Folder() / name, kPcModeFileSize), now);
        ParamImage loaded;
        InitParamImage(loaded);
        EXPECT_TRUE(LoadPcModeFile(Folder(), name, loaded));
        EXPECT_EQ(loaded.PowerOnMode, 7);
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(Folder()), fs::directory_iterator()),
              std::ssize(names))
        << "no file besides them";
}

}  // namespace

// The hidden access codes: their form, whole and case-sensitive matching,
// and that the program's source never spells them out.
#include "system/access_codes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

namespace {

constexpr AccessCode kAll[] = {AccessCode::kBoost, AccessCode::kLogo, AccessCode::kWifi};

std::string ReadSource(const char* relative) {
    std::ifstream in(std::string(QUAVIX_SOURCE_DIR) + "/" + relative, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

TEST(AccessCodes, ElevenToThirteenLowerCaseLettersAndDigitsEachDistinct) {
    std::set<std::string> seen;
    for (AccessCode code : kAll) {
        const std::string text = AccessCodeText(code);
        EXPECT_GE(text.size(), 11u) << text;
        EXPECT_LE(text.size(), 13u) << text;
        for (char c : text) EXPECT_TRUE((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) << text;
        seen.insert(text);
    }
    EXPECT_EQ(seen.size(), std::size(kAll));
}

TEST(AccessCodes, MatchWholeAndCaseSensitive) {
    for (AccessCode code : kAll) {
        const std::string text = AccessCodeText(code);
        EXPECT_EQ(MatchAccessCode(text), code);
        std::string upper = text;
        for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        EXPECT_EQ(MatchAccessCode(upper), std::nullopt);
        EXPECT_EQ(MatchAccessCode(text.substr(1)), std::nullopt);
        EXPECT_EQ(MatchAccessCode(text + "1"), std::nullopt);
        EXPECT_EQ(MatchAccessCode(" " + text), std::nullopt);
    }
    EXPECT_EQ(MatchAccessCode(""), std::nullopt);
}

TEST(AccessCodes, NotSpelledOutInTheSource) {
    const std::string source = ReadSource("src/system/access_codes.cpp");
    ASSERT_FALSE(source.empty());
    for (AccessCode code : kAll) EXPECT_EQ(source.find(AccessCodeText(code)), std::string::npos);
}

// Nor anywhere else in the program or its tools.
TEST(AccessCodes, NoProgramFileSpellsThemOut) {
    int files = 0;
    for (const char* folder : {"src", "tools", "res"}) {
        const std::filesystem::path root = std::filesystem::path(QUAVIX_SOURCE_DIR) / folder;
        if (!std::filesystem::is_directory(root)) continue;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
            if (!entry.is_regular_file()) continue;
            std::ifstream in(entry.path(), std::ios::binary);
            std::ostringstream s;
            s << in.rdbuf();
            const std::string text = s.str();
            ++files;
            for (AccessCode code : kAll)
                EXPECT_EQ(text.find(AccessCodeText(code)), std::string::npos) << entry.path();
        }
    }
    EXPECT_GT(files, 50);
}

#include "system/wifi_frames.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/wifi_frame_layout.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Of(const WifiSetFrame& frame) { return Bytes(frame.begin(), frame.end()); }

using testsupport::WifiSettingLayout;

}  // namespace

TEST(WifiFrames, KeepAliveIsThreeFixedBytes) {
    EXPECT_EQ(Bytes(kWifiKeepAliveFrame.begin(), kWifiKeepAliveFrame.end()),
              (Bytes{0x04, 0x01, 0x0A}));
}

TEST(WifiFrames, SettingFramesPadFieldsWithZerosAndFullFieldsRunOn) {
    EXPECT_EQ(Of(WifiApFrame("Quavix", "12345678")), WifiSettingLayout(0x01, "Quavix", "12345678"));
    EXPECT_EQ(Of(WifiStaFrame("home", "")), WifiSettingLayout(0x02, "home", ""));

    // Both fields full: the name runs straight into the password, the
    // password straight into the end byte.
    const std::string name(32, 'N');
    const std::string password(64, 'p');
    const WifiSetFrame full = WifiApFrame(name, password);
    EXPECT_EQ(Of(full), WifiSettingLayout(0x01, name, password));
    EXPECT_EQ(full[33], 'N');
    EXPECT_EQ(full[34], 'p');
    EXPECT_EQ(full[97], 'p');

    // GBK bytes go out as they are (0xC3FB 0xB3C6: two characters).
    const std::string gbk = "\xC3\xFB\xB3\xC6";
    EXPECT_EQ(Of(WifiStaFrame(gbk, "pw")), WifiSettingLayout(0x02, gbk, "pw"));
}

TEST(WifiFrames, ChecksRunInOrderAndCountBytes) {
    struct Case {
        const char* what;
        std::uint8_t command;
        std::size_t name, password;
        WifiFieldCheck expected;
    };
    const Case cases[] = {
        {"ap fits", WIFI_CMD_SET_AP, 1, 8, WifiFieldCheck::kOk},
        {"ap both full", WIFI_CMD_SET_AP, 32, 64, WifiFieldCheck::kOk},
        {"ap name empty", WIFI_CMD_SET_AP, 0, 8, WifiFieldCheck::kNameEmpty},
        {"ap name 33", WIFI_CMD_SET_AP, 33, 8, WifiFieldCheck::kNameTooLong},
        {"ap password 7", WIFI_CMD_SET_AP, 5, 7, WifiFieldCheck::kPasswordTooShort},
        {"ap password empty", WIFI_CMD_SET_AP, 5, 0, WifiFieldCheck::kPasswordTooShort},
        {"ap password 65", WIFI_CMD_SET_AP, 5, 65, WifiFieldCheck::kPasswordTooLong},
        {"ap empty name before short password", WIFI_CMD_SET_AP, 0, 0, WifiFieldCheck::kNameEmpty},
        {"ap long name before short password", WIFI_CMD_SET_AP, 40, 3,
         WifiFieldCheck::kNameTooLong},
        {"sta password empty", WIFI_CMD_SET_STA, 4, 0, WifiFieldCheck::kOk},
        {"sta password 7", WIFI_CMD_SET_STA, 4, 7, WifiFieldCheck::kOk},
        {"sta password 65", WIFI_CMD_SET_STA, 4, 65, WifiFieldCheck::kPasswordTooLong},
        {"sta name empty", WIFI_CMD_SET_STA, 0, 0, WifiFieldCheck::kNameEmpty},
        {"sta name 33", WIFI_CMD_SET_STA, 33, 0, WifiFieldCheck::kNameTooLong},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(
            CheckWifiFields(c.command, std::string(c.name, 'a'), std::string(c.password, 'b')),
            c.expected)
            << c.what;
    }
}

TEST(WifiFrames, OnlyThreeBytesBeginning0x55AreAReply) {
    struct Case {
        Bytes read;
        bool reply;
    };
    const Case cases[] = {
        {{0x55, 0x01, 0x01}, true},
        {{0x55, 0x02, 0x00}, true},
        {{0x55, 0x01, 0x01, 0x00}, false},  // four bytes, even beginning 0x55
        {{0x55, 0x01}, false},
        {{0x54, 0x01, 0x01}, false},
        {{}, false},
    };
    for (const Case& c : cases) {
        const auto reply = ParseWifiReply(c.read.data(), c.read.size());
        ASSERT_EQ(reply.has_value(), c.reply) << testing::PrintToString(c.read);
        if (!reply) continue;
        EXPECT_EQ(reply->command, c.read[1]);
        EXPECT_EQ(reply->status, c.read[2]);
    }
}

TEST(WifiFrames, ReplyTextsByStatusAndLanguage) {
    EXPECT_STREQ(WifiReplyText({WIFI_CMD_SET_STA, 1}, 0), "OK");
    EXPECT_STREQ(WifiReplyText({WIFI_CMD_SET_STA, 1}, 1), "设置成功");
    // Anything but 1 is a failure.
    for (std::uint8_t status : {0, 2, 0xFF}) {
        EXPECT_STREQ(WifiReplyText({WIFI_CMD_SET_AP, status}, 0), "Setting error");
        EXPECT_STREQ(WifiReplyText({WIFI_CMD_SET_AP, status}, 1), "设置失败");
    }
}

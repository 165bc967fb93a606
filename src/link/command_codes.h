#pragma once
// The unit's command codes. A reply carries the code of the command it
// answers; the WM_SEND_COMMAND wParam is the code.
#include <cstdint>

constexpr std::uint8_t CMD_SELECT_MODE = 0x01;
constexpr std::uint8_t CMD_MUSIC_SETTINGS = 0x02;
constexpr std::uint8_t CMD_EQ_BAND = 0x03;
constexpr std::uint8_t CMD_EQ_RESET = 0x04;
constexpr std::uint8_t CMD_MIC_SETTINGS = 0x05;
constexpr std::uint8_t CMD_AUTO_AUDIO_INPUT = 0x06;
constexpr std::uint8_t CMD_AUTO_VIDEO_INPUT = 0x07;
constexpr std::uint8_t CMD_UNLOCK_FLAGS = 0x08;
constexpr std::uint8_t CMD_EFFECT_VOLUME = 0x09;
constexpr std::uint8_t CMD_EFFECT_INIT_VOLUME = 0x0A;
constexpr std::uint8_t CMD_REVERB_SETTINGS = 0x0B;
constexpr std::uint8_t CMD_ECHO_SETTINGS = 0x0D;
constexpr std::uint8_t CMD_OUTPUT_CHANNEL = 0x0E;
constexpr std::uint8_t CMD_PARAM_FLAGS = 0x0F;
constexpr std::uint8_t CMD_PASS_FILTER = 0x11;
constexpr std::uint8_t CMD_RESET_ALL = 0x14;
// The mass-save step: the unit answers it, but no payload for it is known,
// so nothing is ever sent for it.
constexpr std::uint8_t CMD_MASS_SAVE_STEP = 0x16;
constexpr std::uint8_t CMD_SET_LOGO = 0x17;
constexpr std::uint8_t CMD_TEST_SIGNAL = 0x1B;
constexpr std::uint8_t CMD_HANDSHAKE = 0x1C;
constexpr std::uint8_t CMD_SW_MODE = 0x22;
constexpr std::uint8_t CMD_LOCK_KEY = 0x2B;
constexpr std::uint8_t CMD_LOCK_PASSWORD = 0x2C;
constexpr std::uint8_t CMD_ADMIN_MODE = 0x2D;
constexpr std::uint8_t CMD_ADMIN_PASSWORD = 0x2E;
constexpr std::uint8_t CMD_BOOST_ENABLE = 0x30;
constexpr std::uint8_t CMD_BOOST_BAND = 0x31;
constexpr std::uint8_t CMD_BOOST_READ = 0x32;
constexpr std::uint8_t CMD_BOOST_SAVE = 0x33;
constexpr std::uint8_t CMD_WIFI_MODULE = 0x37;
constexpr std::uint8_t CMD_MAIN_TOGGLES = 0x38;
constexpr std::uint8_t CMD_SURROUND2_VOLUME = 0x39;
constexpr std::uint8_t CMD_ECHO_TYPE = 0x3A;
constexpr std::uint8_t CMD_POWER_ON_MODE = 0x3B;
constexpr std::uint8_t CMD_MIC_EQ_LINK = 0x3C;
constexpr std::uint8_t CMD_SYSTEM_MODE = 0x3D;
constexpr std::uint8_t CMD_SPEAKER_SIZE = 0x3E;
constexpr std::uint8_t CMD_READ_HEADER = 0x3F;
constexpr std::uint8_t CMD_READ_BLOCK = 0x40;
constexpr std::uint8_t CMD_MODE_UPLOAD_START = 0x41;
constexpr std::uint8_t CMD_MODE_UPLOAD_DATA = 0x42;
constexpr std::uint8_t CMD_MODE_UPLOAD_END = 0x43;
constexpr std::uint8_t CMD_LEARN = 0x44;
constexpr std::uint8_t CMD_LEARN_TABLE = 0x47;
constexpr std::uint8_t CMD_VIDEO2_INPUT = 0x48;
constexpr std::uint8_t CMD_BAND_ENABLE = 0x49;

// Whether any frame of the code can be built: not for a code the unit
// answers but whose payload is not known.
constexpr bool CommandFrameKnown(unsigned code) { return code != CMD_MASS_SAVE_STEP; }

// Byte 3 of the handshake reply data, and bytes 1..4 of the block header.
constexpr std::uint8_t DEVICE_TYPE_ID = 0x13;

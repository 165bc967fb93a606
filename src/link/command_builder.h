#pragma once
// The command builder: every WM_SEND_COMMAND of the main window becomes one
// request to the unit, its payload read from the parameter image when the
// message is handled (the sender stored the value first). Most codes are
// generic: payload plus one pad byte; each is a change that a newer one of
// its own replaces while it waits (the newer one going last), or a request
// that keeps its turn. The boost save, the three mode-upload steps and the
// learn table are built whole, carry four trailing bytes and have reply
// time-outs of their own.
//
// Pad and trailing bytes are always 0. An argument outside its table
// (slot, band, channel, pass filter, EQ module, boost target, speaker,
// baud rate) sends nothing.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "link/command_link.h"
#include "link/param_block.h"
#include "model/messages.h"
#include "model/param_image.h"
#include "model/ui_text.h"

// The mode upload under way: the ModeRecord and how far its transfer is.
// The builder fills it with 0x41 and sends it in 0x42 chunks; the reply
// decoder moves the chain on.
struct ModeUpload {
    static constexpr int kChunk = 60;

    std::array<std::uint8_t, kModeRecordSize> record{};
    int length = 0;  // 890 once a record is built
    int offset = 0;  // bytes already handed to 0x42 frames
    // The 0x41 argument: the slot 0..9, bit 7 set for a mode from a PC file.
    std::uint8_t slot = 0;
    // The power-on mode the end step carries, checked when the upload began.
    std::uint8_t powerOnMode = 0;
};

// The 16 characters of a mode name as the unit stores them, from the text
// of the system page's mode-name edit (UTF-8): at most 16 characters, each
// one outside 32..122 and every place after the end a blank.
std::array<char, kModeNameLength> ModeNameField(const std::string& utf8);

class CommandBuilder {
public:
    // Reply time-outs of the direct frames, in link ticks (USB, WiFi).
    static constexpr int kUploadUsbTimeout = 100;
    static constexpr int kUploadWifiTimeout = 130;
    static constexpr int kShortTimeout = 50;  // boost save, learn table

    struct Hooks {
        // A pre-step lowered a volume to its maximum: column 0 music,
        // 1 microphone; the main slider and its text show the value.
        std::function<void(int column, int value)> mainVolume;
        // The text of the system page's mode-name edit.
        std::function<std::string()> modeNameText;
        // A mode name changed: the system page refills its user-mode list.
        std::function<void()> userModesChanged;
        // A mode upload was not sent, and why (the power-on mode read from
        // the unit for kPowerOnMode); nothing has changed.
        std::function<void(UploadRefusal why, int powerOnMode)> uploadRefused;
    };

    CommandBuilder(ParamImage& image, CommandLink& link) : image_(image), link_(link) {}

    // WM_SEND_COMMAND (code, argument). False when it sends nothing: the link
    // is down, an argument is outside its table, or the link did not take
    // the request. True once the link has taken it (a change may still be
    // dropped for a newer one of its own).
    bool OnSendCommand(unsigned code, LPARAM argument);
    // Why a mode upload would be refused now; nullopt when it would go.
    std::optional<UploadRefusal> UploadRefusalNow() const;

    ModeUpload& Upload() { return upload_; }
    const ModeUpload& Upload() const { return upload_; }

    Hooks hooks;

    // The staging buffer of one request: payload, then pad or trailing bytes.
    struct Payload {
        std::array<std::uint8_t, 600> bytes{};
        int length = 0;
        void Put8(int v) {
            bytes[static_cast<std::size_t>(length++)] = static_cast<std::uint8_t>(v);
        }
        void Put16(int v) {
            Put8(v & 0xFF);
            Put8((v >> 8) & 0xFF);
        }
        void Put32(std::uint32_t v) {
            for (int i = 0; i < 4; ++i) Put8(static_cast<int>((v >> (8 * i)) & 0xFF));
        }
        void PutBand(const EqBand& band);
        void PutBytes(const std::uint8_t* p, int n) {
            for (int i = 0; i < n; ++i) Put8(p[i]);
        }
        void Pad(int n) {
            for (int i = 0; i < n; ++i) Put8(0);
        }
    };

private:
    bool Ktv() const { return image_.ParamBytes[kSystemModeByte] == 0; }
    void PreStep(unsigned code);
    // A generic code's payload and pad; false when nothing is to be sent.
    bool BuildGeneric(unsigned code, LPARAM argument, Payload& out);
    // Codes built whole: whether the link took the request; nullopt when
    // the code is not one of them.
    std::optional<bool> SendDirect(unsigned code, LPARAM argument);
    bool StartModeUpload(LPARAM argument);
    bool BuildModeUploadData(Payload& out);

    ParamImage& image_;
    CommandLink& link_;
    ModeUpload upload_;
};

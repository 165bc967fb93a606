#include "app/input_rows.h"

#include "link/command_codes.h"

namespace {

// Where the unit keeps the inputs: the audio input of KTV (1 AUTO .. 10 HDMI4)
// and of cinema and auto (0 COAX .. 5 HDMI4), the video inputs (0 HDMI1 ..
// 3 HDMI4) of both sets, and the second video input of both sets.
constexpr std::size_t kAudioKtv = 6;
constexpr std::size_t kAudioCinema = 108;
constexpr std::size_t kVideoKtv = 153;
constexpr std::size_t kVideoCinema = 154;
constexpr std::size_t kVideo2Ktv = 94;
constexpr std::size_t kVideo2Cinema = 95;

// The KTV audio input of the first HDMI input.
constexpr int kKtvFirstHdmi = 7;
// The cinema audio input of the first HDMI input.
constexpr int kCinemaFirstHdmi = 2;

constexpr int kCinemaInputs = 6;

bool InRow(int index, int count) { return index >= 0 && index < count; }

}  // namespace

InputKind InputRows::KindOf(int systemMode) {
    if (systemMode == 0) return kInputKtv;
    if (systemMode == 1) return kInputCinema;
    return kInputAuto;
}

InputKind InputRows::Kind() const { return KindOf(image_.ParamBytes[kSystemModeByte]); }

void InputRows::SetRequested(InputRowId row, InputKind kind, int index) {
    if (row >= 0 && row < kInputRowCount && kind >= 0 && kind < kInputKindCount)
        requested_[row][kind] = index;
}

void InputRows::Load() {
    const auto& b = image_.ParamBytes;
    if (Kind() == kInputAuto) {
        requested_[kInputAudio][kInputAuto] = requested_[kInputAudio][kInputCinema] =
            b[kAudioCinema];
        requested_[kInputAudio][kInputKtv] = b[kAudioCinema] + kFirstDigitalButton;
        requested_[kInputVideo][kInputAuto] = requested_[kInputVideo][kInputCinema] =
            b[kVideoCinema];
    } else {
        requested_[kInputAudio][kInputKtv] = b[kAudioKtv] - 1;
        requested_[kInputAudio][kInputCinema] = b[kAudioCinema];
        requested_[kInputVideo][kInputKtv] = b[kVideoKtv];
        requested_[kInputVideo][kInputCinema] = b[kVideoCinema];
    }
    requested_[kInputVideo2][kInputKtv] = b[kVideo2Ktv];
    requested_[kInputVideo2][kInputCinema] = b[kVideo2Cinema];
}

void InputRows::VideoFollows(InputKind kind, int index) {
    requested_[kInputVideo][kind] = index;
    if (index == shown_[kInputVideo][kind]) return;
    shown_[kInputVideo][kind] = index;
    checked_[kInputVideo] = index;
}

void InputRows::AudioFollows(InputKind kind, int index, int button) {
    requested_[kInputAudio][kind] = index;
    if (index == shown_[kInputAudio][kind]) return;
    shown_[kInputAudio][kind] = index;
    checked_[kInputAudio] = button;
}

std::optional<InputCommand> InputRows::SelectA(bool force) {
    auto& b = image_.ParamBytes;
    int* req = requested_[kInputAudio];
    int* shown = shown_[kInputAudio];
    switch (Kind()) {
        case kInputKtv: {
            const int k = req[kInputKtv];
            const bool valid = InRow(k, kAudioButtons);
            if (k != shown[kInputKtv] || force) {
                shown[kInputKtv] = k;
                checked_[kInputAudio] = valid ? k : -1;
            }
            if (force || !valid || b[kAudioKtv] == k + 1) return std::nullopt;
            b[kAudioKtv] = static_cast<std::uint8_t>(k + 1);
            if (b[kAudioKtv] >= kKtvFirstHdmi) {
                b[kVideoKtv] = static_cast<std::uint8_t>(b[kAudioKtv] - kKtvFirstHdmi);
                VideoFollows(kInputKtv, b[kVideoKtv]);
            }
            return InputCommand{CMD_MUSIC_SETTINGS, 0};
        }
        case kInputCinema: {
            const int c = req[kInputCinema];
            const bool valid = InRow(c, kCinemaInputs);
            if (c != shown[kInputCinema] || force) {
                shown[kInputCinema] = c;
                checked_[kInputAudio] = valid ? c + kFirstDigitalButton : -1;
            }
            if (force || !valid || b[kAudioCinema] == c) return std::nullopt;
            b[kAudioCinema] = static_cast<std::uint8_t>(c);
            if (c >= kCinemaFirstHdmi) {
                b[kVideoCinema] = static_cast<std::uint8_t>(c - kCinemaFirstHdmi);
                VideoFollows(kInputCinema, b[kVideoCinema]);
            }
            return InputCommand{CMD_MUSIC_SETTINGS, 0};
        }
        case kInputAuto:
        case kInputKindCount:
            break;
    }
    // Auto: one input for both sets, shown in every kind's indexes.
    const int a = req[kInputAuto];
    const bool valid = InRow(a, kCinemaInputs);
    if (a != shown[kInputAuto] || force) {
        shown[kInputAuto] = req[kInputCinema] = shown[kInputCinema] = a;
        req[kInputKtv] = shown[kInputKtv] = a + kFirstDigitalButton;
        checked_[kInputAudio] = valid ? a + kFirstDigitalButton : -1;
    }
    if (force || !valid) return std::nullopt;
    if (b[kAudioKtv] == a + InputRows::kKtvCoax && b[kAudioCinema] == a) return std::nullopt;
    b[kAudioKtv] = static_cast<std::uint8_t>(a + InputRows::kKtvCoax);
    b[kAudioCinema] = static_cast<std::uint8_t>(a);
    if (a >= kCinemaFirstHdmi) {
        const int h = a - kCinemaFirstHdmi;
        b[kVideoCinema] = static_cast<std::uint8_t>(h);
        requested_[kInputVideo][kInputAuto] = h;
        if (h != shown_[kInputVideo][kInputAuto]) {
            for (int kind = 0; kind < kInputKindCount; ++kind)
                requested_[kInputVideo][kind] = shown_[kInputVideo][kind] = h;
            checked_[kInputVideo] = h;
        }
    }
    return InputCommand{CMD_AUTO_AUDIO_INPUT, a};
}

std::optional<InputCommand> InputRows::SelectB(bool force) {
    auto& b = image_.ParamBytes;
    int* req = requested_[kInputVideo];
    int* shown = shown_[kInputVideo];
    const InputKind kind = Kind();
    const int h = req[kind];
    const bool valid = InRow(h, kVideoButtons);
    if (kind == kInputAuto) {
        if (h != shown[kInputAuto] || force) {
            for (int k = 0; k < kInputKindCount; ++k) req[k] = shown[k] = h;
            checked_[kInputVideo] = valid ? h : -1;
        }
        if (force || !valid) return std::nullopt;
        if (b[kVideoCinema] == h && b[kVideoKtv] == h) return std::nullopt;
        b[kVideoCinema] = b[kVideoKtv] = static_cast<std::uint8_t>(h);
        if (b[kAudioCinema] >= kCinemaFirstHdmi) {
            const int a = h + kCinemaFirstHdmi;
            b[kAudioCinema] = static_cast<std::uint8_t>(a);
            int* audioReq = requested_[kInputAudio];
            int* audioShown = shown_[kInputAudio];
            audioReq[kInputAuto] = a;
            if (a != audioShown[kInputAuto]) {
                audioShown[kInputAuto] = audioReq[kInputCinema] = audioShown[kInputCinema] = a;
                audioReq[kInputKtv] = audioShown[kInputKtv] = a + kFirstDigitalButton;
                checked_[kInputAudio] = a + kFirstDigitalButton;
            }
        }
        return InputCommand{CMD_AUTO_VIDEO_INPUT, h};
    }
    if (h != shown[kind] || force) {
        shown[kind] = h;
        checked_[kInputVideo] = valid ? h : -1;
    }
    if (force || !valid) return std::nullopt;
    if (kind == kInputKtv) {
        if (b[kVideoKtv] == h) return std::nullopt;
        b[kVideoKtv] = static_cast<std::uint8_t>(h);
        if (b[kAudioKtv] >= kKtvFirstHdmi) {
            b[kAudioKtv] = static_cast<std::uint8_t>(h + kKtvFirstHdmi);
            AudioFollows(kInputKtv, h + kKtvFirstHdmi - 1, h + kKtvFirstHdmi - 1);
        }
    } else {
        if (b[kVideoCinema] == h) return std::nullopt;
        b[kVideoCinema] = static_cast<std::uint8_t>(h);
        if (b[kAudioCinema] >= kCinemaFirstHdmi) {
            const int c = h + kCinemaFirstHdmi;
            b[kAudioCinema] = static_cast<std::uint8_t>(c);
            AudioFollows(kInputCinema, c, c + kFirstDigitalButton);
        }
    }
    return InputCommand{CMD_MUSIC_SETTINGS, 0};
}

std::optional<InputCommand> InputRows::SelectC(bool force) {
    const InputKind kind = Kind();
    // The auto kind has no second video input.
    if (kind == kInputAuto) return std::nullopt;
    const int v = requested_[kInputVideo2][kind];
    const bool valid = InRow(v, kVideoButtons);
    if (v != shown_[kInputVideo2][kind] || force) {
        shown_[kInputVideo2][kind] = v;
        checked_[kInputVideo2] = valid ? v : -1;
    }
    if (force || !valid) return std::nullopt;
    std::uint8_t& stored = image_.ParamBytes[kind == kInputKtv ? kVideo2Ktv : kVideo2Cinema];
    if (stored == v) return std::nullopt;
    stored = static_cast<std::uint8_t>(v);
    return InputCommand{CMD_VIDEO2_INPUT, 0};
}

std::optional<InputCommand> InputRows::OnAudioButton(int button) {
    if (!InRow(button, kAudioButtons)) return std::nullopt;
    const InputKind kind = Kind();
    if (button < kFirstDigitalButton) {
        if (kind != kInputKtv) return std::nullopt;
        requested_[kInputAudio][kInputKtv] = button;
    } else if (kind == kInputKtv) {
        requested_[kInputAudio][kInputKtv] = button;
    } else {
        requested_[kInputAudio][kind] = button - kFirstDigitalButton;
    }
    return SelectA(false);
}

std::optional<InputCommand> InputRows::OnVideoButton(int button) {
    if (!InRow(button, kVideoButtons)) return std::nullopt;
    requested_[kInputVideo][Kind()] = button;
    return SelectB(false);
}

std::optional<InputCommand> InputRows::OnVideo2Button(int button) {
    const InputKind kind = Kind();
    if (!InRow(button, kVideoButtons) || kind == kInputAuto) return std::nullopt;
    requested_[kInputVideo2][kind] = button;
    return SelectC(false);
}

std::optional<InputCommand> InputRows::OnComboPick(int selection) {
    auto& b = image_.ParamBytes;
    const InputKind kind = Kind();
    int* req = requested_[kInputAudio];
    int* shown = shown_[kInputAudio];
    bool changed = false;
    if (kind == kInputKtv) {
        if (!InRow(selection, kKtvComboItems)) return std::nullopt;
        changed = b[kAudioKtv] != selection + 1;
        b[kAudioKtv] = static_cast<std::uint8_t>(selection + 1);
        req[kInputKtv] = shown[kInputKtv] = selection;
        checked_[kInputAudio] = selection;
    } else {
        if (!InRow(selection, kCinemaComboItems)) return std::nullopt;
        changed = b[kAudioCinema] != selection;
        b[kAudioCinema] = static_cast<std::uint8_t>(selection);
        req[kInputCinema] = shown[kInputCinema] = selection;
        if (kind == kInputAuto) {
            req[kInputAuto] = shown[kInputAuto] = selection;
            req[kInputKtv] = shown[kInputKtv] = selection + kFirstDigitalButton;
        }
        checked_[kInputAudio] = selection + kFirstDigitalButton;
    }
    if (!changed) return std::nullopt;
    return InputCommand{CMD_MUSIC_SETTINGS, 0};
}

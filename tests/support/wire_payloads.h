#pragma once
// The payloads of the settings frames as the unit reads them, worked out
// from the parameter image by the wire layout (not by the product's
// builder): what a test expects at the emulator after a control's change.
#include <initializer_list>

#include "model/param_image.h"
#include "support/connected_main.h"

namespace testsupport {

inline Bytes BytesPayload(const ParamImage& i, std::initializer_list<int> bytes) {
    Bytes p;
    for (int b : bytes) p.push_back(i.ParamBytes[static_cast<std::size_t>(b)]);
    return p;
}

// Music settings: the KTV list, or the cinema one in the cinema and auto kinds.
inline Bytes MusicPayload(const ParamImage& i) {
    return i.ParamBytes[kSystemModeByte] == 0
               ? BytesPayload(i, {0, 3, 4, 6, 22, 23, 24, 25, 9, 150, 151, 153})
               : BytesPayload(i, {109, 108, 149, 154});
}
inline Bytes MicPayload(const ParamImage& i) {
    return BytesPayload(i, {1, 10, 11, 14, 26, 101, 12, 13});
}
// The unit takes a fixed 50 in the fifth place.
inline Bytes ReverbPayload(const ParamImage& i) {
    Bytes p = BytesPayload(i, {79, 80, 81, 82});
    p.push_back(50);
    p.push_back(i.ParamBytes[84]);
    for (int u : {24, 25, 28, 29}) Put16(p, i.ParamWords[static_cast<std::size_t>(u)]);
    return p;
}
inline Bytes EchoPayload(const ParamImage& i) {
    Bytes p = BytesPayload(i, {85, 86, 87, 88, 89, 90, 91, 92, 93});
    for (int u : {26, 27, 30, 31, 32, 33}) Put16(p, i.ParamWords[static_cast<std::size_t>(u)]);
    return p;
}
// The dance-mode switch (ParamFlags bit 27) and its four bytes.
inline Bytes SwModePayload(const ParamImage& i) {
    Bytes p{static_cast<std::uint8_t>((i.ParamFlags >> 27) & 1)};
    for (int b : {96, 97, 98, 99}) p.push_back(i.ParamBytes[static_cast<std::size_t>(b)]);
    return p;
}

// The output-channel block: the channel, its level and compressor bytes
// (KTV: both volumes, the four mixers, the compressor; cinema: both volumes
// and the compressor), its delay and the pair's second delay (0 for the
// one-output channels).
struct ChannelLayout {
    int channel;
    int firstByte[2];
    int delayWord[2];
    int pairWord[2];  // -1: none
};
constexpr ChannelLayout kChannelLayouts[] = {
    {0, {27, 116}, {34, 40}, {35, 41}},
    {2, {41, 124}, {36, 42}, {37, 43}},
    {4, {55, 132}, {38, 44}, {-1, -1}},
    {5, {67, 140}, {39, 45}, {-1, -1}},
};
inline Bytes OutputChannelPayload(const ParamImage& i, int channel) {
    const int set = i.ParamBytes[kSystemModeByte] == 0 ? 0 : 1;
    for (const ChannelLayout& l : kChannelLayouts) {
        if (l.channel != channel) continue;
        Bytes p{static_cast<std::uint8_t>(channel)};
        for (int k = 0; k < (set ? 6 : 10); ++k)
            p.push_back(i.ParamBytes[static_cast<std::size_t>(l.firstByte[set] + k)]);
        Put16(p, i.ParamWords[static_cast<std::size_t>(l.delayWord[set])]);
        Put16(p, l.pairWord[set] < 0 ? 0 : i.ParamWords[static_cast<std::size_t>(l.pairWord[set])]);
        return p;
    }
    return {};
}

}  // namespace testsupport

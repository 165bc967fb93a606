#include "link/wire_band.h"

void PackWireBand(const EqBand& band, std::uint8_t* out) {
    std::uint16_t w = static_cast<std::uint16_t>(((band.type & 0x07) << 12) | (band.q & 0x0FFF));
    int gain = band.gain;
    if (gain < 0) {
        w |= 0x8000;
        gain = -gain;
    }
    out[0] = static_cast<std::uint8_t>(band.frequency & 0xFF);
    out[1] = static_cast<std::uint8_t>(band.frequency >> 8);
    out[2] = static_cast<std::uint8_t>(w & 0xFF);
    out[3] = static_cast<std::uint8_t>(w >> 8);
    out[4] = static_cast<std::uint8_t>(gain & 0xFF);
}

EqBand UnpackWireBand(const std::uint8_t* in) {
    EqBand band{};
    band.frequency = static_cast<std::uint16_t>(in[0] | (in[1] << 8));
    band.type = static_cast<std::uint8_t>((in[3] >> 4) & 0x07);
    band.q = static_cast<std::uint16_t>(((in[3] & 0x0F) << 8) | in[2]);
    band.gain = static_cast<std::int16_t>((in[3] & 0x80) ? -in[4] : in[4]);
    band.slope = 0;
    return band;
}

std::uint8_t* PackEqBands(const EqBand* source, int count, std::uint8_t* destination) {
    for (int i = 0; i < count; ++i) {
        PackWireBand(source[i], destination);
        destination += kWireBandSize;
    }
    return destination;
}

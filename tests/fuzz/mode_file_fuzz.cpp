// The PC mode file loader fed arbitrary bytes as a file's content: nothing
// may crash; a refused file leaves the image as it was; an accepted one,
// given back the live volumes the load kept aside, packs back to exactly the
// bytes that were checked (the bytes outside the checksum are written as
// zero, so they are left out of the comparison).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "model/pc_mode_file.h"

namespace {

constexpr std::size_t kLiveVolumes[] = {0, 1, 2, 109};

bool SameBytes(const void* a, const void* b, std::size_t n) { return std::memcmp(a, b, n) == 0; }

bool SameModeAreas(const ParamImage& a, const ParamImage& b) {
    return a.ParamBytes == b.ParamBytes && a.ParamWords == b.ParamWords &&
           SameBytes(&a.MusicEqBands, &b.MusicEqBands, sizeof a.MusicEqBands) &&
           SameBytes(&a.Mic1EqBands, &b.Mic1EqBands, sizeof a.Mic1EqBands) &&
           SameBytes(&a.Mic2EqBands, &b.Mic2EqBands, sizeof a.Mic2EqBands) &&
           SameBytes(&a.MasterEqBands, &b.MasterEqBands, sizeof a.MasterEqBands) &&
           SameBytes(&a.SurroundEqBands, &b.SurroundEqBands, sizeof a.SurroundEqBands) &&
           SameBytes(&a.CentreEqBands, &b.CentreEqBands, sizeof a.CentreEqBands) &&
           SameBytes(&a.SubwooferEqBands, &b.SubwooferEqBands, sizeof a.SubwooferEqBands) &&
           SameBytes(&a.ReverbEqBands, &b.ReverbEqBands, sizeof a.ReverbEqBands) &&
           SameBytes(&a.EchoEqBands, &b.EchoEqBands, sizeof a.EchoEqBands) &&
           a.ParamFlags == b.ParamFlags && a.CinemaParamFlags == b.CinemaParamFlags &&
           a.CurrentModeName == b.CurrentModeName && a.BandEnableMasks == b.BandEnableMasks &&
           a.PowerOnMode == b.PowerOnMode;
}

bool Checked(std::size_t i) { return i < 4 || (i >= 8 && i <= 1468) || i == 1485; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ParamImage image;
    InitParamImage(image);
    for (std::size_t live : kLiveVolumes)
        image.ParamBytes[live] = static_cast<std::uint8_t>(200 + live);
    const ParamImage before = image;
    if (!UnpackPcModeFile({data, size}, image)) {
        if (!SameModeAreas(image, before)) std::abort();
        return 0;
    }
    for (std::size_t live : kLiveVolumes) {
        if (image.ParamBytes[live] != before.ParamBytes[live]) std::abort();
        image.ParamBytes[live] = data[8 + live];
    }
    ModeName name;
    std::memcpy(name.data(), data + 1432, name.size());
    const auto packed = PackPcModeFile(image, name);
    if (!packed) std::abort();
    for (std::size_t i = 0; i < size; ++i) {
        if (Checked(i) && (*packed)[i] != data[i]) std::abort();
    }
    CapLiveVolumes(image);
    return 0;
}

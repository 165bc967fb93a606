// The boost preset loader fed arbitrary bytes as a file's content: nothing
// may crash; a refused file leaves the image as it was; an accepted one
// packs back to exactly the bytes that were loaded.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "model/boost_preset_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ParamImage image;
    InitParamImage(image);
    image.BoostEnableFlags = 0x1234;  // higher bits a load must clear
    const ParamImage before = image;
    if (!UnpackBoostPreset({data, size}, image)) {
        if (std::memcmp(image.BoostBands.data(), before.BoostBands.data(),
                        sizeof image.BoostBands) != 0 ||
            image.BoostEnableFlags != before.BoostEnableFlags) {
            std::abort();
        }
        return 0;
    }
    const auto packed = PackBoostPreset(image);
    if (!packed || packed->size() != size || std::memcmp(packed->data(), data, size) != 0) {
        std::abort();
    }
    return 0;
}

// The learn table loader fed arbitrary bytes as a file's content: nothing
// may crash; a refused file leaves the codes and the baud rate as they were;
// an accepted one packs back to exactly the bytes that were loaded.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "model/learn_table_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ParamImage image;
    InitParamImage(image);
    ClearLearnArea(image);
    image.LearnCodes[4] = LearnCode{2, 0xC0, 0xC1};
    image.BaudIndex = 3;
    const ParamImage before = image;
    if (!UnpackLearnTable({data, size}, image)) {
        if (image.LearnCodes != before.LearnCodes || image.BaudIndex != before.BaudIndex) {
            std::abort();
        }
        return 0;
    }
    const auto packed = PackLearnTable(image);
    if (!packed || packed->size() != size || std::memcmp(packed->data(), data, size) != 0) {
        std::abort();
    }
    return 0;
}

#include "support/test_paths.h"

namespace testsupport {

std::string SourceDir() { return QUAVIX_SOURCE_DIR; }
std::string BinaryDir() { return QUAVIX_BINARY_DIR; }

}  // namespace testsupport

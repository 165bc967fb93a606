#pragma once
#include <string>

namespace testsupport {

// The source and build folders, for tests that read res/ or run a tool.
std::string SourceDir();
std::string BinaryDir();

}  // namespace testsupport

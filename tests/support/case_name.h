#pragma once
// Readable names for parameterised test cases, from each case's `what`.
#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace testsupport {

template <class T>
std::string CaseName(const ::testing::TestParamInfo<T>& info) {
    std::string name;
    for (char c : std::string(info.param.what))
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
}

}  // namespace testsupport

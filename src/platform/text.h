#pragma once
// UI texts are UTF-8; the unit and some files carry GBK (cp936) bytes.
#include <string>

namespace platform {

std::string GbkToUtf8(const std::string& gbk);
std::string Utf8ToGbk(const std::string& utf8);
// True when every character of the UTF-8 text has a GBK form, so that
// Utf8ToGbk puts no '?' in place of one.
bool FitsGbk(const std::string& utf8);

}  // namespace platform

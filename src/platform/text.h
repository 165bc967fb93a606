#pragma once
// UI texts are UTF-8; the unit and some files carry GBK (cp936) bytes.
#include <string>

namespace platform {

std::string GbkToUtf8(const std::string& gbk);
std::string Utf8ToGbk(const std::string& utf8);
// True when every character of the UTF-8 text has a GBK form, so that
// Utf8ToGbk puts no '?' in place of one.
bool FitsGbk(const std::string& utf8);
// A file name's bytes as text to show (UTF-8): as they are when they are
// UTF-8, else decoded as GBK (a name written on a Chinese Windows) when
// they are GBK, else UTF-8 with each bad byte shown as '?'.
std::string FileNameText(const std::string& bytes);

}  // namespace platform

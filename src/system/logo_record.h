#pragma once
// The logo the unit shows on its display: two lines of 20 GBK bytes.
#include <array>
#include <cstdint>
#include <string>

constexpr std::size_t kLogoLineBytes = 20;
// Flag (1 set, 0 clear), line 1, line 2; both lines blank-padded, no
// terminator.
constexpr std::size_t kLogoRecordSize = 1 + 2 * kLogoLineBytes;
using LogoRecord = std::array<std::uint8_t, kLogoRecordSize>;

// At most maxBytes of a GBK text, cut before a two-byte character that would
// not fit whole.
std::string CutGbk(const std::string& gbk, std::size_t maxBytes);

// The record that sets the two lines (GBK bytes; longer ones are cut).
LogoRecord SetLogoRecord(const std::string& gbkLine1, const std::string& gbkLine2);
// The record that clears the logo: flag 0, both lines blank.
LogoRecord ClearLogoRecord();

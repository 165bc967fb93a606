#pragma once
// A locale whose decimal point is ',', for showing that numbers read and print
// the same in every locale: an installed one, else one built with localedef
// into the build tree. The guard puts "C" back when it goes.
#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace testsupport {

// False when no such locale can be had.
inline bool UseCommaLocale() {
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "ru_RU.UTF-8"}) {
        if (std::setlocale(LC_ALL, name) != nullptr) return true;
    }
    const std::filesystem::path dir = std::filesystem::path(QUAVIX_BINARY_DIR) / "test_locales";
    std::filesystem::create_directories(dir);
    const std::string command =
        "localedef -i de_DE -f UTF-8 '" + (dir / "de_DE.UTF-8").string() + "' >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0 && !std::filesystem::exists(dir / "de_DE.UTF-8")) {
        return false;
    }
    setenv("LOCPATH", dir.c_str(), 1);
    return std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
}

struct CLocaleAfter {
    ~CLocaleAfter() { std::setlocale(LC_ALL, "C"); }
};

}  // namespace testsupport

#include "system/user_modes.h"

namespace {

constexpr int kFirstNameByte = 32;
constexpr int kLastNameByte = 122;

bool NameByte(unsigned char c) { return c >= kFirstNameByte && c <= kLastNameByte; }

struct TextPair {
    UserModeText which;
    const char* english;
    const char* chinese;
};
constexpr TextPair kTexts[] = {
    {UserModeText::kNotAdmin, "must be in admin mode", "必须处于管理模式才能存储"},
    {UserModeText::kBadName, "Invalide charater in mode name", "模式名称含有非法字符"},
    {UserModeText::kWarning, "Warning", "警告"},
    {UserModeText::kResetAll, "Reset all ?", "清除所有模式?"},
};

}  // namespace

std::string UserModeListName(const ModeName& name) {
    std::string out;
    for (char c : name) {
        if (!NameByte(static_cast<unsigned char>(c))) break;
        out.push_back(c);
    }
    // A stored name is blank-padded to its 16 bytes.
    out.erase(out.find_last_not_of(' ') + 1);
    return out;
}

std::string UserModeItem(int slot, const ModeName& name) {
    return UserModePlaceholder(slot) + " " + UserModeListName(name);
}

std::string UserModePlaceholder(int slot) { return std::to_string(slot + 1) + " -"; }

std::string UserModeEditName(const ModeName& name) {
    std::string out;
    for (char c : name) {
        if (c == '\0') break;
        out.push_back(c);
    }
    return out;
}

std::string TrimCurrentModeName(ParamImage& image) {
    auto& name = image.CurrentModeName;
    for (std::size_t i = name.size(); i-- > 0;) {
        if (name[i] != ' ' && name[i] != '\0') break;
        name[i] = '\0';
    }
    return std::string(name.data());
}

UserModeRefusal CheckModeStore(int adminMode, const std::string& utf8Name) {
    if (adminMode != 1) return UserModeRefusal::kNotAdmin;
    // Any byte of a character beyond ASCII lies above 122.
    for (char c : utf8Name)
        if (!NameByte(static_cast<unsigned char>(c))) return UserModeRefusal::kBadName;
    return UserModeRefusal::kNone;
}

UserModeRefusal CheckModeReset(int adminMode) {
    return adminMode == 1 ? UserModeRefusal::kNone : UserModeRefusal::kNotAdmin;
}

const char* UserModeMessage(UserModeText which, int language) {
    for (const TextPair& t : kTexts)
        if (t.which == which) return language == 1 ? t.chinese : t.english;
    return "";
}

#include "support/scripted_prompts.h"

#include <gtest/gtest.h>

#include "model/messages.h"

namespace testsupport {

namespace {

bool BoxHasButton(platform::MbType type, int id) {
    switch (type) {
        case platform::MbType::Ok:
            return id == IDOK;
        case platform::MbType::YesNo:
            return id == IDYES || id == IDNO;
        case platform::MbType::OkCancel:
        case platform::MbType::OkCancelQuestion:
            return id == IDOK || id == IDCANCEL;
    }
    return false;
}

}  // namespace

ScriptedPrompts::ScriptedPrompts() : previous_(platform::SetPrompts(this)) {}

ScriptedPrompts::~ScriptedPrompts() {
    platform::SetPrompts(previous_);
    if (!answers_.empty())
        ADD_FAILURE() << answers_.size() << " message box answer(s) not asked for";
    if (!files_.empty()) ADD_FAILURE() << files_.size() << " file dialog answer(s) not asked for";
}

void ScriptedPrompts::Answer(int id) { answers_.push_back(id); }

void ScriptedPrompts::AnswerFile(std::optional<std::string> path) {
    files_.push_back(std::move(path));
}

void ScriptedPrompts::WhileShown(std::function<void(const Shown&)> fn) {
    whileShown_ = std::move(fn);
}

std::vector<std::string> ScriptedPrompts::Texts() const {
    std::vector<std::string> texts;
    for (const Shown& s : shown_)
        if (s.kind == Kind::MessageBox) texts.push_back(s.text);
    return texts;
}

int ScriptedPrompts::MessageBox(QWidget* parent, const std::string& text,
                                const std::string& caption, platform::MbType type) {
    Shown s;
    s.kind = Kind::MessageBox;
    s.parent = parent;
    s.text = text;
    s.caption = caption;
    s.type = type;
    shown_.push_back(s);
    if (whileShown_) whileShown_(s);
    if (type == platform::MbType::Ok) return IDOK;
    if (answers_.empty()) {
        ADD_FAILURE() << "no answer scripted for the box \"" << text << "\"";
        return IDCANCEL;
    }
    const int id = answers_.front();
    answers_.pop_front();
    if (!BoxHasButton(type, id)) {
        ADD_FAILURE() << "the box \"" << text << "\" has no button for answer " << id;
        return IDCANCEL;
    }
    return id;
}

std::optional<std::string> ScriptedPrompts::FileDialog(Kind kind, QWidget* parent,
                                                       const std::string& filter,
                                                       const std::string& defaultSuffix) {
    Shown s;
    s.kind = kind;
    s.parent = parent;
    s.filter = filter;
    s.defaultSuffix = defaultSuffix;
    shown_.push_back(s);
    if (whileShown_) whileShown_(s);
    if (files_.empty()) {
        ADD_FAILURE() << "no file scripted for the dialog \"" << filter << "\"";
        return std::nullopt;
    }
    std::optional<std::string> path = std::move(files_.front());
    files_.pop_front();
    return path;
}

std::optional<std::string> ScriptedPrompts::OpenFileName(QWidget* parent, const std::string& filter,
                                                         const std::string& defaultSuffix) {
    return FileDialog(Kind::OpenFile, parent, filter, defaultSuffix);
}

std::optional<std::string> ScriptedPrompts::SaveFileName(QWidget* parent, const std::string& filter,
                                                         const std::string& defaultSuffix) {
    return FileDialog(Kind::SaveFile, parent, filter, defaultSuffix);
}

}  // namespace testsupport

#pragma once
// A stand-in for the message boxes and file dialogs: while it lives, every
// prompt is recorded (text and caption exactly as given, or the file filter)
// and answered as the test said, without any window or loop.
//
//   testsupport::ScriptedPrompts prompts;
//   prompts.Answer(IDYES);                 // the next message box says Yes
//   prompts.AnswerFile("/tmp/x/table.dat"); // the next file dialog picks this
//   ... act ...
//   EXPECT_EQ(prompts.Texts(), (std::vector<std::string>{"Save ok"}));
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/prompts.h"

namespace testsupport {

class ScriptedPrompts : public platform::Prompts {
public:
    enum class Kind { MessageBox, OpenFile, SaveFile };
    struct Shown {
        Kind kind = Kind::MessageBox;
        QWidget* parent = nullptr;
        std::string text;  // message boxes
        std::string caption;
        platform::MbType type = platform::MbType::Ok;
        std::string filter;  // file dialogs
        std::string defaultSuffix;
    };

    // Installs itself; the destructor puts back the prompts it replaced and
    // fails the test when a scripted answer was never asked for.
    ScriptedPrompts();
    ~ScriptedPrompts() override;
    ScriptedPrompts(const ScriptedPrompts&) = delete;
    ScriptedPrompts& operator=(const ScriptedPrompts&) = delete;

    // Answers for the coming Yes/No and OK/Cancel boxes, in order (IDOK,
    // IDCANCEL, IDYES, IDNO). An OK box has no choice: it answers IDOK and
    // takes none of them. A box with none waiting, or an answer it has no
    // button for, fails the test (and answers IDCANCEL).
    void Answer(int id);
    // Results for the coming file dialogs, in order; nullopt is a cancel. A
    // file dialog with none waiting fails the test (and is cancelled).
    void AnswerFile(std::optional<std::string> path);
    // Runs while each prompt is up, before it answers: what a test would see
    // with the real box on screen.
    void WhileShown(std::function<void(const Shown&)> fn);

    const std::vector<Shown>& shown() const { return shown_; }
    // The message box texts, in the order shown.
    std::vector<std::string> Texts() const;
    void Clear() { shown_.clear(); }

    int MessageBox(QWidget* parent, const std::string& text, const std::string& caption,
                   platform::MbType type) override;
    std::optional<std::string> OpenFileName(QWidget* parent, const std::string& filter,
                                            const std::string& defaultSuffix) override;
    std::optional<std::string> SaveFileName(QWidget* parent, const std::string& filter,
                                            const std::string& defaultSuffix) override;

private:
    std::optional<std::string> FileDialog(Kind kind, QWidget* parent, const std::string& filter,
                                          const std::string& defaultSuffix);

    platform::Prompts* previous_;
    std::deque<int> answers_;
    std::deque<std::optional<std::string>> files_;
    std::function<void(const Shown&)> whileShown_;
    std::vector<Shown> shown_;
};

}  // namespace testsupport

#pragma once
// Message boxes and file dialogs behind one interface. The program uses the Qt
// implementation; tests install a scripted responder that records what was
// shown and answers as told, so no test ever blocks on a real box.
#include <optional>
#include <string>

class QWidget;

namespace platform {

// OkCancelQuestion: OK and Cancel under the question icon.
enum class MbType { Ok, YesNo, OkCancel, OkCancelQuestion };

class Prompts {
public:
    virtual ~Prompts() = default;
    // Text and caption exactly as given (blanks and tabs kept, plain text).
    // Returns IDOK, IDCANCEL, IDYES or IDNO.
    virtual int MessageBox(QWidget* parent, const std::string& text, const std::string& caption,
                           MbType type) = 0;
    // filter: captions with their patterns, ";;" between them, e.g.
    // "Learn table (*.dat);;All Files(*.*)". The captions show as written;
    // "*.*" matches every file, names without a dot too. Returns the chosen
    // path.
    virtual std::optional<std::string> OpenFileName(QWidget* parent, const std::string& filter,
                                                    const std::string& defaultSuffix) = 0;
    virtual std::optional<std::string> SaveFileName(QWidget* parent, const std::string& filter,
                                                    const std::string& defaultSuffix) = 0;
};

// The prompts in use; the Qt one unless a test installed its own.
Prompts& CurrentPrompts();
// Installs p (not owned); nullptr restores the Qt implementation. Returns the
// one installed before (nullptr for the Qt one), for restoring it.
Prompts* SetPrompts(Prompts* p);

inline int MessageBox(QWidget* parent, const std::string& text, const std::string& caption,
                      MbType type = MbType::Ok) {
    return CurrentPrompts().MessageBox(parent, text, caption, type);
}

}  // namespace platform

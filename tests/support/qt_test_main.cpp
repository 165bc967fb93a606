// Test main for the platform and window tests: runs on Qt's offscreen
// platform (set here when unset, since test discovery runs this binary at
// build time) with settings redirected to a temporary folder. A test that
// shows a message box or file dialog without installing ScriptedPrompts
// fails at once instead of waiting on a real box nobody will close.
#include <gtest/gtest.h>

#include "model/messages.h"
#include "platform/prompts.h"
#include "support/offscreen_app.h"

namespace {

class NoPrompts : public platform::Prompts {
public:
    int MessageBox(QWidget*, const std::string& text, const std::string& caption,
                   platform::MbType) override {
        ADD_FAILURE() << "message box \"" << text << "\" (caption \"" << caption
                      << "\") shown without ScriptedPrompts";
        return IDCANCEL;
    }
    std::optional<std::string> OpenFileName(QWidget*, const std::string& filter,
                                            const std::string&) override {
        ADD_FAILURE() << "open dialog \"" << filter << "\" shown without ScriptedPrompts";
        return std::nullopt;
    }
    std::optional<std::string> SaveFileName(QWidget*, const std::string& filter,
                                            const std::string&) override {
        ADD_FAILURE() << "save dialog \"" << filter << "\" shown without ScriptedPrompts";
        return std::nullopt;
    }
};

}  // namespace

int main(int argc, char** argv) {
    testsupport::OffscreenApp app(argc, argv);
    NoPrompts noPrompts;
    platform::SetPrompts(&noPrompts);
    ::testing::InitGoogleTest(&argc, argv);
    const int rc = RUN_ALL_TESTS();
    platform::SetPrompts(nullptr);
    return rc;
}

#include "app/device_results.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace {

// Records every hook call as one line, in order.
struct ResultsRig {
    ResultsRig() {
        InitParamImage(image);
        auto& h = results.hooks;
        h.messageBox = [this](const std::string& t) { log.push_back("box:" + t); };
        h.post = [this](unsigned msg, WPARAM w, LPARAM l) {
            log.push_back("post:" + std::to_string(msg - WM_USER) + "," + std::to_string(w) + "," +
                          std::to_string(l));
        };
        h.mainVolumes = [this] { log.push_back("volumes"); };
        h.systemLock = [this](int v) { log.push_back("lock:" + std::to_string(v)); };
        h.systemAdmin = [this](int v) { log.push_back("admin:" + std::to_string(v)); };
        h.applyAdminMode = [this](int v) { log.push_back("layout:" + std::to_string(v)); };
        h.echoRefresh = [this](int type, int request) {
            log.push_back("echo:" + std::to_string(type) + "," + std::to_string(request));
        };
        h.massSaveStep = [this](int v) { log.push_back("step:" + std::to_string(v)); };
    }
    std::vector<std::string> Result(WPARAM w) {
        log.clear();
        results.OnDeviceResult(w);
        return log;
    }

    ParamImage image;
    DeviceResults results{image};
    std::vector<std::string> log;
};

using Log = std::vector<std::string>;

// WM_SEND_COMMAND as the log writes it.
std::string Send(int code, int argument) {
    return "post:" + std::to_string(WM_SEND_COMMAND - WM_USER) + "," + std::to_string(code) + "," +
           std::to_string(argument);
}

TEST(DeviceResults, MessageTexts) {
    struct Case {
        WPARAM result;
        const char* english;
        const char* chinese;
    };
    const Case cases[] = {
        {0x0801, "        Modify Lockkey OK        ", "        更改成功        "},
        {0x0800, "        Password error        ", "        密码错误        "},
        {0x0802, "        Password error        ", "        密码错误        "},
        {0x0901, "        Modify lockkey password OK        ", "        更改成功        "},
        {0x0900, "        Password error        ", "        密码错误        "},
        {0x0A01, "        Modify Admin mode OK        ", "        更改成功        "},
        {0x0A00, "        Password error        ", "        密码错误        "},
        {0x0B01, "        Modify admin password OK        ", "        更改成功        "},
        {0x0B00, "        Password error        ", "        密码错误        "},
        {0x2000, "        Saved OK        ", "        存储成功        "},
        {0x3100, "        Saved OK        ", "        存储成功        "},
        {0x3200, "        Reset all OK        ", "        清除所有模式成功        "},
        {0x3300, "        Set Logo OK        ", "        设置Logo成功        "},
        {0x5100, "        Saved OK        ", "        存储成功        "},
        {0x2100, nullptr, nullptr},
        {0x3400, nullptr, nullptr},
        {0x7700, nullptr, nullptr},
    };
    for (const Case& c : cases) {
        for (int language : {0, 1}) {
            ResultsRig r;
            r.image.Language = language;
            std::vector<std::string> boxes;
            for (const std::string& line : r.Result(c.result))
                if (line.rfind("box:", 0) == 0) boxes.push_back(line.substr(4));
            const char* expected = language ? c.chinese : c.english;
            if (!expected) {
                EXPECT_TRUE(boxes.empty()) << std::hex << c.result;
                continue;
            }
            ASSERT_EQ(boxes.size(), 1u) << std::hex << c.result;
            EXPECT_EQ(boxes[0], expected) << std::hex << c.result << " language " << language;
        }
    }
}

TEST(DeviceResults, LoginAnswersConfirmOrUndo) {
    struct Case {
        const char* what;
        WPARAM result;
        int keyLock, keyLockConfirmed, admin, adminConfirmed;
        Log log;
        int keyLockAfter, keyLockConfirmedAfter, adminAfter, adminConfirmedAfter;
    };
    const char* error = "box:        Password error        ";
    const Case cases[] = {
        {"lock accepted",
         0x0801,
         1,
         0,
         1,
         1,
         {"box:        Modify Lockkey OK        "},
         1,
         1,
         1,
         1},
        {"lock refused after switching it on", 0x0800, 1, 0, 1, 1, {error, "lock:0"}, 0, 0, 1, 1},
        {"unlock refused", 0x0800, 0, 1, 1, 1, {error, "lock:1"}, 1, 1, 1, 1},
        {"admin level accepted",
         0x0A01,
         0,
         0,
         2,
         1,
         {"box:        Modify Admin mode OK        ", "admin:2", "layout:2"},
         0,
         0,
         2,
         2},
        {"admin level refused", 0x0A00, 0, 0, 2, 1, {error, "admin:1"}, 0, 0, 1, 1},
        {"lock password refused changes nothing", 0x0900, 1, 0, 2, 1, {error}, 1, 0, 2, 1},
        {"admin password refused changes nothing", 0x0B00, 1, 0, 2, 1, {error}, 1, 0, 2, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ResultsRig r;
        r.image.KeyLockOn = c.keyLock;
        r.image.KeyLockConfirmed = c.keyLockConfirmed;
        r.image.AdminMode = c.admin;
        r.image.AdminModeConfirmed = c.adminConfirmed;
        EXPECT_EQ(r.Result(c.result), c.log);
        EXPECT_EQ(r.image.KeyLockOn, c.keyLockAfter);
        EXPECT_EQ(r.image.KeyLockConfirmed, c.keyLockConfirmedAfter);
        EXPECT_EQ(r.image.AdminMode, c.adminAfter);
        EXPECT_EQ(r.image.AdminModeConfirmed, c.adminConfirmedAfter);
    }
}

// Picks, answers and link closes in the order the main window sees them.
// A pick sets the value as the system page does and hands the record on.
struct LoginStep {
    enum Kind { kLock, kLevel, kLockLost, kLevelLost, kAnswer, kClose } kind;
    int value;  // the state or level picked; the result word of an answer
};

TEST(DeviceResults, EachAnswerConfirmsTheStateItsRequestCarried) {
    using S = LoginStep;
    const char* error = "box:        Password error        ";
    const char* lockOk = "box:        Modify Lockkey OK        ";
    const char* adminOk = "box:        Modify Admin mode OK        ";
    struct Case {
        const char* what;
        std::vector<LoginStep> steps;
        Log log;  // of the answers and closes only
        int keyLock, keyLockConfirmed, admin, adminConfirmed;
    };
    const Case cases[] = {
        {"lock then unlock, both accepted",
         {{S::kLock, 1}, {S::kLock, 0}, {S::kAnswer, 0x0801}, {S::kAnswer, 0x0801}},
         {lockOk, lockOk},
         0,
         0,
         1,
         1},
        {"lock then unlock, the unlock refused: the radio shows Lock as the unit does",
         {{S::kLock, 1}, {S::kLock, 0}, {S::kAnswer, 0x0801}, {S::kAnswer, 0x0800}},
         {lockOk, error, "lock:1"},
         1,
         1,
         1,
         1},
        {"a refusal, then a later pick accepted",
         {{S::kLock, 1},
          {S::kLock, 0},
          {S::kLock, 1},
          {S::kAnswer, 0x0800},
          {S::kAnswer, 0x0801},
          {S::kAnswer, 0x0801}},
         {error, "lock:0", lockOk, lockOk, "lock:1"},
         1,
         1,
         1,
         1},
        {"level 2 then User, both accepted: each laid out in turn",
         {{S::kLevel, 2}, {S::kLevel, 0}, {S::kAnswer, 0x0A01}, {S::kAnswer, 0x0A01}},
         {adminOk, "admin:0", "layout:2", adminOk, "admin:0", "layout:0"},
         0,
         0,
         0,
         0},
        {"level 2 then User, User refused",
         {{S::kLevel, 2}, {S::kLevel, 0}, {S::kAnswer, 0x0A01}, {S::kAnswer, 0x0A00}},
         {adminOk, "admin:0", "layout:2", error, "admin:2"},
         0,
         0,
         2,
         2},
        {"a lock that never went out", {{S::kLockLost, 1}}, {"lock:0"}, 0, 0, 1, 1},
        {"a level that never went out", {{S::kLevelLost, 2}}, {"admin:1"}, 0, 0, 1, 1},
        {"the link closes with both waiting",
         {{S::kLock, 1}, {S::kLevel, 0}, {S::kClose, 0}},
         {"lock:0", "admin:1"},
         0,
         0,
         1,
         1},
        {"the link closes after the answers: nothing to put back",
         {{S::kLock, 1}, {S::kAnswer, 0x0801}, {S::kClose, 0}},
         {lockOk},
         1,
         1,
         1,
         1},
        {"an answer nothing is known to wait for confirms the value",
         {{S::kAnswer, 0x0A01}},
         {adminOk, "admin:1", "layout:1"},
         0,
         0,
         1,
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ResultsRig r;
        Log log;
        std::array<std::uint8_t, 12> record{};
        for (const LoginStep& step : c.steps) {
            r.log.clear();
            switch (step.kind) {
                case S::kLock:
                case S::kLockLost:
                    r.image.KeyLockOn = step.value;
                    record = {1, 2, 3, 4, static_cast<std::uint8_t>(step.value)};
                    r.results.OnLoginRequest(0x2B, reinterpret_cast<LPARAM>(record.data()),
                                             step.kind == S::kLock);
                    break;
                case S::kLevel:
                case S::kLevelLost:
                    r.image.AdminMode = step.value;
                    record = {1, 2, 3, 4, 5, 6, static_cast<std::uint8_t>(step.value)};
                    r.results.OnLoginRequest(0x2D, reinterpret_cast<LPARAM>(record.data()),
                                             step.kind == S::kLevel);
                    break;
                case S::kAnswer:
                    r.results.OnDeviceResult(static_cast<WPARAM>(step.value));
                    break;
                case S::kClose:
                    r.results.OnLinkClosing();
                    break;
            }
            log.insert(log.end(), r.log.begin(), r.log.end());
            // The record is the page's and changes with the next pick.
            record.fill(9);
        }
        EXPECT_EQ(log, c.log);
        EXPECT_EQ(r.image.KeyLockOn, c.keyLock);
        EXPECT_EQ(r.image.KeyLockConfirmed, c.keyLockConfirmed);
        EXPECT_EQ(r.image.AdminMode, c.admin);
        EXPECT_EQ(r.image.AdminModeConfirmed, c.adminConfirmed);
    }
}

// The box of an answer runs a loop of its own: while the user reads it, the
// answer to the next pick is handled inside it. Each answer still confirms
// the state its own request carried, in the order the unit answered, and
// the value and the radio end where the unit is.
TEST(DeviceResults, AnAnswerHandledWhileAnEarlierAnswersBoxIsUp) {
    struct Case {
        const char* what;
        bool lock;  // else levels
        std::vector<int> picks;
        std::vector<WPARAM> answers;
        int value, confirmed;
        std::string radio;
    };
    const Case cases[] = {
        {"lock then unlock, the unlock refused", true, {1, 0}, {0x0801, 0x0800}, 1, 1, "lock:1"},
        {"lock then unlock, both accepted", true, {1, 0}, {0x0801, 0x0801}, 0, 0, "lock:0"},
        {"lock then unlock, the lock refused", true, {1, 0}, {0x0800, 0x0801}, 0, 0, "lock:0"},
        {"level 2 then User, User refused", false, {2, 0}, {0x0A01, 0x0A00}, 2, 2, "admin:2"},
        {"level 2 then User, both accepted", false, {2, 0}, {0x0A01, 0x0A01}, 0, 0, "admin:0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ResultsRig r;
        std::array<std::uint8_t, 7> record{1, 2, 3, 4, 5, 6, 0};
        for (int pick : c.picks) {
            (c.lock ? r.image.KeyLockOn : r.image.AdminMode) = pick;
            record[c.lock ? 4 : 6] = static_cast<std::uint8_t>(pick);
            r.results.OnLoginRequest(c.lock ? 0x2B : 0x2D, reinterpret_cast<LPARAM>(record.data()),
                                     true);
        }
        // Each box handles the next answer before it closes.
        std::size_t next = 1;
        r.results.hooks.messageBox = [&](const std::string& text) {
            r.log.push_back("box:" + text);
            if (next < c.answers.size()) r.results.OnDeviceResult(c.answers[next++]);
        };
        r.results.OnDeviceResult(c.answers[0]);
        EXPECT_EQ(next, c.answers.size());
        // The radio shows the last pick until the answers move it.
        std::string lastRadio = (c.lock ? "lock:" : "admin:") + std::to_string(c.picks.back());
        for (const std::string& line : r.log)
            if (line.rfind(c.lock ? "lock:" : "admin:", 0) == 0) lastRadio = line;
        EXPECT_EQ(lastRadio, c.radio);
        EXPECT_EQ(c.lock ? r.image.KeyLockOn : r.image.AdminMode, c.value);
        EXPECT_EQ(c.lock ? r.image.KeyLockConfirmed : r.image.AdminModeConfirmed, c.confirmed);
    }
}

TEST(DeviceResults, OtherRequestsAreNotLookedAt) {
    ResultsRig r;
    r.image.KeyLockOn = 1;
    for (unsigned code : {0x2Cu, 0x2Eu, 0x01u, 0x09u}) r.results.OnLoginRequest(code, 0, false);
    EXPECT_TRUE(r.log.empty());
    EXPECT_EQ(r.image.KeyLockOn, 1);
}

TEST(DeviceResults, SingleSaveCapsTheLiveVolumes) {
    ResultsRig r;
    auto& b = r.image.ParamBytes;
    b[0] = 90, b[4] = 80;
    b[1] = 30, b[11] = 40;
    b[109] = 70, b[149] = 60;
    EXPECT_EQ(r.Result(0x2000), (Log{"volumes", "box:        Saved OK        "}));
    EXPECT_EQ(b[0], 80);
    EXPECT_EQ(b[1], 30);
    EXPECT_EQ(b[109], 60);
}

TEST(DeviceResults, MassSaveOfThreeFiles) {
    ResultsRig r;
    // The chain's start has handed over list position 2.
    r.results.DeviceSequenceActive = 1;
    r.results.MassSaveIndex = 1;
    r.image.ParamBytes[0] = 90;
    r.image.ParamBytes[4] = 80;
    EXPECT_EQ(r.Result(0x2001), (Log{"step:1"}));
    EXPECT_EQ(r.Result(0x2001), (Log{"step:0"}));
    EXPECT_EQ(r.results.MassSaveIndex, -1);
    EXPECT_EQ(r.Result(0x2001), (Log{Send(0x01, 0), "box:        Saved OK        "}));
    EXPECT_EQ(r.results.DeviceSequenceActive, 1);
    EXPECT_EQ(r.image.ParamBytes[0], 90) << "no volume caps inside the chain";
    EXPECT_EQ(r.Result(0x2100), (Log{Send(0x3F, 0)}));
    EXPECT_EQ(r.results.DeviceSequenceActive, 0);
}

TEST(DeviceResults, ResetAllSelectsTheCurrentModeBeforeTheBox) {
    ResultsRig r;
    r.image.CurrentModeSlot = 4;
    EXPECT_EQ(r.Result(0x3200), (Log{Send(0x01, 4), "box:        Reset all OK        "}));
    EXPECT_EQ(r.results.DeviceSequenceActive, 1);
    EXPECT_EQ(r.Result(0x2100), (Log{Send(0x3F, 0)}));
    EXPECT_EQ(r.results.DeviceSequenceActive, 0);
}

// The page gets the type the image holds and the request the answer is for,
// from the status bits; no box, nothing posted.
TEST(DeviceResults, EchoTypeRefreshesTheEchoPageWithTheRequestAnswered) {
    ResultsRig r;
    r.image.ParamBytes[85] = 2;
    EXPECT_EQ(r.Result(0x3400), (Log{"echo:2,0"}));
    r.image.ParamBytes[85] = 0;
    EXPECT_EQ(r.Result(0x34FF), (Log{"echo:0,255"}));
}

}  // namespace

#include "app/pc_mode_flow.h"

#include <algorithm>

#include "link/command_codes.h"
#include "model/pc_mode_file.h"
#include "model/ui_text.h"
#include "system/mode_files.h"

namespace {

// Bit 7 of the upload's slot argument: the mode came from a PC file.
constexpr int kFromPcFile = 0x80;

}  // namespace

PcModeFlow::PcModeFlow(ParamImage& image, DeviceResults& results, std::filesystem::path folder)
    : image_(image), results_(results), folder_(std::move(folder)) {}

void PcModeFlow::ListFolder() {
    modeFiles_ = ListModeFiles(folder_.string());
    image_.ModeFileCount = static_cast<int>(modeFiles_.size());
}

bool PcModeFlow::FolderHolds(const std::string& pcName) const {
    return PcModeFileExists(folder_, pcName);
}

void PcModeFlow::Show(const char* text) {
    if (hooks.messageBox) hooks.messageBox(text);
}

bool PcModeFlow::SaveModeFile(const std::string& pcName, const std::string& modeNameGbk) {
    const ModeName name = PcModeNameField(modeNameGbk);
    std::copy(name.begin(), name.end(), image_.CurrentModeName.begin());
    image_.CurrentModeName[kModeNameLength] = '\0';
    // A value read from the unit that no file may hold is named, so the user
    // can put it right on its page; nothing is written.
    if (const auto refused = CheckPcModeImage(image_, name)) {
        Show(PcModeRefusalText(*refused, image_.Language).c_str());
        return false;
    }
    if (!SavePcModeFile(folder_, pcName, image_, name)) {
        Show(FileResultText(FileResult::kSaveFailed, image_.Language));
        return false;
    }
    // Listed only once the file is there, so every row stands for a file.
    const bool listed = std::find(modeFiles_.begin(), modeFiles_.end(), pcName) != modeFiles_.end();
    if (!listed && modeFiles_.size() < kMaxModeFiles) {
        modeFiles_.push_back(pcName);
        image_.ModeFileCount = static_cast<int>(modeFiles_.size());
        if (hooks.listed) hooks.listed(pcName);
    }
    Show(FileResultText(FileResult::kSaved, image_.Language));
    return true;
}

bool PcModeFlow::LoadRow(int row) {
    if (LoadPcModeFile(folder_, modeFiles_[static_cast<std::size_t>(row)], image_)) return true;
    Show(FileResultText(FileResult::kLoadFailed, image_.Language));
    return false;
}

std::optional<UploadRefusal> PcModeFlow::LoadRefusal() const {
    if (!LinkOpen()) return std::nullopt;
    // The first load's start is still on its way to the link: a second one
    // would replace the image that start packs its record from.
    if (beforeUpload_) return UploadRefusal::kUploadRunning;
    if (!hooks.uploadRefusal) return std::nullopt;
    const std::optional<UploadRefusal> why = hooks.uploadRefusal();
    // That power-on mode is the image's, which the load replaces with the
    // file's; a file's is checked in range as it loads.
    if (why == UploadRefusal::kPowerOnMode) return std::nullopt;
    return why;
}

void PcModeFlow::ShowRefusal(UploadRefusal why) {
    Show(UploadRefusalText(why, image_.PowerOnMode, image_.Language).c_str());
}

void PcModeFlow::LoadModeFile(int row) {
    if (row < 0 || row >= static_cast<int>(modeFiles_.size())) return;
    // Asked before the file is opened: the upload would not be taken (the
    // builder refuses a second one), or the block read coming would wipe
    // the file from the panel. The panel stays as it was; one box says why.
    if (const std::optional<UploadRefusal> why = LoadRefusal()) {
        ShowRefusal(*why);
        return;
    }
    ParamImage before = image_;
    if (!LoadRow(row)) return;
    CapLiveVolumes(image_);
    if (hooks.refreshPages) hooks.refreshPages();
    // The slot is the unit's own report, never checked on the way in: one
    // outside the user modes would name another mode in the upload's low
    // bits, or no mode at all. The file stays loaded in the panel.
    if (image_.CurrentModeSlot >= kUserModeCount) {
        Show(FileResultText(FileResult::kLoadedNotSent, image_.Language));
        return;
    }
    // Offline the file stays loaded; the unit gets it only over a link, and
    // the box waits for the link's answer to the start.
    if (!LinkOpen()) {
        Show(FileResultText(FileResult::kLoaded, image_.Language));
        return;
    }
    beforeUpload_ = std::move(before);
    Post(WM_SEND_COMMAND, CMD_MODE_UPLOAD_START, image_.CurrentModeSlot | kFromPcFile);
}

bool PcModeFlow::OnUploadStartHandled(LPARAM argument, bool taken,
                                      std::optional<UploadRefusal> why) {
    if ((argument & kFromPcFile) == 0 || !beforeUpload_) return false;
    ParamImage before = std::move(*beforeUpload_);
    beforeUpload_.reset();
    if (taken || !LinkOpen()) {
        Show(FileResultText(FileResult::kLoaded, image_.Language));
        return true;
    }
    // Between the load and its start the line filled, another upload or a
    // block read came, or the link began a new connection: the unit never
    // gets the file, so the panel must not keep it. The refusal's power-on
    // mode is the file's, checked in range as it loaded.
    const int powerOnMode = image_.PowerOnMode;
    image_ = std::move(before);
    if (hooks.refreshPages) hooks.refreshPages();
    Show(why ? UploadRefusalText(*why, powerOnMode, image_.Language).c_str()
             : NotConnectedText(image_.Language));
    return true;
}

void PcModeFlow::LoadModeToSlot(int row, int slot) {
    if (!LinkOpen() || row < 0 || row >= static_cast<int>(modeFiles_.size()) || slot < 0 ||
        slot >= static_cast<int>(kUserModeCount)) {
        return;
    }
    if (const std::optional<UploadRefusal> why = LoadRefusal()) {
        ShowRefusal(*why);
        return;
    }
    if (!LoadRow(row)) return;
    // The slot becomes the unit's current one with the upload's end: moved
    // now, a request the link does not take would leave it on a slot the
    // unit never stored.
    if (hooks.refreshPages) hooks.refreshPages();
    Post(WM_SEND_COMMAND, CMD_MODE_UPLOAD_START, slot);
}

void PcModeFlow::MassSave(const std::vector<std::string>& list) {
    if (results_.DeviceSequenceActive != 0 || list.empty()) return;
    const std::size_t count = std::min<std::size_t>(list.size(), kMassSaveMax);
    chainList_.assign(list.begin(), list.begin() + static_cast<std::ptrdiff_t>(count));
    chainStart_ = image_;
    busyBoxPosted_ = false;
    results_.DeviceSequenceActive = 1;
    const int last = static_cast<int>(count) - 1;
    if (!MassSaveStep(last)) return;
    results_.MassSaveIndex = last - 1;
    // A step runs only while connected: "Saving..." until the chain ends.
    Post(WM_LINK_BUSY, 2, 0);
    busyBoxPosted_ = true;
}

bool PcModeFlow::MassSaveStep(int index) {
    // Only inside a chain, on a position of its own list.
    if (!chainStart_ || results_.DeviceSequenceActive == 0) return false;
    if (index < 0 || index >= static_cast<int>(chainList_.size())) {
        EndChain();
        return false;
    }
    // A step loads into the image, and a failure puts the chain's start
    // back: a mode upload taken meanwhile would have its name and slot
    // undone in the image, a block read its values.
    if (const std::optional<UploadRefusal> why = LoadRefusal()) {
        EndChain();
        ShowRefusal(*why);
        return false;
    }
    if (!CanSend(CMD_MASS_SAVE_STEP)) {
        EndChain();
        return false;
    }
    if (!LoadPcModeFile(folder_, chainList_[static_cast<std::size_t>(index)], image_)) {
        EndChain();
        Show(FileResultText(FileResult::kLoadFailed, image_.Language));
        return false;
    }
    Post(WM_SEND_COMMAND, CMD_MASS_SAVE_STEP, index);
    if (index == 0) {
        // The last file is handed over; the rest (its answer, slot 0, the
        // block read) is the unit's.
        chainStart_.reset();
        chainList_.clear();
    }
    return true;
}

void PcModeFlow::OnLinkClosed() {
    if (chainStart_) EndChain();
}

void PcModeFlow::EndChain() {
    // The steps load files without refreshing the pages: the image goes
    // back to what the pages show. Nothing else writes the image meanwhile
    // (the busy box holds the window).
    if (chainStart_) image_ = *chainStart_;
    chainStart_.reset();
    chainList_.clear();
    results_.DeviceSequenceActive = 0;
    results_.MassSaveIndex = -1;
    if (busyBoxPosted_) Post(WM_LINK_IDLE, 0, 0);
    busyBoxPosted_ = false;
}

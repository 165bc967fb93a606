#pragma once
// The main window's side of the PC mode files: the list of the mode folder,
// the writer behind Save To PC, the three loads (Upload To Equipment, a load
// into a given slot, a step of the mass save) and the mass-save chain. The
// window hands it the folder and its hooks; the folder and the files
// themselves are system/mode_files.h's and model/pc_mode_file.h's.
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/device_results.h"
#include "model/messages.h"
#include "model/param_image.h"
#include "model/ui_text.h"

class PcModeFlow {
public:
    // At most this many files in one mass save.
    static constexpr int kMassSaveMax = 10;

    struct Hooks {
        std::function<void(unsigned msg, WPARAM, LPARAM)> post;
        // A message box with an OK button, captioned with the program's title.
        std::function<void(const std::string& text)> messageBox;
        // Pushes the whole image into the main window and every page.
        std::function<void()> refreshPages;
        // Whether a WM_SEND_COMMAND of this code would reach the unit now:
        // the link is connected, no block read is under way, and the code
        // has a frame.
        std::function<bool(unsigned code)> canSend;
        // The link is connected or connecting: a load is then for the unit,
        // and made only when the unit would take it. Closed, a file is
        // loaded into the panel alone.
        std::function<bool()> linkOpen;
        // Why the unit would not take a mode upload now (another upload
        // runs, the block read is due, the link's line is full, the
        // power-on mode in the image is out of range); nullopt when it
        // would. Asked only while the link is open.
        std::function<std::optional<UploadRefusal>()> uploadRefusal;
        // The list grew by one name (at its end).
        std::function<void(const std::string& name)> listed;
    };

    // folder: the PC mode folder ("param_dir" under the working directory).
    PcModeFlow(ParamImage& image, DeviceResults& results, std::filesystem::path folder);

    // Start-up: lists the folder (ListModeFiles) and sets ModeFileCount.
    void ListFolder();
    // The listed names, as the folder holds them (bytes, whatever encoding).
    const std::vector<std::string>& ModeFiles() const { return modeFiles_; }
    const std::filesystem::path& Folder() const { return folder_; }
    // The folder holds an entry of this name (Save To PC then asks first).
    bool FolderHolds(const std::string& pcName) const;

    // WM_SAVE_MODE_FILE: the mode-name edit's text, as GBK bytes, becomes
    // CurrentModeName (PcModeNameField); the image is written as pcName (the name Save To PC
    // checked). A name new to the list becomes its next row once the file
    // is written; the box says whether it was. false: nothing written.
    bool SaveModeFile(const std::string& pcName, const std::string& modeNameGbk);

    // WM_LOAD_MODE_FILE, Upload To Equipment: the row's file into the
    // image, the live volumes capped by its maxima, every page refreshed,
    // then stored in the unit's current slot as a PC mode. Offline the
    // file is loaded all the same. While the link is open and the unit
    // would not take the upload, nothing is loaded and the box says why.
    // A row outside the list does nothing. Over a link, "Load OK" waits for
    // the link's answer to the upload's start (OnUploadStartHandled).
    void LoadModeFile(int row);
    // The window has handed an upload start to the command builder: taken
    // tells whether the link took it, why what the builder refused it for.
    // Only a start that Upload To Equipment posted is the flow's: true then,
    // and every box for it has been shown. Taken, or the link closed
    // meanwhile (the file stays in the panel, as offline): "Load OK".
    // Refused over an open link: the panel goes back to what it held before
    // the load, then the box says why.
    bool OnUploadStartHandled(LPARAM argument, bool taken, std::optional<UploadRefusal> why);
    // WM_LOAD_MODE_TO_SLOT: the row's file into slot 0..9 of the unit, live
    // volumes as they are. Only while the link is open; refused as Upload
    // To Equipment is.
    void LoadModeToSlot(int row, int slot);

    // WM_MASS_SAVE: hands each file of list (a copy is kept: the picker may
    // change its own meanwhile) to the unit, the last first, each with its
    // position; the unit's answer to one step runs the next (DeviceResults).
    // Nothing while another sequence runs or for an empty list; a start
    // while an upload runs or the block read is due is refused as a step is.
    void MassSave(const std::vector<std::string>& list);
    // One step: the file at position index into the image, then command 22.
    // A step that cannot run or whose file fails ends the chain: the image
    // goes back to what it held at the chain's start, the sequence flag is
    // cleared and the busy box closed. false then. A step is refused, with
    // the box that says why, while a mode upload runs or the block read is
    // due: neither may have the image put back under it.
    bool MassSaveStep(int index);
    // The link closed: a chain still handing over files ends as a failed
    // step ends it.
    void OnLinkClosed();

    Hooks hooks;

private:
    bool CanSend(unsigned code) const { return hooks.canSend && hooks.canSend(code); }
    bool LinkOpen() const { return hooks.linkOpen && hooks.linkOpen(); }
    // Why a load for the unit must not touch the image now; nullopt while
    // the link is closed or the unit would take the file.
    std::optional<UploadRefusal> LoadRefusal() const;
    // The refusal's box, in the window's language.
    void ShowRefusal(UploadRefusal why);
    void Post(unsigned msg, WPARAM w, LPARAM l) {
        if (hooks.post) hooks.post(msg, w, l);
    }
    void Show(const char* text);
    // The listed row's file into the image; the failure text otherwise.
    bool LoadRow(int row);
    void EndChain();

    ParamImage& image_;
    DeviceResults& results_;
    std::filesystem::path folder_;
    std::vector<std::string> modeFiles_;
    // The running chain's own copy of the list, and the image it started on.
    std::vector<std::string> chainList_;
    std::optional<ParamImage> chainStart_;
    // Upload To Equipment's load, posted and not yet handed to the link:
    // the image from before it, put back if the link refuses the start.
    std::optional<ParamImage> beforeUpload_;
    bool busyBoxPosted_ = false;
};

#pragma once
// The main window's three rows of input-source buttons and its input combo:
// the audio row (AUTO, VOD, AUX, BGM, COAX, OPTI, HDMI1..HDMI4), the video row
// and the second video row (HDMI1..HDMI4). Each row keeps, per mode kind, the
// index the user last asked for and the index it last showed, and the button
// it shows checked; a choice stores the inputs into the parameter image and
// names the command that carries them. The window draws the checked buttons
// and posts the command.
//
// Indexes the image holds are the unit's: one outside its row checks no
// button and is never stored back or sent.
#include <optional>

#include "model/messages.h"
#include "model/param_image.h"

enum InputRowId { kInputAudio, kInputVideo, kInputVideo2, kInputRowCount };
// The kinds a row keeps its indexes for (SystemMode 0, 1, 2).
enum InputKind { kInputKtv, kInputCinema, kInputAuto, kInputKindCount };

struct InputCommand {
    unsigned code;
    LPARAM argument;
    bool operator==(const InputCommand&) const = default;
};

class InputRows {
public:
    static constexpr int kAudioButtons = 10;
    static constexpr int kVideoButtons = 4;
    // The first audio button the cinema and auto kinds use (COAX); AUTO, VOD,
    // AUX and BGM act only in KTV.
    static constexpr int kFirstDigitalButton = 4;
    // The KTV audio input (ParamBytes[6]) of COAX, the first one the auto
    // kind can take over.
    static constexpr int kKtvCoax = 5;
    // The combo's items: AUTO..HDMI3 in KTV, COAX..HDMI3 otherwise.
    static constexpr int kKtvComboItems = 9;
    static constexpr int kCinemaComboItems = 5;

    explicit InputRows(ParamImage& image) : image_(image) {}

    // The kind a SystemMode value is laid out as: any value beyond cinema
    // counts as auto.
    static InputKind KindOf(int systemMode);
    InputKind Kind() const;

    // The page refresh: every row's requested index from the image. Stores
    // nothing; the rows show it at the next forced Select.
    void Load();

    // A click on button `button` of a row; the command to post, if any.
    std::optional<InputCommand> OnAudioButton(int button);
    std::optional<InputCommand> OnVideoButton(int button);
    std::optional<InputCommand> OnVideo2Button(int button);
    // A pick in the input combo (-1: no selection). The audio row then shows
    // the stored input.
    std::optional<InputCommand> OnComboPick(int selection);

    // Shows the row's requested index of the current kind and, unless forced,
    // stores what it names and returns the command. force: redraw only, as a
    // refresh or a kind switch does; nothing is stored or sent.
    std::optional<InputCommand> SelectA(bool force);
    std::optional<InputCommand> SelectB(bool force);
    std::optional<InputCommand> SelectC(bool force);

    // The button shown checked in a row; -1: none.
    int CheckedButton(InputRowId row) const { return checked_[row]; }
    int Requested(InputRowId row, InputKind kind) const { return requested_[row][kind]; }
    int Shown(InputRowId row, InputKind kind) const { return shown_[row][kind]; }
    // A kind switch hands a row its new request (the auto rows on entering auto).
    void SetRequested(InputRowId row, InputKind kind, int index);

private:
    // The video row follows an audio input that names an HDMI input.
    void VideoFollows(InputKind kind, int index);
    // The audio row follows the video row: its request and shown index for a
    // kind, and the button drawn for it.
    void AudioFollows(InputKind kind, int index, int button);

    ParamImage& image_;
    int requested_[kInputRowCount][kInputKindCount]{};
    int shown_[kInputRowCount][kInputKindCount]{};
    int checked_[kInputRowCount]{};
};

#pragma once
// What differs between the four output pages (Master, Surround, Centre,
// Subwoofer): where each control's value lives in the parameter image for
// the KTV and the cinema set, the arguments of their commands, which
// controls a page has, their captions and where they sit. Everything the
// shared output page does is driven by one row of this table.
#include "model/value_label.h"
#include "pages/eq_page_table.h"

// The value sliders of an output page, by role.
enum OutputRole {
    kOutVolume1,
    kOutVolume2,
    kOutDelay1,
    kOutDelay2,
    kOutMicDirect,
    kOutMusic,
    kOutReverb,
    kOutEcho,
    kOutThreshold,
    kOutRatio,
    kOutAttack,
    kOutRelease,
    kOutCrossover,
    kOutBackLeft,
    kOutBackRight,
    kOutRoleCount,
};

// What a role is on every page: its controls and its value's range.
struct OutputRoleSpec {
    int sliderId;
    int captionId;
    int labelId;
    int polarityId;     // 0: the value has no polarity
    int min, max;       // the KTV range; the delays have another in cinema
    LabelFormat label;  // the KTV label; the delays have another in cinema
    // The caption per set (KTV, cinema and auto) on the two-output pages; the
    // one-output pages name their volume and delay in OutputPageSpec.
    int captionRows[2];
};
const OutputRoleSpec& OutputRoleFor(OutputRole role);

// A check box of the flag word: a mute (bit set while checked) or Comp
// Bypass (the compressor-on bit set while unchecked).
struct OutputFlagBox {
    int id;
    int bit;
    bool setWhileChecked;
    int captionRow;
    int x, y, width;  // dialog units
};

// A test-signal box and the OutputChannel it switches on.
struct OutputPinkBox {
    int id;
    int code;  // 0: the page has no such box
    int captionRow;
    int x, y;
};

struct DluPoint {
    int x = -1, y = -1;  // x < 0: the page has no such control
};

struct OutputPageSpec {
    EqPageKind eq;
    int channel;  // CMD_OUTPUT_CHANNEL argument
    int speaker;  // CMD_SPEAKER_SIZE argument; -1: no speaker size or crossover
    // Level bytes of the outputs, [output][set] (set 0 KTV, 1 cinema and auto);
    // -1: no second output.
    int volume[2][2];
    // Mixer level bytes, one set: Mic Direct, Music, Reverb, Echo.
    int mixer[4];
    // The first of the threshold, ratio, attack and release bytes, per set.
    int compressor[2];
    // ParamWords of the delays, [delay][set]; -1: no second delay.
    int delay[2][2];
    // The back-surround pair's level bytes, [output][set]; -1: none.
    int back[2][2];
    // Caption rows that differ between the two-output and one-output pages:
    // volume 1, and delay 1 per set (a KTV delay, a cinema distance).
    int volume1Row;
    int delay1Rows[2];
    OutputFlagBox flags[5];
    int flagCount;
    OutputPinkBox pink[2];
    // Slider places in dialog units, by role.
    DluPoint places[kOutRoleCount];
    // The speaker group: its caption, Large (Small beside it), the crossover's
    // caption.
    DluPoint speakerCaption;
    DluPoint large;

    bool Has(OutputRole role) const { return places[role].x >= 0; }
    int SpeakerSizeByte() const { return speaker < 0 ? -1 : 110 + speaker; }
    int CrossoverByte() const { return speaker < 0 ? -1 : 113 + speaker; }
};

// kind: kEqMaster, kEqSurround, kEqCentre or kEqSubwoofer; any other gives
// the Master row.
const OutputPageSpec& OutputPageSpecFor(EqPageKind kind);

// The set an output value of SystemMode s is kept in: 0 KTV, 1 cinema (and
// auto, and any value the unit may report beyond them).
constexpr int OutputSetFor(int systemMode) { return systemMode == 0 ? 0 : 1; }

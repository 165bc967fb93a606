#pragma once
// What differs between the eight EQ pages: which band array and module they
// edit, how many records a set holds, where their pass filters live in the
// byte and word areas, their limits and commands, and their control ids.
// Everything the shared EQ page does is driven by one row of this table.
#include <cstdint>

#include "eq/band_entry.h"
#include "eq/skin_catalogue.h"
#include "link/command_codes.h"

// Where one pass-filter record (low-pass or high-pass) keeps its values
// outside the band array, per set (0 KTV, 1 cinema and auto).
struct PassFilterSpec {
    int filterId;      // PassFilterId of CMD_PASS_FILTER; -1: sent with the page's settings command
    int word[2];       // ParamWords index of the frequency
    int slopeByte[2];  // ParamBytes index of the slope; -1: the slope is fixed
    EntryRange range;  // frequency limits
};

// The slope of the reverb and echo pass filters, which the unit fixes.
constexpr int kFixedPassSlope = 6;

struct EqPageSpec {
    const char* name;
    int recordsPerSet;  // PEQ bands, then the low-pass and the high-pass record
    int sets;           // 2 on the output pages: KTV, then cinema
    // The modules the page can show: one, or the two microphones. The first is
    // shown at start. Pass-filter records are written into every one of them.
    int moduleIds[2];
    int moduleCount;
    PassFilterSpec lowPass;
    PassFilterSpec highPass;
    std::uint8_t passCommand;  // CMD_PASS_FILTER, or the reverb / echo settings command
    int bypassId;
    int resetId;
    int panelScrollMax;
    MarkerPage markers;
    int markerCount;
    bool lowPass48Db;  // the subwoofer: a slope 7 low-pass is 48 dB/octave
    // ParamBytes index of a link between the page's modules (the mic EQ link):
    // while it is non-zero every PEQ change is copied to the other module.
    // -1: none.
    int linkByte;

    int PeqCount() const { return recordsPerSet - 2; }
    bool FixedSlopes() const { return lowPass.slopeByte[0] < 0; }
};

enum EqPageKind {
    kEqMaster,
    kEqSurround,
    kEqCentre,
    kEqSubwoofer,
    kEqMusic,
    kEqMic,
    kEqReverb,
    kEqEcho,
    kEqPageKindCount,
};

const EqPageSpec& EqPageSpecFor(EqPageKind kind);

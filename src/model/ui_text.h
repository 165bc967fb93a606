#pragma once
// The UI texts in English (language 0) and simplified Chinese (language 1),
// stored as UTF-8. Every entry fits the unit's 64-byte text slot once
// converted to GBK (63 bytes and the terminator).
#include <optional>
#include <string>
#include <vector>

#include "model/eq_band.h"

constexpr int kUiTextRows = 257;
constexpr int kLanguageCount = 2;
constexpr int kLanguageEnglish = 0;
constexpr int kLanguageChinese = 1;
constexpr int kUiTextMaxGbkBytes = 63;

// The main window's title; the system page's checks caption their boxes
// with it.
inline constexpr char kAppTitle[] = "Professional Audio System";

// The persisted language: its setting name, and the language of a machine
// that has none.
inline constexpr char kLangSettingName[] = "Lang";
constexpr int kDefaultLanguage = kLanguageChinese;

// The caption of a row; "" for a language or row out of range.
const char* UiText(int language, int row);

// The pass-filter slope names shown on the curves (the same in both
// languages). subwooferLowPass48 gives "48db" for slope 7, as the subwoofer
// page shows its low-pass record. "" for a slope outside 0..7.
constexpr int kFilterTypeCount = 8;
const char* FilterTypeName(int slope, bool subwooferLowPass48);

// Combo box items by language; an empty list for a language out of range.
std::vector<std::string> CrossoverTypeItems(int language, bool with48);
std::vector<std::string> FilterTypeItems(int language);
std::vector<std::string> PeqListItems(int language, int count);
std::vector<std::string> ModeListItems(int language);
// The input combo: the KTV list when systemMode is 0, else the cinema list.
std::vector<std::string> InputComboItems(int language, int systemMode);
std::vector<std::string> ReverbTypeItems(int language);
std::vector<std::string> EchoTypeItems(int language);

// The answers of the file operations (PC mode files, boost presets, learn
// tables). The blanks and tabs are part of the texts. kLoadedNotSent: a PC
// mode loaded into the panel that could not go to the unit, whose current
// slot is none of its user modes.
enum class FileResult { kSaved, kSaveFailed, kLoaded, kLoadFailed, kLoadedNotSent };
const char* FileResultText(FileResult result, int language);

// Why a save refuses the image: the band's field holds a value the file's
// loader would refuse, so the user can put it right on the page. place names
// the page and the band's group (English, Chinese); band counts from 0, -1
// when the value is no band's.
std::string BandRefusalText(const char* placeEnglish, const char* placeChinese, int band,
                            const BandFieldCheck& check, int language);
// The same for a plain value that is no band field: fieldEnglish /
// fieldChinese name it, and it shows as a whole number.
std::string ValueRefusalText(const char* placeEnglish, const char* placeChinese,
                             const char* fieldEnglish, const char* fieldChinese, int value, int min,
                             int max, int language);

// The answer to a request that needs the unit while no link is open.
const char* NotConnectedText(int language);
// The answer to a request the link refused: so many wait for the unit's
// replies that it takes no more.
std::string LineFullText(int language);

// Why a mode upload (Save, Upload To Equipment, a load into a slot) was not
// sent: another one is still going to the unit, the unit is sending its
// block (which then replaces the panel's values), so many requests wait for
// the unit's replies that the link takes no more, or the power-on mode read
// from the unit lies outside 0..10 (powerOnMode is shown then). Nothing has
// changed in the panel or the unit.
enum class UploadRefusal { kUploadRunning, kBlockReadDue, kLineFull, kPowerOnMode };
std::string UploadRefusalText(UploadRefusal why, int powerOnMode, int language);

// The language from the stored "Lang" value (nullopt: missing or unreadable):
// any non-zero value is Chinese, zero English; without a value the default,
// taken the same way.
int LanguageFromStored(std::optional<int> stored, int defaultValue);

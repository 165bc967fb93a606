#pragma once
// The PC mode folder: the list of its files, the PC names Save To PC takes,
// and a save or load of one file by name. The file's bytes are
// model/pc_mode_file.h's; its name is the PC name the user typed, without
// extension.
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "model/param_image.h"
#include "model/pc_mode_file.h"

constexpr std::size_t kMaxModeFiles = 100;

// The mode files of a folder by full file name (extension kept, so the name
// loads again), sorted by name regardless of ASCII case (names equal but
// for case by their bytes), at most 100. Files of any other size and
// sub-folders are left out, and so are the save helper's temporary files; a
// missing or unreadable folder gives none.
std::vector<std::string> ListModeFiles(const std::string& folder);

// Why Save To PC refuses a PC name: the text typed, or a file name as the
// folder holds it, read by its characters as the list shows them (UTF-8, else
// GBK, whose second byte of a character may be '\' or '|', else byte by
// byte). kInvalidCharacter: one of / \ : ? * < > | or a double quote, a
// control character, the name "." or "..", or a name of the save helper's
// temporary files (it would never be listed).
enum class PcNameRefusal { kNone, kEmpty, kInvalidCharacter };
PcNameRefusal CheckPcName(std::string_view pcName);

// What Save To PC says: a refused name's text (kNone: ""), and the question
// before a file of the folder is replaced.
const char* PcNameRefusalText(PcNameRefusal refusal, int language);
const char* PcModeOverwriteQuestion(int language);
// What Save To PC says when the image holds a value no file may hold: the
// failure text and the value's page, band, field and range.
std::string PcModeRefusalText(const PcModeRefusal& refusal, int language);

// The folder holds an entry of this name, file or not: saving asks before it
// overwrites (and fails when the entry is not a file).
bool PcModeFileExists(const std::filesystem::path& folder, const std::string& pcName);

// Writes the image as folder/pcName (the folder made when missing) with the
// shared save helper. false when the name is refused (CheckPcName), the image
// fails the check (PackPcModeFile) or the write fails; an old file then
// stays whole.
bool SavePcModeFile(const std::filesystem::path& folder, const std::string& pcName,
                    const ParamImage& image, const ModeName& modeName);

// Reads folder/pcName (a listed name, its bytes as listed) into the image
// with UnpackPcModeFile. false when the name cannot be a file of the folder,
// the file cannot be read, is not 1488 bytes or fails the check.
bool LoadPcModeFile(const std::filesystem::path& folder, const std::string& pcName,
                    ParamImage& image);

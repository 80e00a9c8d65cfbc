// What the main window keeps between runs: its position, the corner radius
// and the printer adjustment, in section "Setup" of "Quillet.ini".
#pragma once

#include <string>

namespace quillet {

constexpr const char* kSettingsFileName = "Quillet.ini";
constexpr const char* kSettingsSection = "Setup";

struct ShapesSettings {
  double Adjust = 0;     // printer adjustment
  int LastRndCnr = 0;    // corner radius, whole millimetres
  int MainFormLeft = 0;  // window position on the screen
  int MainFormTop = 0;

  // Reads the four values from the file at `path`, each defaulting to 0.
  // A missing file is first written with all four 0 (WriteDefaultSettings).
  // False when the file cannot be created, opened or read; the values read
  // before the failure remain. Never throws.
  bool ReadSettings(const std::string& path);
  // Writes "MainFormLeft", "MainFormTop", "LastRndCnr", "Adjust" in that
  // order, keeping whatever else the file holds. False on failure; never throws.
  bool WriteSettings(const std::string& path) const;
  // Sets all four values to 0 and writes them.
  bool WriteDefaultSettings(const std::string& path);
};

// Where the settings file lives: `exeDir` + "Quillet.ini" when the
// program's directory is writable; otherwise (an installed program) the
// same name in `configDir`, the per-user configuration directory. Both
// directories end with a path separator.
std::string ChooseSettingsPath(const std::string& exeDir, const std::string& configDir);

// Whether files can be created in `dir`.
bool DirectoryWritable(const std::string& dir);

}  // namespace quillet

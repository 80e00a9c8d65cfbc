#include "app/shapes_settings.h"

#include <unistd.h>

#include <exception>
#include <filesystem>

#include "app/ini_file.h"

namespace quillet {

bool ShapesSettings::ReadSettings(const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::exists(path, ec) && !WriteDefaultSettings(path)) return false;
  try {
    const IniFile ini(path);
    MainFormLeft = ini.ReadInteger(kSettingsSection, "MainFormLeft", 0);
    MainFormTop = ini.ReadInteger(kSettingsSection, "MainFormTop", 0);
    LastRndCnr = ini.ReadInteger(kSettingsSection, "LastRndCnr", 0);
    Adjust = ini.ReadFloat(kSettingsSection, "Adjust", 0);
    return true;
  } catch (const std::exception&) {
    return false;  // settings-file errors are not the user's concern
  }
}

bool ShapesSettings::WriteSettings(const std::string& path) const {
  try {
    IniFile ini(path);
    ini.WriteInteger(kSettingsSection, "MainFormLeft", MainFormLeft);
    ini.WriteInteger(kSettingsSection, "MainFormTop", MainFormTop);
    ini.WriteInteger(kSettingsSection, "LastRndCnr", LastRndCnr);
    ini.WriteFloat(kSettingsSection, "Adjust", Adjust);
    ini.UpdateFile();
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

bool ShapesSettings::WriteDefaultSettings(const std::string& path) {
  *this = ShapesSettings{};
  return WriteSettings(path);
}

bool DirectoryWritable(const std::string& dir) {
  return !dir.empty() && ::access(dir.c_str(), W_OK | X_OK) == 0;
}

std::string ChooseSettingsPath(const std::string& exeDir, const std::string& configDir) {
  if (DirectoryWritable(exeDir) || configDir.empty()) return exeDir + kSettingsFileName;
  std::error_code ec;
  std::filesystem::create_directories(configDir, ec);
  return configDir + kSettingsFileName;
}

}  // namespace quillet

// The version text: the program's four file-version numbers as "major.minor.release.build",
// shown by the About window and saved with the settings.
#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace quorvik {

// The numeric file version of the program, in the order it is written.
struct FileVersion {
    std::uint16_t major = 0;
    std::uint16_t minor = 0;
    std::uint16_t release = 0;
    std::uint16_t build = 0;
};

// "%u.%u.%u.%u" of the four numbers, decimal without leading zeros; empty when the program
// carries no version numbers.
QString formatFileVersion(const std::optional<FileVersion>& version);

// The program's own file version: the numbers the build fixes (the project version).
std::optional<FileVersion> programFileVersion();

// formatFileVersion(programFileVersion()): what the main window keeps as its version text.
QString programVersionText();

}  // namespace quorvik

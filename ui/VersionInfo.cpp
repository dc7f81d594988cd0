// The version text from the numbers the build fixes.
#include "VersionInfo.h"

#include <utility>

namespace quorvik {

QString formatFileVersion(const std::optional<FileVersion>& version) {
    return version ? QStringLiteral("%1.%2.%3.%4")
                         .arg(version->major)
                         .arg(version->minor)
                         .arg(version->release)
                         .arg(version->build)
                   : QString();
}

std::optional<FileVersion> programFileVersion() {
    // A project version with fewer than four parts leaves the last definitions empty; "+ 0"
    // turns those into 0, as a missing part of a file version is.
    constexpr long long major = QUORVIK_VERSION_MAJOR + 0;
    constexpr long long minor = QUORVIK_VERSION_MINOR + 0;
    constexpr long long release = QUORVIK_VERSION_PATCH + 0;
    constexpr long long build = QUORVIK_VERSION_TWEAK + 0;
    // A file version holds 16 bits per number; a project version beyond that would otherwise
    // show silently truncated numbers.
    static_assert(std::in_range<std::uint16_t>(major) && std::in_range<std::uint16_t>(minor) &&
                      std::in_range<std::uint16_t>(release) && std::in_range<std::uint16_t>(build),
                  "every part of the project version must lie in 0..65535");
    return FileVersion{static_cast<std::uint16_t>(major), static_cast<std::uint16_t>(minor),
                       static_cast<std::uint16_t>(release), static_cast<std::uint16_t>(build)};
}

QString programVersionText() {
    return formatFileVersion(programFileVersion());
}

}  // namespace quorvik

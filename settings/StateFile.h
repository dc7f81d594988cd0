// The state file: the game in progress, kept across a restart in a file of the program's own
// under the user's state folder, apart from the settings. Its payload is opaque here; this unit
// only sees that a file is written whole or not at all and is read back only when it is whole.
#pragma once

#include <QByteArray>
#include <QString>

class QLockFile;

#include <optional>

namespace quorvik {

// The largest payload the file holds; a larger one is not written, and a file that would hold
// one is not read.
inline constexpr qsizetype maxStatePayload = 256 * 1024;

// The state folder: $XDG_STATE_HOME when it is set to an absolute path, otherwise
// $HOME/.local/state. Read anew on every call, so a test can move it with the environment.
QString stateHome();

// <state folder>/Quorvik/game.state.
QString stateFilePath();

// What the file holds for `payload`: one header line
//
//     QUORVIK-STATE <format version> <payload length> <CRC-32 of the payload, 8 hex digits>\n
//
// followed by the payload bytes. The version is 1.
QByteArray stateFileContent(const QByteArray& payload);

// Replaces the state file by one that holds `payload`. Creates the folders it needs (mode
// 0700), writes a new file (mode 0600) beside the old one, flushes it to the disk and renames
// it over the old one, so that a crash or a full disk leaves either the old file or the new
// one, never a mix. A state file that is a symbolic link to a regular file stays a link: the
// file it points to is replaced, and the new file is written beside that one. Removes new files
// that an interrupted earlier write left behind. Returns false, leaving the old file as it was,
// when anything fails or the payload is too large.
bool writeStateFile(const QByteArray& payload);

// The payload of the state file, or nothing when there is no whole file of this format: a
// missing file, a file that is not a regular file (a symbolic link to one counts as one; a
// pipe, a device or a folder is passed over without being read, so nothing can block), a file
// larger than a header and maxStatePayload, a header with another magic word or version, a
// length that does not match or a checksum that does not fit.
std::optional<QByteArray> readStateFile();

// Removes the state file; does nothing when there is none, and leaves a folder at its place.
void removeStateFile();

// --- The same file code for the program's other files ---

// Replaces `folder`/`name` by a file holding `content`, as writeStateFile does: folders made as
// needed, a new file beside it flushed and renamed over it. New files of interrupted earlier
// writes of this name are removed first, so a caller with several writers holds a lock.
bool writeFileWhole(const QString& folder, const QString& name, const QByteArray& content);

// The content of `path` when it is a regular file (or a link to one) of at most `limit` bytes;
// nothing for a missing file, anything else at the path, or a larger file. Nothing is opened
// that could block.
std::optional<QByteArray> readRegularFile(const QString& path, qsizetype limit);

// Takes `lock`, waiting up to `waitMs` for another program's change. Anything but a regular
// file or nothing at the lock's path (a pipe, a device, a folder, a dangling link) is refused at
// once: reading it could block or never end. A lock that no living program holds is taken over
// at once, also one that names no process or cannot be read.
bool takeLock(QLockFile& lock, int waitMs);

// The CRC-32 of `data` (as in zlib), as eight lower-case hexadecimal digits.
QByteArray checksumText(const QByteArray& data);

}  // namespace quorvik

// The state file: the game in progress, kept across a restart in a file of the program's own
// under the user's state folder, apart from the settings. Its payload is opaque here; this unit
// only sees that a file is written whole or not at all and is read back only when it is whole.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

#include "AtomicFile.h"

namespace quorvik {

// The largest payload the file holds; a larger one is not written, and a file that would hold
// one is not read.
inline constexpr qsizetype maxStatePayload = 256 * 1024;

// The state folder: $XDG_STATE_HOME, else $HOME/.local/state (as xdgFolder reads them).
QString stateHome();

// <state folder>/Quorvik/game.state.
QString stateFilePath();

// What the file holds for `payload`: checkedContent of it, magic word QUORVIK-STATE, version 1.
QByteArray stateFileContent(const QByteArray& payload);

// Replaces the state file by one that holds `payload`, as writeFileWhole does: a private file
// in private folders, written whole or not at all; a link to a regular file stays a link.
// Returns false, leaving the old file as it was, when anything fails or the payload is too large.
bool writeStateFile(const QByteArray& payload);

// The payload of the state file, or nothing when there is no whole file of this format: none
// there, no regular file (a link to one counts; nothing else is opened, so nothing can block),
// one larger than a header and maxStatePayload, or another magic word, version, length or sum.
std::optional<QByteArray> readStateFile();

// Removes the state file; does nothing when there is none, and leaves a folder at its place.
void removeStateFile();

}  // namespace quorvik

// Where a save that replaces a file by a rename puts the new file, so that a symbolic link at
// the file's place stays a link. The settings store and the state file both save this way.
#pragma once

#include <QString>

namespace quorvik {

// The file that a save to `path` replaces: for a symbolic link that ends, through any number of
// links, at a regular file, that file; for anything else, `path` itself. The new file is written
// beside the file replaced, since a rename cannot cross file systems.
QString replacedFile(const QString& path);

}  // namespace quorvik

// The file a save through a symbolic link replaces.
#include "ReplacedFile.h"

#include <QFileInfo>

namespace quorvik {

QString replacedFile(const QString& path) {
    const QFileInfo info(path);
    return info.isSymLink() && info.isFile() ? info.canonicalFilePath() : path;
}

}  // namespace quorvik

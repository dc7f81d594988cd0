// The state file: a checked header over the payload, written and read through the shared file
// code, so that only a whole file of bounded size is ever read back.
#include "StateFile.h"

#include <QFile>

namespace quorvik {

namespace {

constexpr char magic[] = "QUORVIK-STATE";
constexpr char formatVersion[] = "1";
constexpr char fileName[] = "game.state";

QString stateFolder() {
    return stateHome() + QStringLiteral("/Quorvik");
}

}  // namespace

QString stateHome() {
    return xdgFolder("XDG_STATE_HOME", ".local/state");
}

QString stateFilePath() {
    return stateFolder() + u'/' + QString::fromLatin1(fileName);
}

QByteArray stateFileContent(const QByteArray& payload) {
    return checkedContent(magic, formatVersion, payload);
}

bool writeStateFile(const QByteArray& payload) {
    return payload.size() <= maxStatePayload &&
           writeFileWhole(stateFolder(), QString::fromLatin1(fileName), stateFileContent(payload));
}

std::optional<QByteArray> readStateFile() {
    // A header line is far shorter than 64 bytes.
    const std::optional<QByteArray> content =
        readRegularFile(stateFilePath(), maxStatePayload + 64);
    return content ? checkedBody(*content, magic, formatVersion, maxStatePayload) : std::nullopt;
}

void removeStateFile() {
    QFile::remove(stateFilePath());  // an unlink: never removes a folder
}

}  // namespace quorvik

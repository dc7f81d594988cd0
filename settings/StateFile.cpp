// The state file: a checked header over the payload, written and read through the shared file
// code, so that only a whole file of bounded size is ever read back.
#include "StateFile.h"

#include <QDir>
#include <QFile>
#include <QList>

#include <unistd.h>

namespace quorvik {

namespace {

constexpr char magic[] = "QUORVIK-STATE";
constexpr char formatVersion[] = "1";
constexpr char fileName[] = "game.state";

// The longest header line: magic, version, length and checksum with their separators and the
// line end, with room to spare.
constexpr qsizetype maxHeaderSize = 64;
constexpr qsizetype maxFileSize = maxStatePayload + maxHeaderSize;

QString stateFolder() {
    return stateHome() + QStringLiteral("/Quorvik");
}

// A decimal length without sign or leading zeros, within the payload limit.
std::optional<qsizetype> lengthField(const QByteArray& text) {
    if (text.isEmpty() || text.size() > 7 || (text.size() > 1 && text.front() == '0')) {
        return std::nullopt;
    }
    qsizetype value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    if (value > maxStatePayload) {
        return std::nullopt;
    }
    return value;
}

std::optional<QByteArray> payloadOf(const QByteArray& content) {
    const qsizetype lineEnd = content.indexOf('\n');
    if (lineEnd < 0 || lineEnd >= maxHeaderSize) {
        return std::nullopt;
    }
    const QList<QByteArray> fields = content.left(lineEnd).split(' ');
    if (fields.size() != 4 || fields[0] != magic || fields[1] != formatVersion) {
        return std::nullopt;
    }
    const std::optional<qsizetype> length = lengthField(fields[2]);
    if (!length || content.size() - lineEnd - 1 != *length) {
        return std::nullopt;
    }
    QByteArray payload = content.mid(lineEnd + 1);
    if (fields[3] != checksumText(payload)) {
        return std::nullopt;
    }
    return payload;
}

}  // namespace

QString stateHome() {
    const QString configured = qEnvironmentVariable("XDG_STATE_HOME");
    // A relative path is not a valid setting and is ignored, as for the other XDG folders.
    if (!configured.isEmpty() && QDir::isAbsolutePath(configured)) {
        return QDir::cleanPath(configured);
    }
    return QDir::cleanPath(QDir::homePath() + QStringLiteral("/.local/state"));
}

QString stateFilePath() {
    return stateFolder() + u'/' + QString::fromLatin1(fileName);
}

QByteArray stateFileContent(const QByteArray& payload) {
    QByteArray content = QByteArray(magic) + ' ' + formatVersion + ' ' +
                         QByteArray::number(payload.size()) + ' ' + checksumText(payload) + '\n';
    return content + payload;
}

bool writeStateFile(const QByteArray& payload) {
    if (payload.size() > maxStatePayload) {
        return false;
    }
    return writeFileWhole(stateFolder(), QString::fromLatin1(fileName), stateFileContent(payload));
}

std::optional<QByteArray> readStateFile() {
    const std::optional<QByteArray> content = readRegularFile(stateFilePath(), maxFileSize);
    return content ? payloadOf(*content) : std::nullopt;
}

void removeStateFile() {
    ::unlink(QFile::encodeName(stateFilePath()).constData());  // never removes a folder
}

}  // namespace quorvik

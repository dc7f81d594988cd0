// The state file on a POSIX file system: a checked header, a write that replaces the file by a
// rename, and a read that never opens anything but a regular file of bounded size.
#include "StateFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QLockFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "ReplacedFile.h"

namespace quorvik {

namespace {

constexpr char magic[] = "QUORVIK-STATE";
constexpr char formatVersion[] = "1";
constexpr char fileName[] = "game.state";
// New files are written beside the file they replace, under its name, this and six random
// characters.
constexpr char newFileInfix[] = ".new-";

// The longest header line: magic, version, length and checksum with their separators and the
// line end, with room to spare.
constexpr qsizetype maxHeaderSize = 64;
constexpr qsizetype maxFileSize = maxStatePayload + maxHeaderSize;

// CRC-32 as in zlib and PNG (reflected polynomial 0xEDB88320).
std::uint32_t crc32(const QByteArray& data) {
    static constexpr auto table = [] {
        std::array<std::uint32_t, 256> entries{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) {
                c = (c & 1u) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            }
            entries[n] = c;
        }
        return entries;
    }();
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const char byte : data) {
        crc = table[(crc ^ static_cast<unsigned char>(byte)) & 0xFFu] ^ (crc >> 8);
    }
    return crc ^ 0xFFFFFFFFu;
}

QByteArray nativePath(const QString& path) {
    return QFile::encodeName(path);
}

QString stateFolder() {
    return stateHome() + QStringLiteral("/Quorvik");
}

// Closes a descriptor when the scope ends.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return fd_; }
    // Closes now and tells whether the close succeeded (it reports late write errors).
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

// Creates `folder` and the folders above it that are missing; true when it is a folder after.
bool makeFolder(const QString& folder) {
    struct stat info {};
    if (::stat(nativePath(folder).constData(), &info) == 0) {
        return S_ISDIR(info.st_mode);
    }
    const QString parent = QFileInfo(folder).path();
    if (parent != folder && !makeFolder(parent)) {
        return false;
    }
    if (::mkdir(nativePath(folder).constData(), 0700) == 0) {
        return true;
    }
    return errno == EEXIST && ::stat(nativePath(folder).constData(), &info) == 0 &&
           S_ISDIR(info.st_mode);
}

// New files that earlier writes of `target` left when they never reached their rename (the
// program was killed while writing). A write running in a second copy of the program at this
// moment loses its file and fails; the state file itself stays whole either way.
void removeLeftovers(const QString& target) {
    const QFileInfo info(target);
    const QString prefix = info.fileName() + QLatin1String(newFileInfix);
    const QStringList names =
        QDir(info.absolutePath())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& name : names) {
        if (name.size() == prefix.size() + 6 && name.startsWith(prefix)) {
            ::unlink(nativePath(info.absolutePath() + u'/' + name).constData());
        }
    }
}

bool writeAll(int fd, const QByteArray& bytes) {
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, static_cast<std::size_t>(left));
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        data += written;
        left -= written;
    }
    return true;
}

// Makes the rename itself durable.
void syncFolder(const QString& folder) {
    const Descriptor fd(::open(nativePath(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() >= 0) {
        ::fsync(fd.get());
    }
}

// Reads at most `limit` + 1 bytes, so that a file that grew past the limit is noticed.
std::optional<QByteArray> readBounded(int fd, qsizetype limit) {
    QByteArray bytes(limit + 1, Qt::Uninitialized);
    qsizetype total = 0;
    while (total < bytes.size()) {
        const ssize_t got =
            ::read(fd, bytes.data() + total, static_cast<std::size_t>(bytes.size() - total));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return std::nullopt;
        }
        if (got == 0) {
            break;
        }
        total += got;
    }
    if (total > limit) {
        return std::nullopt;
    }
    bytes.truncate(total);
    return bytes;
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
    // A state file that is a link to a regular file stays a link: the file it ends at is replaced.
    return writeFileWhole(stateFolder(), QString::fromLatin1(fileName), stateFileContent(payload));
}

std::optional<QByteArray> readStateFile() {
    const std::optional<QByteArray> content = readRegularFile(stateFilePath(), maxFileSize);
    return content ? payloadOf(*content) : std::nullopt;
}

void removeStateFile() {
    ::unlink(nativePath(stateFilePath()).constData());  // never removes a folder
}

QByteArray checksumText(const QByteArray& data) {
    return QByteArray::number(crc32(data), 16).rightJustified(8, '0');
}

bool writeFileWhole(const QString& folder, const QString& name, const QByteArray& content) {
    if (!makeFolder(folder)) {
        return false;
    }
    // A link to a regular file stays a link: the file it ends at is replaced.
    const QString target = replacedFile(folder + u'/' + name);
    removeLeftovers(target);
    QByteArray newName = nativePath(target + QLatin1String(newFileInfix)) + "XXXXXX";
    Descriptor fd(::mkostemp(newName.data(), O_CLOEXEC));  // mode 0600
    if (fd.get() < 0) {
        return false;
    }
    bool written = writeAll(fd.get(), content) && ::fsync(fd.get()) == 0;
    written = fd.close() && written;
    if (!written || ::rename(newName.constData(), nativePath(target).constData()) != 0) {
        ::unlink(newName.constData());
        return false;
    }
    syncFolder(QFileInfo(target).absolutePath());
    return true;
}

std::optional<QByteArray> readRegularFile(const QString& path, qsizetype limit) {
    const QByteArray native = nativePath(path);
    // Looked at before it is opened: opening a pipe or a device can block or have effects.
    struct stat info {};
    if (::stat(native.constData(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > limit) {
        return std::nullopt;
    }
    // Non-blocking and checked again once open, in case the file was swapped in between.
    const Descriptor fd(::open(native.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0 || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    return readBounded(fd.get(), limit);
}

bool takeLock(QLockFile& lock, int waitMs) {
    const QByteArray name = nativePath(lock.fileName());
    struct stat info {};
    if (::stat(name.constData(), &info) == 0 ? !S_ISREG(info.st_mode)
                                             : ::lstat(name.constData(), &info) == 0) {
        return false;
    }
    if (lock.tryLock(0)) {
        return true;
    }
    // A program killed between creating the lock and writing into it leaves one that names no
    // process. A living program holds a file lock on its lock file, and the removal needs that
    // file lock, so no running change loses its lock to this.
    if (lock.error() == QLockFile::LockFailedError &&
        !lock.getLockInfo(nullptr, nullptr, nullptr) && !lock.removeStaleLockFile()) {
        // The removal opens the file to lock it; one that cannot be opened is removed as it is.
        if (::access(name.constData(), W_OK) != 0 && errno == EACCES) {
            ::unlink(name.constData());
        }
    }
    return lock.tryLock(waitMs);
}

}  // namespace quorvik

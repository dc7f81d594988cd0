// The shared file code on a POSIX file system: staging beside the file and a rename, a lock that
// looks at its file before touching it, and a read that stats before it opens.
#include "AtomicFile.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QLockFile>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstdint>

namespace quorvik {

namespace {

// How long a lock file may name no process before it counts as left by a killed program.
constexpr qint64 namelessLockMs = 300;

// Set by endLockWaits, possibly in a signal handler, so lock-free.
std::atomic<bool> lockWaitsEnded{false};
static_assert(std::atomic<bool>::is_always_lock_free);

// Creates `folder` and the folders above it that are missing; true when it is a folder after.
bool makeFolder(const QString& folder) {
    const QByteArray native = QFile::encodeName(folder);
    struct stat info {};
    if (::stat(native.constData(), &info) == 0) {
        return S_ISDIR(info.st_mode);
    }
    const QString parent = QFileInfo(folder).path();
    if (parent != folder && !makeFolder(parent)) {
        return false;
    }
    // Made here, or meanwhile by another program.
    ::mkdir(native.constData(), 0700);
    return ::stat(native.constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Files that earlier replaces of `target` left when they were killed before their rename:
// staging files ".<name>.XXXXXX" (also with a lock or a temporary file of their own), the
// "<name>.new-XXXXXX" files of earlier state and record writes, and a "<name>.check" link.
// A replace running in a second copy of the program at this moment loses its file and fails;
// the file itself stays whole either way.
void removeLeftovers(const QString& target) {
    const QFileInfo info(target);
    const QString name = QRegularExpression::escape(info.fileName());
    const QRegularExpression staging(
        QStringLiteral("^(\\.%1\\.[A-Za-z0-9]{6}(\\.lock|\\.[A-Za-z0-9]{6})?|%1\\.new-.{6})$")
            .arg(name));
    const QString check = info.fileName() + QStringLiteral(".check");
    const QFileInfoList entries =
        QDir(info.absolutePath())
            .entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo& entry : entries) {
        if (entry.isSymLink() ? entry.fileName() == check
                              : entry.isFile() && staging.match(entry.fileName()).hasMatch()) {
            ::unlink(QFile::encodeName(entry.filePath()).constData());
        }
    }
}

// A new, empty staging file beside `target`, with a name no other file has, or -1. Should a
// leftover that was not removed have the same name, the replace fails and the next one takes.
int createStaging(const QString& target, mode_t mode, QByteArray* stagingName) {
    static constexpr char letters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    const QFileInfo info(target);
    *stagingName =
        QFile::encodeName(info.absolutePath() + QStringLiteral("/.") + info.fileName()) + '.';
    for (int i = 0; i < 6; ++i) {
        *stagingName += letters[QRandomGenerator::global()->bounded(62)];
    }
    return ::open(stagingName->constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW,
                  mode);
}

// Reads or writes (`io` is ::read or ::write) until `size` bytes moved or none moves any more
// (the end of the file); how many moved, or -1 at an error other than an interruption.
template <typename Io, typename Byte>
qsizetype transferAll(Io io, int fd, Byte* data, qsizetype size) {
    qsizetype done = 0;
    while (done < size) {
        const ssize_t moved = io(fd, data + done, static_cast<std::size_t>(size - done));
        if (moved > 0) {
            done += moved;
        } else if (moved == 0) {
            break;
        } else if (errno != EINTR) {
            return -1;
        }
    }
    return done;
}

// Reads at most `limit` + 1 bytes, so that a file that grew past the limit is noticed.
std::optional<QByteArray> readBounded(int fd, qsizetype limit) {
    QByteArray bytes(limit + 1, Qt::Uninitialized);
    const qsizetype total = transferAll(::read, fd, bytes.data(), bytes.size());
    if (total < 0 || total > limit) {
        return std::nullopt;
    }
    bytes.truncate(total);
    return bytes;
}

}  // namespace

bool replaceFile(const QString& path, const QByteArray& content, const ReplaceOptions& options) {
    const ReplaceProbe reached = options.probe ? options.probe : [](ReplaceStep) {};
    const QByteArray native = QFile::encodeName(path);
    struct stat old {};
    const bool found = ::stat(native.constData(), &old) == 0;
    const bool replacing = found && S_ISREG(old.st_mode);
    if (options.userFile && (found ? !replacing : ::lstat(native.constData(), &old) == 0)) {
        return false;  // a device, a FIFO, a folder, a dangling link: nothing to replace
    }
    // A symbolic link that ends, through any number of links, at a regular file stays a link:
    // that file is replaced, staged beside it since a rename cannot cross file systems.
    const QFileInfo info(path);
    const QString target = info.isSymLink() && info.isFile() ? info.canonicalFilePath() : path;
    removeLeftovers(target);
    reached(ReplaceStep::LeftoversRemoved);

    QByteArray staging;
    Descriptor fd(createStaging(target, options.userFile && !replacing ? 0666 : 0600, &staging));
    if (fd.get() < 0) {
        return false;
    }
    reached(ReplaceStep::Staged);
    bool ok =
        transferAll(::write, fd.get(), content.constData(), content.size()) == content.size() &&
        ::fsync(fd.get()) == 0 &&
        !(options.userFile && replacing && ::fchmod(fd.get(), old.st_mode & 07777) != 0);
    ok = fd.close() && ok;
    if (ok) {
        reached(ReplaceStep::Written);
        // Read back from the disk's view of the staging file.
        const Descriptor check(::open(staging.constData(), O_RDONLY | O_CLOEXEC));
        ok = check.get() >= 0 && readBounded(check.get(), content.size()) == content;
    }
    if (ok) {
        reached(ReplaceStep::Checked);
        ok = ::rename(staging.constData(), QFile::encodeName(target).constData()) == 0;
    }
    if (!ok) {
        ::unlink(staging.constData());
        return false;
    }
    reached(ReplaceStep::Replaced);
    // Makes the rename itself durable.
    const Descriptor folder(::open(QFile::encodeName(QFileInfo(target).absolutePath()).constData(),
                                   O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    ::fsync(folder.get());  // nothing happens when it could not be opened
    return true;
}

bool writeFileWhole(const QString& folder, const QString& name, const QByteArray& content) {
    return makeFolder(folder) && replaceFile(folder + u'/' + name, content);
}

std::optional<QByteArray> readRegularFile(const QString& path, qsizetype limit) {
    const QByteArray native = QFile::encodeName(path);
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

void endLockWaits() noexcept {
    lockWaitsEnded.store(true, std::memory_order_relaxed);
}

bool takeLock(QLockFile& lock, int waitMs) {
    const QByteArray name = QFile::encodeName(lock.fileName());
    // Waited for in short steps, so that a request to end the program ends the wait soon.
    const QDeadlineTimer deadline(std::max(waitMs, 0));
    for (int step = 0;; step = static_cast<int>(std::min<qint64>(deadline.remainingTime(), 50))) {
        struct stat info {};
        if (::stat(name.constData(), &info) == 0 ? !S_ISREG(info.st_mode)
                                                 : ::lstat(name.constData(), &info) == 0) {
            return false;
        }
        if (lock.tryLock(step)) {
            return true;
        }
        if (lock.error() != QLockFile::LockFailedError || deadline.hasExpired() ||
            lockWaitsEnded.load(std::memory_order_relaxed)) {
            return false;
        }
        // A program killed between creating the lock and writing into it leaves one that names
        // no process. A living program names itself right after creating it, so only a lock
        // nameless for a while is taken for such a leftover; and a living program holds a file
        // lock on its lock file, which the removal needs, so no running change loses its lock.
        if (!lock.getLockInfo(nullptr, nullptr, nullptr) &&
            QFileInfo(lock.fileName()).lastModified().msecsTo(QDateTime::currentDateTime()) >
                namelessLockMs &&
            !lock.removeStaleLockFile()) {
            // The removal opens the file to lock it; one that cannot be opened is removed as
            // it is.
            if (::access(name.constData(), W_OK) != 0 && errno == EACCES) {
                ::unlink(name.constData());
            }
        }
    }
}

QString xdgFolder(const char* variable, const char* fallback) {
    const QString configured = qEnvironmentVariable(variable);
    return QDir::cleanPath(QDir::isAbsolutePath(configured)
                               ? configured
                               : QDir::homePath() + u'/' + QLatin1String(fallback));
}

QByteArray checksumText(const QByteArray& data) {
    // CRC-32 as in zlib and PNG (reflected polynomial 0xEDB88320).
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
    return QByteArray::number(crc ^ 0xFFFFFFFFu, 16).rightJustified(8, '0');
}

QByteArray checkedContent(const char* magic, const char* version, const QByteArray& body) {
    return QByteArray(magic) + ' ' + version + ' ' + QByteArray::number(body.size()) + ' ' +
           checksumText(body) + '\n' + body;
}

std::optional<QByteArray> checkedBody(const QByteArray& content, const char* magic,
                                      const char* version, qsizetype maxBody) {
    // No header of this form is longer than 64 characters.
    const qsizetype lineEnd = content.indexOf('\n');
    if (lineEnd < 0 || lineEnd > 64) {
        return std::nullopt;
    }
    const QList<QByteArray> header = content.left(lineEnd).split(' ');
    QByteArray body = content.mid(lineEnd + 1);
    // The length as written: no sign, no leading zeros.
    if (header.size() != 4 || header[0] != magic || header[1] != version || body.size() > maxBody ||
        header[2] != QByteArray::number(body.size()) || header[3] != checksumText(body)) {
        return std::nullopt;
    }
    return body;
}

}  // namespace quorvik

// The file code every store of the program shares: a file replaced whole by a rename, an
// advisory lock that never blocks on what is not a lock file, and a bounded read that opens
// nothing but a regular file. The settings, the game in progress and the record all go through it.
#pragma once

#include <QByteArray>
#include <QString>

#include <unistd.h>

#include <functional>
#include <optional>
#include <utility>

class QLockFile;

namespace quorvik {

// A file or socket descriptor, closed when the scope ends.
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
        const int fd = std::exchange(fd_, -1);
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

// The moments of a replace, in order: the caller's lock is held (the caller reports this one),
// leftovers of earlier replaces are gone, the staging file exists, it holds the new content, the
// content was read back, the staging file has replaced the file.
enum class ReplaceStep { Locked, LeftoversRemoved, Staged, Written, Checked, Replaced };
// Called at each step; tests stop a replace there as a program killed at that moment stops.
using ReplaceProbe = std::function<void(ReplaceStep)>;

struct ReplaceOptions {
    // The player's own file (settings): it keeps the mode of the file it replaces, a first one
    // gets the umask's, and a replace refuses when a pipe, a device, a folder or a dangling link
    // is at the path. Otherwise the new file is private (mode 0600) and replaces anything but a
    // folder.
    bool userFile = false;
    ReplaceProbe probe;
};

// Replaces the file at `path` by one holding `content`: staging files that earlier replaces of
// it left are removed, a new one is written beside it, flushed to the disk, read back and
// renamed over it, so that a crash or a full disk leaves either the old file or the new one,
// never a mix. A link to a regular file stays a link. Returns false, leaving the old file as it
// was, when anything fails. The folder must exist; a caller with several writers holds a lock.
bool replaceFile(const QString& path, const QByteArray& content,
                 const ReplaceOptions& options = {});

// replaceFile of `folder`/`name` as a private file, creating the folders it needs (mode 0700).
bool writeFileWhole(const QString& folder, const QString& name, const QByteArray& content);

// The content of `path` when it is a regular file (or a link to one) of at most `limit` bytes;
// nothing for a missing file, anything else at the path, or a larger file. Nothing is opened
// that could block.
std::optional<QByteArray> readRegularFile(const QString& path, qsizetype limit);

// Takes `lock`, waiting up to `waitMs` for another program's change, or not at all once
// endLockWaits was called. Anything but a regular file or nothing at the lock's path (a pipe, a
// device, a folder, a dangling link) is refused at once: reading it could block or never end. A
// lock that no living program holds is taken over at once, also one that names no process or
// cannot be read.
bool takeLock(QLockFile& lock, int waitMs);

// The program is asked to end: a lock wait under way ends within a step, and later ones try once
// without waiting, so that the quit save follows at once. Safe to call in a signal handler.
void endLockWaits() noexcept;

// The folder the XDG variable `variable` names when it is set to an absolute path (a relative
// one is not a valid setting and is ignored), else `fallback` below the home folder; read anew
// on every call, so that a test can move it with the environment.
QString xdgFolder(const char* variable, const char* fallback);

// The CRC-32 of `data` (as in zlib), as eight lower-case hexadecimal digits.
QByteArray checksumText(const QByteArray& data);

// A checked file: one header line
//
//     <magic word> <format version> <body length> <CRC-32 of the body, 8 hex digits>\n
//
// followed by the body. checkedBody returns the body, or nothing when the header is not of this
// form, the length or checksum does not match, or the body is longer than `maxBody`.
QByteArray checkedContent(const char* magic, const char* version, const QByteArray& body);
std::optional<QByteArray> checkedBody(const QByteArray& content, const char* magic,
                                      const char* version, qsizetype maxBody);

}  // namespace quorvik

// The running copy's local socket: a later start writes one line ("front", or "front" and a puzzle
// number), the running copy answers one line and comes to the front. Plain sockets of the system,
// watched by the event loop, so that the program needs no network library at start.
#include "SingleCopy.h"

#include <QCryptographicHash>
#include <QDir>
#include <QSocketNotifier>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "AtomicFile.h"
#include "StateFile.h"

namespace quorvik {

namespace {

constexpr char knock[] = "front";
constexpr char answer[] = "ok\n";
// How long a later start waits for the running copy; a copy that is held up longer (stopped,
// or hanging) is not waited for.
constexpr int answerWaitMs = 2000;
// The longest line a knock may have: the word and a puzzle number.
constexpr qsizetype longestKnock = 64;

// The socket's address; false when the path does not fit into one.
bool socketAddress(const QString& path, sockaddr_un& address) {
    const QByteArray name = QFile::encodeName(path);
    address = {};
    address.sun_family = AF_UNIX;
    if (name.size() >= qsizetype(sizeof address.sun_path)) {
        return false;
    }
    std::memcpy(address.sun_path, name.constData(), std::size_t(name.size()));
    return true;
}

// Whether a program answers at `path`, asked to come to the front and start `puzzle`.
bool knockAt(const QString& path, int waitMs, const std::optional<PuzzleId>& puzzle) {
    sockaddr_un address;
    const Descriptor socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (socket.get() < 0 || !socketAddress(path, address)) {
        return false;
    }
    // Each step waits at most this long: the connection, the knock, every part of the answer.
    const timeval wait{waitMs / 1000, (waitMs % 1000) * 1000};
    ::setsockopt(socket.get(), SOL_SOCKET, SO_SNDTIMEO, &wait, sizeof wait);
    ::setsockopt(socket.get(), SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    if (::connect(socket.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        return false;
    }
    QByteArray line = knock;
    if (puzzle) {
        line += ' ' + QByteArray::fromStdString(formatPuzzleNumber(*puzzle));
    }
    line += '\n';
    if (::send(socket.get(), line.constData(), std::size_t(line.size()), MSG_NOSIGNAL) !=
        line.size()) {
        return false;
    }
    QByteArray reply;
    char buffer[16];
    ssize_t got = 0;
    while (!reply.contains('\n') && (got = ::recv(socket.get(), buffer, sizeof buffer, 0)) > 0) {
        reply.append(buffer, got);
    }
    return reply == answer;
}

// One later start's connection: reads its line as it arrives, answers a well-formed knock, and
// closes. A line longer than a knock, or a connection closed early, is dropped.
class Knock : public QObject {
public:
    Knock(int fd, LaterStart toFront, QObject* parent)
        : QObject(parent),
          socket_(fd),
          toFront_(std::move(toFront)),
          notifier_(fd, QSocketNotifier::Read, this) {
        connect(&notifier_, &QSocketNotifier::activated, this, &Knock::read);
    }

private:
    void read() {
        char buffer[longestKnock];
        const ssize_t got = ::recv(socket_.get(), buffer, sizeof buffer, 0);
        if (got < 0 && (errno == EAGAIN || errno == EINTR)) {
            return;
        }
        if (got > 0) {
            line_.append(buffer, got);
        }
        if (got > 0 && !line_.contains('\n') && line_.size() <= longestKnock) {
            return;
        }
        notifier_.setEnabled(false);
        deleteLater();
        if (!line_.contains('\n') || line_.size() > longestKnock) {
            return;
        }
        const QList<QByteArray> words = line_.left(line_.indexOf('\n')).trimmed().split(' ');
        const std::optional<PuzzleId> puzzle =
            words.size() == 2 ? parsePuzzleNumber(words[1].toStdString()) : std::nullopt;
        if (words[0] == knock && (words.size() == 1 || puzzle)) {
            ::send(socket_.get(), answer, sizeof answer - 1, MSG_NOSIGNAL);
            toFront_(puzzle);
        }
    }

    Descriptor socket_;
    LaterStart toFront_;
    QSocketNotifier notifier_;
    QByteArray line_;
};

// The listening socket at `path`; it goes, file and all, with its owner.
class Listener : public QObject {
public:
    Listener(int fd, QString path, LaterStart toFront, QObject* owner)
        : QObject(owner),
          socket_(fd),
          path_(std::move(path)),
          toFront_(std::move(toFront)),
          notifier_(fd, QSocketNotifier::Read, this) {
        connect(&notifier_, &QSocketNotifier::activated, this, &Listener::accept);
    }
    ~Listener() override { ::unlink(QFile::encodeName(path_).constData()); }

private:
    void accept() {
        for (;;) {
            const int fd = ::accept4(socket_.get(), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
            if (fd < 0) {
                return;
            }
            new Knock(fd, toFront_, this);
        }
    }

    Descriptor socket_;
    QString path_;
    LaterStart toFront_;
    QSocketNotifier notifier_;
};

// A listening socket at `address`, reachable by this user alone; -1 with errno set when none.
int listenAt(const sockaddr_un& address) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        return -1;
    }
    // The socket file is made without rights for others; connecting needs the right to write.
    const mode_t mask = ::umask(S_IRWXG | S_IRWXO);
    const bool bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    const int error = errno;
    ::umask(mask);
    if (!bound || ::listen(fd, 8) != 0) {
        const int failure = bound ? errno : error;
        ::close(fd);
        errno = failure;
        return -1;
    }
    return fd;
}

// The socket's path: $XDG_RUNTIME_DIR (else the temporary folder) and a name made from the state
// folder, so that programs with other files, as tests with folders of their own, never meet.
QString singleCopySocketPath() {
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty() || !QDir::isAbsolutePath(folder) || !QDir(folder).exists()) {
        folder = QDir::tempPath();
    }
    const QByteArray key =
        QCryptographicHash::hash(QFile::encodeName(stateHome()), QCryptographicHash::Sha256)
            .toHex()
            .left(16);
    return QDir::cleanPath(folder) + QStringLiteral("/quorvik-") + QString::fromLatin1(key) +
           QStringLiteral(".socket");
}

}  // namespace

bool bringRunningCopyToFront(const std::optional<PuzzleId>& puzzle) {
    return knockAt(singleCopySocketPath(), answerWaitMs, puzzle);
}

bool listenForLaterStarts(QObject* owner, LaterStart toFront) {
    const QString path = singleCopySocketPath();
    sockaddr_un address;
    if (!socketAddress(path, address)) {
        return false;
    }
    int fd = listenAt(address);
    // A socket nobody answers at is a dead copy's; one that answers (a copy started at the same
    // moment) is left to it.
    if (fd < 0 && errno == EADDRINUSE && !knockAt(path, 200, std::nullopt) &&
        ::unlink(address.sun_path) == 0) {
        fd = listenAt(address);
    }
    if (fd < 0) {
        return false;
    }
    new Listener(fd, path, std::move(toFront), owner);
    return true;
}

}  // namespace quorvik

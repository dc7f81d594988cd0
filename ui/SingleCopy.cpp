// The running copy's local socket: a later start writes one line ("front", or "front" and a puzzle
// number), the running copy answers one line and comes to the front.
#include "SingleCopy.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>

#include "StateFile.h"

namespace quorvik {

namespace {

constexpr char knock[] = "front";
constexpr char answer[] = "ok\n";
// How long a later start waits for the running copy; a copy that is held up longer (stopped,
// or hanging) is not waited for.
constexpr int answerWaitMs = 2000;

// Whether a program answers at `path`, asked to come to the front and start `puzzle`.
bool knockAt(const QString& path, int waitMs, const std::optional<PuzzleId>& puzzle) {
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(waitMs)) {
        return false;
    }
    QByteArray line = knock;
    if (puzzle) {
        line += ' ' + QByteArray::fromStdString(formatPuzzleNumber(*puzzle));
    }
    socket.write(line + '\n');
    if (!socket.waitForBytesWritten(waitMs)) {
        return false;
    }
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(waitMs)) {
            return false;
        }
    }
    return socket.readLine() == answer;
}

}  // namespace

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

bool bringRunningCopyToFront(const std::optional<PuzzleId>& puzzle) {
    return knockAt(singleCopySocketPath(), answerWaitMs, puzzle);
}

bool listenForLaterStarts(QObject* owner, LaterStart toFront) {
    const QString path = singleCopySocketPath();
    auto* server = new QLocalServer(owner);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(path)) {
        // A socket nobody answers at is a dead copy's; one that answers (a copy started at the
        // same moment) is left to it.
        if (server->serverError() != QAbstractSocket::AddressInUseError ||
            knockAt(path, 200, std::nullopt) || !QLocalServer::removeServer(path) ||
            !server->listen(path)) {
            delete server;
            return false;
        }
    }
    QObject::connect(server, &QLocalServer::newConnection, server, [server, toFront] {
        while (QLocalSocket* socket = server->nextPendingConnection()) {
            QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QLocalSocket::readyRead, socket, [socket, toFront] {
                if (!socket->canReadLine()) {
                    return;
                }
                const QList<QByteArray> words = socket->readLine(64).trimmed().split(' ');
                const std::optional<PuzzleId> puzzle =
                    words.size() == 2 ? parsePuzzleNumber(words[1].toStdString()) : std::nullopt;
                if (words[0] == knock && (words.size() == 1 || puzzle)) {
                    socket->write(answer);
                    socket->flush();
                    toFront(puzzle);
                }
                socket->disconnectFromServer();
            });
        }
    });
    return true;
}

}  // namespace quorvik

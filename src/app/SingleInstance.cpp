#include "app/SingleInstance.h"

#include <QDataStream>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>

#include "platform/ProgramFile.h"

namespace tavrin {

namespace {

// A name longer than this is no file name: the connection is dropped.
constexpr qsizetype kLongestName = 64 * 1024;

const char* kNamesProperty = "tavrinNames";

}  // namespace

SingleInstance::SingleInstance(QString serverName, QObject* parent)
    : QObject(parent), serverName_(std::move(serverName)) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::DefaultServerName() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir::isAbsolutePath(runtime) && QDir(runtime).exists())
        return QDir(runtime).filePath(QStringLiteral("tavrin.socket"));
    return QStringLiteral("tavrin-%1").arg(QString::fromStdString(CurrentUserId()));
}

bool SingleInstance::Answers() const {
    QLocalSocket probe;
    probe.connectToServer(serverName_);
    if (!probe.waitForConnected(500))
        return false;
    probe.abort();
    return true;
}

bool SingleInstance::HandOver(const std::vector<std::string>& names, int timeoutMilliseconds) {
    QLocalSocket socket;
    socket.connectToServer(serverName_);
    if (!socket.waitForConnected(timeoutMilliseconds))
        return false;
    QDataStream out(&socket);
    for (const std::string& name : names)
        out << QByteArray::fromStdString(name);
    socket.flush();
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(timeoutMilliseconds))
            return false;
    }
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(timeoutMilliseconds);
    return out.status() == QDataStream::Ok;
}

bool SingleInstance::Listen() {
    if (server_)
        return true;
    // Listening with access options replaces a socket of the same name without a word, so a
    // running window is looked for first: when one answers, the name is its own.
    if (Answers())
        return false;
    auto* server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(serverName_)) {
        // Nobody answered: a socket left behind by a program that ended without removing it.
        QLocalServer::removeServer(serverName_);
        if (!server->listen(serverName_)) {
            delete server;
            return false;
        }
    }
    server_ = server;
    connect(server_, &QLocalServer::newConnection, this, &SingleInstance::Accept);
    return true;
}

bool SingleInstance::Listening() const {
    return server_ && server_->isListening();
}

void SingleInstance::Accept() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        socket->setParent(this);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { Read(socket); });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] {
            Read(socket);
            const QStringList names = socket->property(kNamesProperty).toStringList();
            socket->deleteLater();
            if (names.isEmpty() || !OnFiles)
                return;
            std::vector<std::string> batch;
            batch.reserve(static_cast<std::size_t>(names.size()));
            for (const QString& name : names)
                batch.push_back(name.toStdString());
            OnFiles(batch);
        });
        Read(socket);
    }
}

void SingleInstance::Read(QLocalSocket* socket) {
    QStringList names = socket->property(kNamesProperty).toStringList();
    QDataStream in(socket);
    for (;;) {
        in.startTransaction();
        QByteArray name;
        in >> name;
        if (!in.commitTransaction())
            break;
        if (name.size() > kLongestName || name.contains('\0')) {
            names.clear();
            socket->setProperty(kNamesProperty, names);
            socket->abort();
            return;
        }
        if (!name.isEmpty())
            names << QString::fromUtf8(name);
    }
    socket->setProperty(kNamesProperty, names);
}

}  // namespace tavrin

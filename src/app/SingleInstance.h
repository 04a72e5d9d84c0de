#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <string>
#include <vector>

class QLocalServer;
class QLocalSocket;

namespace tavrin {

// One window per user: a second start with file names hands them to the window that is running
// and ends. The running window listens on a local socket named per user; a caller sends one
// name per message and closes the connection, and the names of one connection arrive as one
// batch.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(QString serverName, QObject* parent = nullptr);
    ~SingleInstance() override;

    // The user's server name: a socket in $XDG_RUNTIME_DIR when it is set, else a name with the
    // user's id, which Qt places in the temporary folder.
    static QString DefaultServerName();

    // Whether a running window answers on the name.
    bool Answers() const;

    // Sends `names` to the running window. False when no window answers (nothing was sent) or
    // the names could not all be written.
    bool HandOver(const std::vector<std::string>& names, int timeoutMilliseconds = 3000);

    // Starts taking names. A socket left behind by a program that ended without removing it is
    // replaced; false when another running window owns the name.
    bool Listen();
    bool Listening() const;

    // The names of one connection, in the order they were sent.
    std::function<void(const std::vector<std::string>& names)> OnFiles;

private:
    void Accept();
    void Read(QLocalSocket* socket);

    QString serverName_;
    QLocalServer* server_ = nullptr;
};

}  // namespace tavrin

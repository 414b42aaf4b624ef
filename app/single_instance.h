#pragma once

#include <QObject>
#include <QString>

class QLocalServer;
class QLocalSocket;

namespace zorvan::app {

// Keeps one running copy of the program per executable path and user. The first copy
// listens on a local server named after the path; a later copy started from the same path
// finds it, asks it to come to the front and ends, while a copy started from another path
// runs beside it.
//
// Needs a QCoreApplication; the restore request reaches the first copy through its event
// loop.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    // key: the executable's full path.
    explicit SingleInstance(const QString& key, QObject* parent = nullptr);
    ~SingleInstance() override;

    // Call once, before any window is created. True: no other copy with this key runs, and
    // this one now listens for restore requests (taking over the name a crashed copy may
    // have left behind). False: another copy runs and has been sent the restore request;
    // this copy should end at once.
    bool becomeFirst();

    // The local server name derived from the key.
    const QString& serverName() const { return serverName_; }

Q_SIGNALS:
    // A later copy asked this one to come back from the minimised state to the front.
    void restoreRequested();

private:
    bool sendRestoreRequest();
    bool listen();
    void acceptConnections();
    void readRequest(QLocalSocket* socket);

    QString serverName_;
    QLocalServer* server_ = nullptr;
};

} // namespace zorvan::app

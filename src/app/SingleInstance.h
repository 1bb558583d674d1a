// TSingleInstance: one running copy of the game per user. The running copy
// holds the lock file "FBW32.lock" in the user's runtime folder (a lock left
// by a copy that crashed is taken over) and listens on the local socket
// "FBW32.socket" there; a second copy sends the message "Check for previous
// instance" to it, and the running copy's main window takes the focus.
#pragma once
#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <memory>

class TSingleInstance : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kMessage = "Check for previous instance";

    // Folder: where the lock and the socket live (the runtime folder when empty).
    explicit TSingleInstance(QString folder = {}, QObject* parent = nullptr);
    ~TSingleInstance() override;

    // Takes the lock; false when another living copy holds it or it cannot
    // be made (HeldElsewhere tells which).
    bool Acquire();
    bool HeldElsewhere() const { return heldElsewhere_; }
    // Starts listening for the message (after Acquire).
    bool Listen();
    // Sends the message to the running copy; false when none answers.
    bool Broadcast() const;

    // The object of this process while it exists (nullptr otherwise).
    static TSingleInstance* Current() { return current_; }

    QString LockPath() const;
    QString SocketPath() const;

signals:
    void PreviousInstance();

private:
    void Accept();

    QString folder_;
    bool heldElsewhere_ = false;
    std::unique_ptr<QLockFile> lock_;
    std::unique_ptr<QLocalServer> server_;
    static TSingleInstance* current_;
};

// Keeps one running copy of a program per user: a later start tells the running copy to
// come forward, handing over the file it was started with, and ends.
#pragma once

#include <QByteArray>
#include <QLockFile>
#include <QObject>
#include <QString>

#include <map>

class QSocketNotifier;

class CSingleInstance : public QObject
{
    Q_OBJECT

public:
    // name tells programs apart; the rendezvous lies in the user's runtime directory.
    explicit CSingleInstance(const QString& name, QObject* parent = nullptr);
    ~CSingleInstance() override;
    CSingleInstance(const CSingleInstance&) = delete;
    CSingleInstance& operator=(const CSingleInstance&) = delete;

    // True when this copy is the first: it then hears of later starts (AnotherStart).
    // False when another copy runs and has been told of this start, and given file when
    // there is one: this one should end. Of copies started at the same moment exactly one
    // is the first.
    bool Claim(const QString& file = QString());

    // Where the copies meet: a Unix socket path of this user.
    QString ServerName() const { return m_serverName; }

signals:
    // A later start of the program asked this copy to come forward, and to open file
    // when it is not empty.
    void AnotherStart(const QString& file);

private:
    // What a later start has sent so far on one connection.
    struct Request
    {
        QSocketNotifier* notifier = nullptr;
        QByteArray received;
    };

    bool TakeLock();
    bool TellRunningCopy(const QString& file) const;
    bool Listen();
    void StopListening();
    void OnConnection();
    void OnRequestReadable(int fd);
    void EndRequest(int fd, bool complete);

    QString m_serverName;
    // Held while a copy looks for a running one and starts listening, and while the first
    // copy takes its socket away: no two copies ever listen at once.
    QLockFile m_lock;
    int m_listener = -1;
    QSocketNotifier* m_listenerNotifier = nullptr;
    std::map<int, Request> m_requests;
};

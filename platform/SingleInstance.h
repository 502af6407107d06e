// Keeps one running copy of a program per user: a later start tells the running copy to
// come forward, handing over the file it was started with, and ends.
#pragma once

#include <QObject>
#include <QString>

class QLocalServer;
class QLocalSocket;

class CSingleInstance : public QObject
{
    Q_OBJECT

public:
    // name tells programs apart; the rendezvous lies in the user's runtime directory.
    explicit CSingleInstance(const QString& name, QObject* parent = nullptr);
    ~CSingleInstance() override;

    // True when this copy is the first: it then hears of later starts (AnotherStart).
    // False when another copy runs and has been told of this start, and given file when
    // there is one: this one should end.
    bool Claim(const QString& file = QString());

    // Where the copies meet: a local socket path of this user.
    QString ServerName() const { return m_serverName; }

signals:
    // A later start of the program asked this copy to come forward, and to open file
    // when it is not empty.
    void AnotherStart(const QString& file);

private:
    bool TellRunningCopy(const QString& file) const;
    void OnConnection();
    void OnRequest(QLocalSocket* socket);

    QString m_serverName;
    QLocalServer* m_server = nullptr;
};

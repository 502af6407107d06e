#include "SingleInstanceTest.h"

#include "SingleInstance.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <memory>
#include <vector>

namespace {

// A runtime directory of the test's own, so that no running program answers.
class CRuntimeDir
{
public:
    CRuntimeDir() : m_previous(qgetenv("XDG_RUNTIME_DIR"))
    {
        QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", m_dir.path().toLocal8Bit());
    }
    ~CRuntimeDir() { qputenv("XDG_RUNTIME_DIR", m_previous); }
    CRuntimeDir(const CRuntimeDir&) = delete;
    CRuntimeDir& operator=(const CRuntimeDir&) = delete;

private:
    QTemporaryDir m_dir;
    QByteArray m_previous;
};

constexpr int kTimeoutMs = 10000;

} // namespace

int SingleInstanceTest::ClaimAtOnce(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString go = QString::fromLocal8Bit(argv[2]);
    const int starts = QByteArray(argv[3]).toInt();
    while (!QFile::exists(go))
        QThread::usleep(100);
    CSingleInstance instance(QStringLiteral("korvane-test"));
    if (!instance.Claim()) {
        std::fputs("later\n", stdout);
        return 0;
    }
    QSignalSpy heard(&instance, &CSingleInstance::AnotherStart);
    const bool all = QTest::qWaitFor([&] { return heard.size() == starts - 1; }, kTimeoutMs);
    std::printf("first, heard %s\n", all ? "all" : qPrintable(QString::number(heard.size())));
    return 0;
}

// Twenty copies released at the same moment, over a socket left by a killed copy: one is
// the first and hears of all the others.
void SingleInstanceTest::startsAtTheSameMomentLeaveOneFirst()
{
    constexpr int kStarts = 20;
    CRuntimeDir runtime;
    QFile stale(CSingleInstance(QStringLiteral("korvane-test")).ServerName());
    QVERIFY(stale.open(QIODevice::WriteOnly));
    stale.close();
    const QString go = qEnvironmentVariable("XDG_RUNTIME_DIR") + QStringLiteral("/go");
    std::vector<std::unique_ptr<QProcess>> copies;
    for (int i = 0; i < kStarts; ++i) {
        copies.push_back(std::make_unique<QProcess>());
        copies.back()->start(QCoreApplication::applicationFilePath(),
                             {ClaimAtOnceOption, go, QString::number(kStarts)});
    }
    for (auto& copy : copies)
        QVERIFY(copy->waitForStarted(kTimeoutMs));
    // Every copy has its application object and waits, polling for the go file.
    QTest::qWait(1000);
    QFile(go).open(QIODevice::WriteOnly);
    QStringList answers;
    for (auto& copy : copies) {
        QVERIFY(copy->waitForFinished(2 * kTimeoutMs));
        answers << QString::fromLocal8Bit(copy->readAllStandardOutput()).trimmed();
    }
    QCOMPARE(answers.filter(QStringLiteral("first")),
             QStringList{QStringLiteral("first, heard all")});
}

// The first copy claims the name; each later one is refused and the first hears of it.
void SingleInstanceTest::laterStartHandsOverToTheFirst()
{
    CRuntimeDir runtime;
    CSingleInstance first(QStringLiteral("korvane-test"));
    QSignalSpy starts(&first, &CSingleInstance::AnotherStart);
    QVERIFY(first.Claim());
    for (int later = 1; later <= 2; ++later) {
        CSingleInstance again(QStringLiteral("korvane-test"));
        QVERIFY(!again.Claim());
        QTRY_COMPARE_WITH_TIMEOUT(starts.size(), later, 5000);
    }
    // Another program's name is not in the way.
    QVERIFY(CSingleInstance(QStringLiteral("other-test")).Claim());
}

void SingleInstanceTest::socketLeftByACrashedCopyIsTakenOver()
{
    CRuntimeDir runtime;
    CSingleInstance copy(QStringLiteral("korvane-test"));
    QFile stale(copy.ServerName());
    QVERIFY(stale.open(QIODevice::WriteOnly));
    stale.close();
    QVERIFY(copy.Claim());
    CSingleInstance again(QStringLiteral("korvane-test"));
    QVERIFY(!again.Claim());
}

// A file manager's "Open with" while the program runs: the running copy gets the file, with
// spaces and non-ASCII letters intact; a plain start hands over none.
void SingleInstanceTest::fileOfALaterStartReachesTheFirst()
{
    CRuntimeDir runtime;
    CSingleInstance first(QStringLiteral("korvane-test"));
    QSignalSpy starts(&first, &CSingleInstance::AnotherStart);
    QVERIFY(first.Claim());
    const QString file = QStringLiteral("/home/u/Live Set é.pre");
    QVERIFY(!CSingleInstance(QStringLiteral("korvane-test")).Claim(file));
    QTRY_COMPARE_WITH_TIMEOUT(starts.size(), 1, 5000);
    QCOMPARE(starts[0][0].toString(), file);
    QVERIFY(!CSingleInstance(QStringLiteral("korvane-test")).Claim());
    QTRY_COMPARE_WITH_TIMEOUT(starts.size(), 2, 5000);
    QCOMPARE(starts[1][0].toString(), QString());
}

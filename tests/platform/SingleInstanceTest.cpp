#include "SingleInstanceTest.h"

#include "SingleInstance.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

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

} // namespace

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

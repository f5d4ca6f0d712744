#include "platform/OsVersion.h"
#include "platform/OsVersionQuery.h"
#include "platform/PosixOsVersionQuery.h"

#include <QTest>

#include <cstdlib>
#include <sys/utsname.h>

using namespace platform;

class TestOsVersion : public QObject
{
    Q_OBJECT

private slots:
    void windowsOsText_data();
    void windowsOsText();
    void versionFromUname_data();
    void versionFromUname();
    void queryOfThisSystem();
};

void TestOsVersion::windowsOsText_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<int>("build");
    QTest::addColumn<QByteArray>("text");

    QTest::newRow("95") << 4 << 0 << 950 << QByteArray("Windows 98(95) 4.0.950");
    QTest::newRow("98") << 4 << 10 << 1998 << QByteArray("Windows 98(95) 4.10.1998");
    QTest::newRow("2000") << 5 << 0 << 2195 << QByteArray("Windows 2000 5.0.2195");
    QTest::newRow("XP") << 5 << 1 << 2600 << QByteArray("Windows XP 5.1.2600");
    QTest::newRow("Server 2003") << 5 << 2 << 3790 << QByteArray("Windows Server 2003 5.2.3790");
    QTest::newRow("Vista") << 6 << 0 << 6002 << QByteArray("Windows Vista 6.0.6002");
    QTest::newRow("7") << 6 << 1 << 7601 << QByteArray("Windows 7 6.1.7601");
    QTest::newRow("8") << 6 << 2 << 9200 << QByteArray("Windows 8 6.2.9200");
    QTest::newRow("8.1 has no name") << 6 << 3 << 9600 << QByteArray("6.3.9600");
    QTest::newRow("10 has no name") << 10 << 0 << 19045 << QByteArray("10.0.19045");
    QTest::newRow("unknown 5.x") << 5 << 3 << 0 << QByteArray("5.3.0");
}

void TestOsVersion::windowsOsText()
{
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(int, build);
    QFETCH(QByteArray, text);

    const OsVersion version{windowsReleaseName(major, minor), major, minor, build, true};

    QCOMPARE(QByteArray::fromStdString(composeOsText(version)), text);
}

void TestOsVersion::versionFromUname_data()
{
    QTest::addColumn<QByteArray>("systemName");
    QTest::addColumn<QByteArray>("release");
    QTest::addColumn<QByteArray>("text");

    QTest::newRow("Debian kernel") << QByteArray("Linux") << QByteArray("6.1.0-18-amd64")
                                   << QByteArray("Linux 6.1.0");
    QTest::newRow("four numbers") << QByteArray("Linux") << QByteArray("5.10.209.1")
                                  << QByteArray("Linux 5.10.209");
    QTest::newRow("two numbers") << QByteArray("Linux") << QByteArray("5.15") << QByteArray("Linux 5.15.0");
    QTest::newRow("suffix after two numbers")
        << QByteArray("FreeBSD") << QByteArray("13.2-RELEASE") << QByteArray("FreeBSD 13.2.0");
    QTest::newRow("one number") << QByteArray("Linux") << QByteArray("7") << QByteArray("Linux 7.0.0");
    QTest::newRow("empty dot") << QByteArray("Linux") << QByteArray("6..1") << QByteArray("Linux 6.0.0");
    QTest::newRow("no numbers") << QByteArray("Linux") << QByteArray("unknown") << QByteArray("Linux 0.0.0");
    QTest::newRow("empty") << QByteArray("Linux") << QByteArray("") << QByteArray("Linux 0.0.0");
}

void TestOsVersion::versionFromUname()
{
    QFETCH(QByteArray, systemName);
    QFETCH(QByteArray, release);
    QFETCH(QByteArray, text);

    const OsVersion version = osVersionFromUname(systemName.toStdString(), release.toStdString());

    QCOMPARE(QByteArray::fromStdString(composeOsText(version)), text);
    QVERIFY(!version.isWindows);
}

void TestOsVersion::queryOfThisSystem()
{
    struct utsname system = {};
    QCOMPARE(::uname(&system), 0);

    const OsVersion version = createOsVersionQuery()->query();

    QCOMPARE(QByteArray::fromStdString(version.name), QByteArray(system.sysname) + ' ');
    QCOMPARE(version.majorVersion, std::atoi(system.release));
    QVERIFY(!version.isWindows);
}

QTEST_APPLESS_MAIN(TestOsVersion)
#include "tst_osversion.moc"

#include "TestPaths.h"
#include "platform/WindowFinder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

constexpr int StartTimeoutMs = 20000;

const QByteArray StatusRequest("\x1b\x11\x1b"
                               "e");

} // namespace

class TestSimulatorProcess : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void answersAStatusRequestAndEndsOnTerminate();
    void windowIsFoundByTheConfiguredTitle();
    void refusesABadCommandLine();

private:
    QString path(const QString &name) const { return QDir(m_dir->path()).filePath(name); }
    bool place(const QString &input, const QByteArray &bytes) const;
    void startSimulator(const QStringList &arguments, const QProcessEnvironment &environment);
    void terminateAndExpectExit(const QString &exchangeFolder);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QProcess> m_process;
};

void TestSimulatorProcess::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_process = std::make_unique<QProcess>();
    m_process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
}

void TestSimulatorProcess::cleanup()
{
    if (m_process->state() != QProcess::NotRunning) {
        m_process->kill();
        m_process->waitForFinished(5000);
    }
}

bool TestSimulatorProcess::place(const QString &input, const QByteArray &bytes) const
{
    const QString staging = input + u".part"_s;
    return TestPaths::writeFile(staging, bytes) && QFile::rename(staging, input);
}

void TestSimulatorProcess::startSimulator(const QStringList &arguments,
                                          const QProcessEnvironment &environment)
{
    m_process->setProcessEnvironment(environment);
    m_process->start(QStringLiteral(OMIRA_TM_EXE), arguments);
    QVERIFY2(m_process->waitForStarted(StartTimeoutMs), qPrintable(m_process->errorString()));
}

void TestSimulatorProcess::terminateAndExpectExit(const QString &exchangeFolder)
{
    const QString terminate = QDir(exchangeFolder).filePath(u"terminate"_s);
    QVERIFY(TestPaths::writeFile(terminate, {}));
    QVERIFY(m_process->waitForFinished(StartTimeoutMs));
    QCOMPARE(m_process->exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_process->exitCode(), 0);
    QVERIFY(!QFile::exists(terminate));
}

void TestSimulatorProcess::answersAStatusRequestAndEndsOnTerminate()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    const QString input = path(u"exchange/blocek.txt"_s);
    startSimulator({u"--input"_s, input, u"--status-word"_s, u"1001"_s}, environment);

    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(path(u"exchange/omira-tm.ini"_s)), StartTimeoutMs);
    QVERIFY(place(input, StatusRequest));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(path(u"exchange/info.txt"_s)), StartTimeoutMs);
    QCOMPARE(TestPaths::readFile(path(u"exchange/info.txt"_s)), QByteArray("0\r\n4097\r\n"));
    QVERIFY(!QFile::exists(input));
    QCOMPARE(TestPaths::readFile(path(u"exchange/journal/000001-status.txt"_s)), StatusRequest);

    terminateAndExpectExit(path(u"exchange"_s));
}

void TestSimulatorProcess::windowIsFoundByTheConfiguredTitle()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        QSKIP("The lookup by title needs an X display.");
    const QString title = u"TM-%1"_s.arg(QCoreApplication::applicationPid());
    QVERIFY(QDir(m_dir->path()).mkpath(u"program/cennik"_s));
    QVERIFY(TestPaths::writeFile(path(u"program/cennik/pokladna.ini"_s),
                                 "[CONFIG]\r\nTL_MAN=" + path(u"pm/blocek.txt"_s).toUtf8() +
                                     "\r\nTM=" + title.toUtf8() + "\r\n"));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(u"QT_QPA_PLATFORM"_s);
    const auto windows = platform::createWindowFinder();
    QVERIFY(!windows->windowExists(title.toStdString()));

    startSimulator({u"--program-folder"_s, path(u"program"_s)}, environment);
    QTRY_VERIFY_WITH_TIMEOUT(windows->windowExists(title.toStdString()), StartTimeoutMs);
    QVERIFY(place(path(u"pm/blocek.txt"_s), StatusRequest));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(path(u"pm/info.txt"_s)), StartTimeoutMs);

    terminateAndExpectExit(path(u"pm"_s));
    QTRY_VERIFY_WITH_TIMEOUT(!windows->windowExists(title.toStdString()), StartTimeoutMs);
}

void TestSimulatorProcess::refusesABadCommandLine()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    m_process->setProcessChannelMode(QProcess::SeparateChannels);
    startSimulator({u"--status-word"_s, u"xyz"_s}, environment);
    QVERIFY(m_process->waitForFinished(StartTimeoutMs));
    QCOMPARE(m_process->exitCode(), 2);
    QVERIFY(m_process->readAllStandardError().contains("--status-word"));
}

QTEST_GUILESS_MAIN(TestSimulatorProcess)
#include "tst_simulatorprocess.moc"

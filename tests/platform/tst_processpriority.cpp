#include "platform/PosixProcessPriority.h"
#include "platform/ProcessPriority.h"

#include <QTest>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace platform;

namespace {

// Exit codes of the checks that run in a child process, so that the priority of the
// test process itself stays as it was.
constexpr int Passed = 0;
constexpr int CannotDropPrivileges = 90;

int runInChild(const std::function<int()> &check)
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(check());
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

int niceOf(pid_t threadId)
{
    errno = 0;
    return ::getpriority(PRIO_PROCESS, static_cast<id_t>(threadId));
}

// A thread that exists until it is told to stop.
class WaitingThread
{
public:
    WaitingThread()
        : m_thread([this] {
              std::unique_lock lock(m_mutex);
              m_threadId = ::gettid();
              m_changed.notify_all();
              m_changed.wait(lock, [this] { return m_stop; });
          })
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_threadId != 0; });
    }
    ~WaitingThread()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_changed.notify_all();
        m_thread.join();
    }
    pid_t threadId() const { return m_threadId; }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    pid_t m_threadId = 0;
    bool m_stop = false;
    std::thread m_thread;
};

} // namespace

class TestProcessPriority : public QObject
{
    Q_OBJECT

private slots:
    void niceValues_data();
    void niceValues();
    void unknownClassIsRefused();
    void lowerPriorityReachesEveryThread();
    void raiseWithoutPrivilegeIsRefused();
};

void TestProcessPriority::niceValues_data()
{
    QTest::addColumn<unsigned>("priorityClass");
    QTest::addColumn<bool>("known");
    QTest::addColumn<int>("niceValue");

    QTest::newRow("idle") << PriorityClass::Idle << true << 19;
    QTest::newRow("below normal") << PriorityClass::BelowNormal << true << 10;
    QTest::newRow("normal") << PriorityClass::Normal << true << 0;
    QTest::newRow("above normal") << PriorityClass::AboveNormal << true << -5;
    QTest::newRow("high") << PriorityClass::High << true << -10;
    QTest::newRow("realtime") << PriorityClass::Realtime << true << -15;
    QTest::newRow("zero") << 0u << false << 0;
    QTest::newRow("background mode") << 0x00100000u << false << 0;
    QTest::newRow("two classes at once") << (PriorityClass::Idle | PriorityClass::High) << false << 0;
}

void TestProcessPriority::niceValues()
{
    QFETCH(unsigned, priorityClass);
    QFETCH(bool, known);
    QFETCH(int, niceValue);

    const std::optional<int> mapped = niceValueForPriorityClass(priorityClass);

    QCOMPARE(mapped.has_value(), known);
    if (known)
        QCOMPARE(*mapped, niceValue);
}

void TestProcessPriority::unknownClassIsRefused()
{
    const int before = niceOf(0);

    QVERIFY(!createProcessPriority()->setPriorityClass(12345));
    QCOMPARE(niceOf(0), before);
}

// The nice value belongs to a thread on Linux, a priority class to the whole process.
void TestProcessPriority::lowerPriorityReachesEveryThread()
{
    const int result = runInChild([] {
        WaitingThread other;
        if (!createProcessPriority()->setPriorityClass(PriorityClass::BelowNormal))
            return 1;
        if (niceOf(0) != 10)
            return 2;
        return niceOf(other.threadId()) == 10 ? Passed : 3;
    });

    QCOMPARE(result, Passed);
}

void TestProcessPriority::raiseWithoutPrivilegeIsRefused()
{
    const int result = runInChild([] {
        if (::geteuid() == 0 && ::setuid(65534) != 0)
            return CannotDropPrivileges;
        auto priority = createProcessPriority();
        if (!priority->setPriorityClass(PriorityClass::Idle))
            return 1;
        if (priority->setPriorityClass(PriorityClass::High))
            return 2;
        return niceOf(0) == 19 ? Passed : 3;
    });

    if (result == CannotDropPrivileges)
        QSKIP("Running as root without the right to drop privileges");
    QCOMPARE(result, Passed);
}

QTEST_APPLESS_MAIN(TestProcessPriority)
#include "tst_processpriority.moc"

#pragma once

// An X server of a shop's screen size with the openbox window manager on it, for a suite
// whose windows must be framed, placed and moved as a window manager does it. It is
// started before the application connects to a display and ended with the suite.

#include <csignal>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

class WindowManagerDisplay
{
public:
    WindowManagerDisplay() = default;
    WindowManagerDisplay(const WindowManagerDisplay &) = delete;
    WindowManagerDisplay &operator=(const WindowManagerDisplay &) = delete;
    ~WindowManagerDisplay()
    {
        stop(m_manager);
        stop(m_server);
    }

    // Starts the server with one screen of `size` ("1366x768x24") and openbox on it, and
    // makes it the display of this process; false (with the reason) when that cannot be.
    bool start(const std::string &size)
    {
        if (!onPath("Xvfb") || !onPath("openbox") || !onPath("xprop")) {
            m_reason = "Xvfb, openbox or xprop is not installed";
            return false;
        }
        for (int number = 191; number < 240 && m_server <= 0; ++number) {
            if (taken(number))
                continue;
            const std::string name = ":" + std::to_string(number);
            m_server = spawn({"Xvfb", name, "-screen", "0", size, "-nolisten", "tcp", "-noreset"});
            const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
            if (!waitUntil([&] {
                    return exists(socket) && succeeds("DISPLAY=" + name + " xprop -root >/dev/null");
                })) {
                stop(m_server);
                continue;
            }
            m_name = name;
        }
        if (m_name.empty()) {
            m_reason = "no X server could be started";
            return false;
        }
        setenv("DISPLAY", m_name.c_str(), 1);
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        m_manager = spawn({"openbox", "--sm-disable"});
        // The window manager is there once it names its check window on the root window.
        if (!waitUntil(
                [] { return succeeds("xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'"); })) {
            m_reason = "openbox did not start";
            return false;
        }
        return true;
    }
    const std::string &reason() const { return m_reason; }

private:
    static bool succeeds(const std::string &command) { return std::system(command.c_str()) == 0; }
    static bool exists(const std::string &path)
    {
        struct stat info;
        return ::stat(path.c_str(), &info) == 0;
    }
    static bool onPath(const std::string &program)
    {
        return succeeds("command -v " + program + " >/dev/null");
    }
    static bool taken(int number) { return exists("/tmp/.X" + std::to_string(number) + "-lock"); }

    // Polls `ready` for up to 20 seconds.
    template <typename Ready> static bool waitUntil(Ready ready)
    {
        for (int attempt = 0; attempt < 400; ++attempt) {
            if (ready())
                return true;
            const timespec pause{0, 50'000'000};
            nanosleep(&pause, nullptr);
        }
        return false;
    }

    static pid_t spawn(const std::vector<std::string> &arguments)
    {
        std::vector<char *> argv;
        for (const std::string &argument : arguments)
            argv.push_back(const_cast<char *>(argument.c_str()));
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        pid_t pid = 0;
        const int failed = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        return failed ? 0 : pid;
    }

    static void stop(pid_t &pid)
    {
        if (pid <= 0)
            return;
        ::kill(pid, SIGTERM);
        ::waitpid(pid, nullptr, 0);
        pid = 0;
    }

    std::string m_name;
    std::string m_reason;
    pid_t m_server = 0;
    pid_t m_manager = 0;
};

// Watches a program's window from the X server's side, with no help from the
// program: time to its first frame, CPU time and wake-ups while stopped and
// while running, the rhythm of its repaints, and its peak resident memory.
//   xprobe PROGRAM STOPPED_SECONDS RUNNING_SECONDS START_X START_Y [ARGUMENT...]
// Prints one line of key=value figures. PROGRAM is looked up in PATH, so that
// `wine` can start a Windows build, which then runs in the process started.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/select.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

long StatusField(pid_t pid, const std::string &task, const std::string &name)
{
    std::ifstream status("/proc/" + std::to_string(pid) + task + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(name + ":", 0) == 0)
            return std::atol(line.c_str() + name.size() + 1);
    return 0;
}

// Context switches of every thread, each a wake-up, by thread id.
std::map<std::string, long> Switches(pid_t pid)
{
    std::map<std::string, long> switches;
    for (const auto &task :
         std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/task")) {
        const std::string tid = task.path().filename().string();
        switches[tid] = StatusField(pid, "/task/" + tid, "voluntary_ctxt_switches") +
                        StatusField(pid, "/task/" + tid, "nonvoluntary_ctxt_switches");
    }
    return switches;
}

// Wake-ups since `before`: threads that ended meanwhile take their counts with them,
// so only the threads still there are summed, each from where it stood (or from 0).
long WakeupsSince(pid_t pid, const std::map<std::string, long> &before)
{
    long total = 0;
    for (const auto &[tid, count] : Switches(pid)) {
        const auto earlier = before.find(tid);
        total += count - (earlier == before.end() ? 0 : earlier->second);
    }
    return total;
}

double CpuMilliseconds(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), {});
    std::vector<std::string> fields;
    size_t at = text.rfind(')') + 2;
    while (at < text.size()) {
        const size_t end = text.find(' ', at);
        fields.push_back(text.substr(at, end - at));
        at = end == std::string::npos ? text.size() : end + 1;
    }
    const double ticks = std::atof(fields[11].c_str()) + std::atof(fields[12].c_str());
    return ticks * 1000.0 / double(sysconf(_SC_CLK_TCK));
}

pid_t WindowPid(Display *display, Window window)
{
    const Atom property = XInternAtom(display, "_NET_WM_PID", True);
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char *data = nullptr;
    pid_t pid = 0;
    if (property != None &&
        XGetWindowProperty(display, window, property, 0, 1, False, XA_CARDINAL, &type, &format,
                           &count, &after, &data) == Success &&
        data && count == 1)
        pid = pid_t(*reinterpret_cast<unsigned long *>(data));
    if (data)
        XFree(data);
    return pid;
}

// Waits for the next X event up to `milliseconds`; false on time-out.
bool NextEvent(Display *display, XEvent &event, double milliseconds)
{
    const auto deadline = Clock::now() + std::chrono::duration<double, std::milli>(milliseconds);
    while (!XPending(display)) {
        const double left =
            std::chrono::duration<double, std::milli>(deadline - Clock::now()).count();
        if (left <= 0)
            return false;
        fd_set fds;
        FD_ZERO(&fds);
        FD_SET(ConnectionNumber(display), &fds);
        timeval wait{long(left / 1000), long(std::fmod(left, 1000.0) * 1000)};
        select(ConnectionNumber(display) + 1, &fds, nullptr, nullptr, &wait);
    }
    XNextEvent(display, &event);
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 6) {
        std::fprintf(stderr,
                     "usage: xprobe PROGRAM STOPPED_S RUNNING_S START_X START_Y [ARGUMENT...]\n");
        return 2;
    }
    const double stoppedMs = std::atof(argv[2]) * 1000;
    const double runningMs = std::atof(argv[3]) * 1000;
    Display *display = XOpenDisplay(nullptr);
    int damageEvent, damageError;
    if (!display || !XDamageQueryExtension(display, &damageEvent, &damageError)) {
        std::fprintf(stderr, "xprobe: no X display with the DAMAGE extension\n");
        return 2;
    }
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);

    // X11 unless told otherwise: a Windows build under Wine is told `windows`.
    setenv("QT_QPA_PLATFORM", "xcb", 0);
    std::vector<char *> child{argv[1]};
    child.insert(child.end(), argv + 6, argv + argc);
    child.push_back(nullptr);
    pid_t pid;
    const auto launched = Clock::now();
    if (posix_spawnp(&pid, argv[1], nullptr, nullptr, child.data(), environ) != 0)
        return 2;

    // The first frame: the first damage to the program's window after it is mapped.
    Window window = 0;
    Damage damage = 0;
    double firstFrame = -1;
    XEvent event;
    while (firstFrame < 0 && NextEvent(display, event, 20000)) {
        if (event.type == MapNotify && !window && WindowPid(display, event.xmap.window) == pid) {
            window = event.xmap.window;
            damage = XDamageCreate(display, window, XDamageReportNonEmpty);
        } else if (event.type == damageEvent + XDamageNotify) {
            firstFrame = MillisecondsSince(launched);
        }
    }
    if (firstFrame < 0) {
        kill(pid, SIGKILL);
        std::fprintf(stderr, "xprobe: no frame within 20 s\n");
        return 1;
    }
    XDamageSubtract(display, damage, None, None);

    // Let start-up settle, then count what a stopped window costs.
    auto drain = [&](double milliseconds, std::vector<double> *repaints) {
        const auto until = Clock::now() + std::chrono::duration<double, std::milli>(milliseconds);
        for (;;) {
            const double left =
                std::chrono::duration<double, std::milli>(until - Clock::now()).count();
            if (left <= 0 || !NextEvent(display, event, left))
                return;
            if (event.type == damageEvent + XDamageNotify) {
                XDamageSubtract(display, damage, None, None);
                const double at = double(reinterpret_cast<XDamageNotifyEvent &>(event).timestamp);
                // One repaint may reach the server in more than one piece.
                if (repaints && (repaints->empty() || at - repaints->back() > 50))
                    repaints->push_back(at);
            }
        }
    };
    drain(1000, nullptr);
    const double cpu0 = CpuMilliseconds(pid);
    const auto wake0 = Switches(pid);
    drain(stoppedMs, nullptr);
    const double cpuStopped = CpuMilliseconds(pid) - cpu0;
    const long wakeStopped = WakeupsSince(pid, wake0);

    // Start through the server, as a user's click.
    const std::string click = "xdotool mousemove --window " + std::to_string(window) + " " +
                              argv[4] + " " + argv[5] + " click 1";
    const double cpu1 = CpuMilliseconds(pid);
    const auto wake1 = Switches(pid);
    std::vector<double> repaints;
    if (std::system(click.c_str()) != 0)
        return 1;
    drain(std::min(runningMs, 30000.0), &repaints);
    const double cpuRunning = CpuMilliseconds(pid) - cpu1;
    const long wakeRunning = WakeupsSince(pid, wake1);
    drain(runningMs - std::min(runningMs, 30000.0), &repaints);
    const long peakKb = StatusField(pid, "", "VmHWM");
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);

    // Repaints come on every tick but the one of step 0: number them by the
    // nearest multiple of 500 ms, then fit a line through them.
    double period = 0, jitter = 0, drift = 0;
    if (repaints.size() > 10) {
        std::vector<double> index;
        for (const double at : repaints)
            index.push_back(std::round((at - repaints.front()) / 500.0));
        const double n = double(repaints.size());
        double sx = 0, sy = 0, sxx = 0, sxy = 0;
        for (size_t i = 0; i < repaints.size(); ++i) {
            sx += index[i], sy += repaints[i], sxx += index[i] * index[i];
            sxy += index[i] * repaints[i];
        }
        period = (n * sxy - sx * sy) / (n * sxx - sx * sx);
        const double offset = (sy - period * sx) / n;
        for (size_t i = 0; i < repaints.size(); ++i)
            jitter = std::max(jitter, std::fabs(repaints[i] - (offset + period * index[i])));
        // Drift: how far, on average, the second half of the run stands from
        // the line through the first half alone.
        const size_t half = repaints.size() / 2;
        double hx = 0, hy = 0, hxx = 0, hxy = 0;
        for (size_t i = 0; i < half; ++i) {
            hx += index[i], hy += repaints[i], hxx += index[i] * index[i];
            hxy += index[i] * repaints[i];
        }
        const double h = double(half);
        const double halfPeriod = (h * hxy - hx * hy) / (h * hxx - hx * hx);
        const double halfOffset = (hy - halfPeriod * hx) / h;
        for (size_t i = half; i < repaints.size(); ++i)
            drift += repaints[i] - (halfOffset + halfPeriod * index[i]);
        drift /= double(repaints.size() - half);
    }
    std::printf("first_frame_ms=%.1f peak_kb=%ld stopped_cpu_ms=%.0f stopped_wakeups=%ld "
                "running_cpu_ms=%.0f running_wakeups=%ld repaints=%zu period_ms=%.3f "
                "jitter_ms=%.1f drift_ms=%.1f\n",
                firstFrame, peakKb, cpuStopped, wakeStopped, cpuRunning, wakeRunning,
                repaints.size(), period, jitter, drift);
    XCloseDisplay(display);
    return 0;
}

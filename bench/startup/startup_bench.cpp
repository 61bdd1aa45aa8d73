// Start-up of each saver as a user meets it: from the moment its process is
// started to its first frame presented, with the steps between. On the headless
// platform (Mesa EGL; the saver programs next to this one) always; on X11 (Mesa
// GLX) too when DISPLAY is set and SAVER_X11_BIN names the folder of the X11
// programs (scripts/bench-startup does both).
//
// Each iteration starts the program once with SAVER_STARTUP_TRACE naming a file
// (platform/posix/startup_trace.h): the program notes its steps on the
// monotonic clock and its own CPU clock, and ends after the first frame. Time is
// start to first frame; the counters split it, in milliseconds per run, as time
// passed and (with "_cpu") as CPU time the program used in all its threads, the
// figure that other work on the machine disturbs less:
//   load     process start -> entry (exec, dynamic linking, static initialisers)
//   display  entry -> display ready (the X connection; headless: the memory screen)
//   context  display -> GL context current (window, pixel format, context)
//   effect   context -> frame timer started (projection, EffectSetupGL with amber's
//            and opal's plasma texture, EffectInit with cobalt's mesh and the
//            trail tables)
//   frame    timer -> first frame swapped and finished (the timer's first period,
//            fade overlay, the effect's first step, swap)
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

extern char** environ;

namespace {

constexpr int kSteps = 5;  // entry, display, context, timer, frame
const char* const kPhases[kSteps] = {"load", "display", "context", "effect", "frame"};
constexpr int kRuns = 10;

struct Target {
    std::string platform;  // "headless" or "x11"
    std::string folder;    // where the program and sphere.3d are
    std::string saver;
    std::string traceFile;
};

long long MonotonicNs() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

std::string OwnFolder() {
    std::vector<char> path(4096);
    ssize_t length = readlink("/proc/self/exe", path.data(), path.size() - 1);
    if (length <= 0) return ".";
    std::string self(path.data(), static_cast<std::size_t>(length));
    return self.substr(0, self.rfind('/'));
}

std::string TempFolder() {
    const char* tmp = std::getenv("TMPDIR");
    return tmp != nullptr && *tmp != '\0' ? tmp : "/tmp";
}

struct Steps {
    long long wall[kSteps];  // ns after the start
    long long cpu[kSteps];   // ns of CPU time used by then
};

// Runs the program once and reads its steps. False with a reason when it fails or
// leaves no trace.
bool RunOnce(const Target& target, Steps* steps, std::string* why) {
    std::remove(target.traceFile.c_str());
    std::string program = target.folder + "/" + target.saver;
    std::string picture = TempFolder() + "/startup_bench_" + std::to_string(getpid()) + ".png";
    std::vector<std::string> args = {program};
    if (target.platform == "headless") {
        args.insert(args.end(), {"--frames", "1", "--size", "1024x768", "--seed", "321", "--out", picture});
    } else {
        args.push_back("s");
    }
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(&arg[0]);
    argv.push_back(nullptr);
    std::string traceVariable = "SAVER_STARTUP_TRACE=" + target.traceFile;
    std::vector<char*> envp;
    for (char** e = environ; *e != nullptr; ++e)
        if (std::strncmp(*e, "SAVER_STARTUP_TRACE=", 20) != 0) envp.push_back(*e);
    envp.push_back(&traceVariable[0]);
    envp.push_back(nullptr);

    long long start = MonotonicNs();
    pid_t child = fork();
    if (child == 0) {
        // cobalt reads sphere.3d from its working directory.
        int quiet = open("/dev/null", O_WRONLY);
        if (chdir(target.folder.c_str()) != 0 || quiet < 0) _exit(127);
        dup2(quiet, 1);
        dup2(quiet, 2);
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child) {
        *why = "cannot start " + program;
        return false;
    }
    std::remove(picture.c_str());
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        *why = program + " ended with status " + std::to_string(WIFEXITED(status) ? WEXITSTATUS(status) : -1);
        return false;
    }
    std::FILE* file = std::fopen(target.traceFile.c_str(), "r");
    long long wall[kSteps] = {}, cpu[kSteps] = {};
    int read = 0;
    if (file != nullptr) {
        read =
            std::fscanf(file, "entry=%lld,%lld display=%lld,%lld context=%lld,%lld timer=%lld,%lld frame=%lld,%lld",
                        &wall[0], &cpu[0], &wall[1], &cpu[1], &wall[2], &cpu[2], &wall[3], &cpu[3], &wall[4], &cpu[4]);
        std::fclose(file);
    }
    if (read != 2 * kSteps) {
        *why = program + " left no start-up trace";
        return false;
    }
    for (int i = 0; i < kSteps; ++i) {
        steps->wall[i] = wall[i] - start;
        steps->cpu[i] = cpu[i];
    }
    return true;
}

void BM_Startup(benchmark::State& state, Target target) {
    Steps steps;
    std::string why;
    // One run first, so that every counted run finds the files in the page cache.
    if (!RunOnce(target, &steps, &why)) {
        state.SkipWithError(why.c_str());
        return;
    }
    double wallMs[kSteps] = {}, cpuMs[kSteps] = {};
    for (auto _ : state) {
        if (!RunOnce(target, &steps, &why)) {
            state.SkipWithError(why.c_str());
            return;
        }
        for (int i = 0; i < kSteps; ++i) {
            wallMs[i] += (steps.wall[i] - (i > 0 ? steps.wall[i - 1] : 0)) / 1e6;
            cpuMs[i] += (steps.cpu[i] - (i > 0 ? steps.cpu[i - 1] : 0)) / 1e6;
        }
        state.SetIterationTime(steps.wall[kSteps - 1] / 1e9);
    }
    for (int i = 0; i < kSteps; ++i) {
        const std::string phase = kPhases[i];
        state.counters[phase + "_ms"] = benchmark::Counter(wallMs[i], benchmark::Counter::kAvgIterations);
        state.counters[phase + "_cpu"] = benchmark::Counter(cpuMs[i], benchmark::Counter::kAvgIterations);
    }
}

// The saver list as the build gives it ("amber|cobalt|...").
std::vector<std::string> SaverNames() {
    std::vector<std::string> names;
    std::string list = SAVER_NAMES;
    for (std::size_t start = 0, bar; start <= list.size(); start = bar + 1) {
        bar = list.find('|', start);
        if (bar == std::string::npos) bar = list.size();
        names.push_back(list.substr(start, bar - start));
    }
    return names;
}

void Register(const std::string& platform, const std::string& folder) {
    for (const std::string& saver : SaverNames()) {
        Target target{platform, folder, saver,
                      TempFolder() + "/startup_bench_" + std::to_string(getpid()) + "_" + platform + "_" + saver};
        benchmark::RegisterBenchmark(("startup/" + platform + "/" + saver).c_str(), BM_Startup, target)
            ->UseManualTime()
            ->Iterations(kRuns)
            ->Unit(benchmark::kMillisecond);
    }
}

}  // namespace

int main(int argc, char** argv) {
    Register("headless", OwnFolder());
    const char* display = std::getenv("DISPLAY");
    const char* x11Folder = std::getenv("SAVER_X11_BIN");
    if (display != nullptr && *display != '\0' && x11Folder != nullptr && *x11Folder != '\0')
        Register("x11", x11Folder);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

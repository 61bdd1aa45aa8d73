#include "tools/saver_idle/idle_arguments.h"

#include <unistd.h>

#include <climits>
#include <cstdlib>

namespace idle {

namespace {

constexpr unsigned kMaxSeconds = 86400;

bool IsExecutable(const std::string& path) { return access(path.c_str(), X_OK) == 0; }

}  // namespace

std::string ProgramDir() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return "";
    path[length] = '\0';
    std::string dir(path);
    return dir.substr(0, dir.rfind('/'));
}

bool ReadIdleArguments(int argc, char** argv, const std::string& programDir, IdleArguments* out, std::string* error) {
    if (argc < 3) {
        *error = "usage: corvel-saver-idle SECONDS SAVER [saver arguments]";
        return false;
    }
    const std::string seconds = argv[1];
    char* end = nullptr;
    const unsigned long value =
        seconds.empty() || seconds[0] < '0' || seconds[0] > '9' ? 0 : std::strtoul(seconds.c_str(), &end, 10);
    if (end == nullptr || *end != '\0' || value < 1 || value > kMaxSeconds) {
        *error = "the idle time must be a whole number of seconds from 1 to 86400, not \"" + seconds + "\"";
        return false;
    }
    const std::string name = argv[2];
    if (name.empty() || name.find('/') != std::string::npos || name[0] == '.') {
        *error = "the saver is named bare (amber, cobalt, jade, opal), not \"" + name + "\"";
        return false;
    }
    std::string path;
    for (const std::string& dir : {programDir, programDir + "/../libexec/xscreensaver"}) {
        if (!programDir.empty() && IsExecutable(dir + "/" + name)) {
            path = dir + "/" + name;
            break;
        }
    }
    if (path.empty()) {
        *error = "no saver program " + name + " beside " + (programDir.empty() ? "this program" : programDir) +
                 " or in its ../libexec/xscreensaver";
        return false;
    }
    out->seconds = static_cast<unsigned>(value);
    out->saverPath = path;
    out->argv.assign(1, path);
    for (int i = 3; i < argc; ++i) out->argv.push_back(argv[i]);
    if (argc == 3) out->argv.push_back("s");
    return true;
}

}  // namespace idle

// render <saver> --frames N --size WxH --seed S --out file.png
// render <saver> --frames N --size WxH --seed S --every K --out file.webp
//
// Runs the headless program of <saver> (one of SAVER_NAMES, the saver list as
// "amber|cobalt|...", given by the build), which lives next to this one, with the remaining arguments and the current
// directory unchanged (cobalt reads "sphere.3d" from it). The program checks its arguments, and its usage line
// names it "render <saver>".
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

bool IsSaver(const char* name) {
    const std::string list = std::string("|") + SAVER_NAMES + "|";
    return *name != '\0' && std::strchr(name, '|') == nullptr &&
           list.find(std::string("|") + name + "|") != std::string::npos;
}

// The folder this program was started from, with a trailing slash.
std::string OwnFolder() {
    std::vector<char> path(4096);
    ssize_t length = readlink("/proc/self/exe", path.data(), path.size() - 1);
    if (length <= 0) return "./";
    std::string self(path.data(), static_cast<std::size_t>(length));
    return self.substr(0, self.rfind('/') + 1);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || !IsSaver(argv[1])) {
        std::fprintf(stderr, "usage: render " SAVER_NAMES
                             " --frames N --size WxH --seed S [--every K] --out "
                             "file.png|file.webp\n");
        return 2;
    }
    std::string program = OwnFolder() + argv[1];
    // The name the saver's usage line shows: this command, as it was typed.
    std::string shown = std::string("render ") + argv[1];
    std::vector<char*> args;
    args.push_back(&shown[0]);
    for (int i = 2; i < argc; ++i) args.push_back(argv[i]);
    args.push_back(nullptr);
    execv(program.c_str(), args.data());
    std::fprintf(stderr, "render: cannot run %s: %s\n", program.c_str(), std::strerror(errno));
    return 1;
}

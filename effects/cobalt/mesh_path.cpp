#include "effects/cobalt/mesh_path.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/platform.h"

namespace cobalt {

const char kMeshFileName[] = "sphere.3d";

namespace {

// Relative to the program's folder, with '/' between parts; empty when the
// platform installs no data folder.
constexpr const char kDataFromProgram[] = COBALT_DATA_FROM_PROGRAM;

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

// Length of `path` up to and including its last separator; 0 when it has none.
std::size_t FolderLength(const char* path, std::size_t length) {
    while (length > 0 && !IsSeparator(path[length - 1])) --length;
    return length;
}

// `folder` (ending in a separator) joined with `relative` ("../../share/x"),
// each leading "../" taking one part off the folder. False when it does not fit
// or climbs above the folder's first part.
bool Join(const char* folder, std::size_t folderLength, const char* relative, char* out, std::size_t size) {
    while (std::strncmp(relative, "../", 3) == 0) {
        if (folderLength < 2) return false;
        folderLength = FolderLength(folder, folderLength - 1);
        if (folderLength == 0) return false;
        relative += 3;
    }
    const std::size_t relativeLength = std::strlen(relative);
    const bool slash = relativeLength > 0;
    const std::size_t total = folderLength + relativeLength + (slash ? 1 : 0) + sizeof kMeshFileName;
    if (total > size) return false;
    std::memcpy(out, folder, folderLength);
    std::size_t at = folderLength;
    std::memcpy(out + at, relative, relativeLength);
    at += relativeLength;
    if (slash) out[at++] = folder[folderLength - 1];
    std::memcpy(out + at, kMeshFileName, sizeof kMeshFileName);
    return true;
}

// 0 when something of that name can be reached, else the reason (errno).
int StatError(const char* path) {
    struct stat info;
    return stat(path, &info) == 0 ? 0 : errno;
}

// Something has the name even when it is a link that leads nowhere.
bool NameTaken(const char* path) {
    struct stat info;
#ifdef _WIN32
    return stat(path, &info) == 0;
#else
    return lstat(path, &info) == 0;
#endif
}

}  // namespace

int MeshPlaces(char (&places)[kMeshPlaces][kMeshPathMax]) {
    for (char* place : places) place[0] = '\0';
    std::memcpy(places[0], kMeshFileName, sizeof kMeshFileName);
    int formed = 1;

    char program[kMeshPathMax];
    const plat::DWORD length = plat::GetModuleFileNameA(nullptr, program, sizeof program);
    if (length == 0 || length >= sizeof program) return formed;
    const std::size_t folder = FolderLength(program, length);
    if (folder == 0) return formed;
    if (Join(program, folder, "", places[1], kMeshPathMax)) ++formed;
    if (kDataFromProgram[0] != '\0' && Join(program, folder, kDataFromProgram, places[2], kMeshPathMax)) ++formed;
    return formed;
}

bool FindSphereMesh(char (&path)[kMeshPathMax]) {
    static char places[kMeshPlaces][kMeshPathMax];
    MeshPlaces(places);
    for (const char* place : places) {
        if (place[0] == '\0') continue;
        const int error = StatError(place);
        if (error == 0) {
            std::memcpy(path, place, std::strlen(place) + 1);
            return true;
        }
        if (NameTaken(place)) {
            static char line[kMeshPathMax + 160];
            const int written =
                std::snprintf(line, sizeof line, "cobalt: passed over %s, a symbolic link that leads to no file (%s)",
                              MeshPlaceName(place), std::strerror(error));
            if (written > 0) plat::WriteDiagnostic(line);
        }
    }
    path[0] = '\0';
    return false;
}

const char* MeshPlaceName(const char* path) {
    return path != nullptr && std::strcmp(path, kMeshFileName) == 0 ? "sphere.3d in the working directory" : path;
}

void DescribeMissingMesh(char* line, std::size_t size) {
    if (line == nullptr || size == 0) return;
    static char places[kMeshPlaces][kMeshPathMax];
    MeshPlaces(places);
    int written = std::snprintf(line, size, "cobalt: cannot find %s; looked in the working directory", kMeshFileName);
    for (int i = 1; i < kMeshPlaces && written > 0 && static_cast<std::size_t>(written) < size; ++i) {
        if (places[i][0] == '\0') continue;
        written += std::snprintf(line + written, size - written, ", %s", places[i]);
    }
}

}  // namespace cobalt

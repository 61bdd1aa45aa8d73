// Where cobalt finds "sphere.3d", in this order: the working directory, the
// program's own folder, and the installed data folder relative to the program.
// The first place that holds anything of that name is the one loaded, so a bad
// file there is reported rather than passed over. Only a symbolic link that
// leads to nothing (dangling, or a loop) is passed over, with a diagnostic line.
#pragma once

#include <cstddef>

namespace cobalt {

constexpr std::size_t kMeshPathMax = 4096;
constexpr int kMeshPlaces = 3;

extern const char kMeshFileName[];

// The places to look, most preferred first; a place that cannot be formed (no
// program path, a path too long) is left empty. Returns how many were formed.
int MeshPlaces(char (&places)[kMeshPlaces][kMeshPathMax]);

// Copies the first place where something named sphere.3d exists into `path`;
// false when there is none.
bool FindSphereMesh(char (&path)[kMeshPathMax]);

// A place as messages name it: "sphere.3d in the working directory", or the path.
const char* MeshPlaceName(const char* path);

// One line naming sphere.3d and every place looked in.
void DescribeMissingMesh(char* line, std::size_t size);

}  // namespace cobalt

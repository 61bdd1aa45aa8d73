// make_sphere OUTPUT [SUBDIVISIONS]: writes a coloured unit icosphere in cobalt's
// mesh layout (default 2 subdivisions: 162 vertices, 320 faces). The loader takes
// at most 2500 vertices and 3333 faces, so 3 subdivisions (642, 1280) is the most.
#include <cstdio>
#include <cstdlib>

#include "tools/make_sphere/icosphere.h"
#include "tools/make_sphere/sphere_file.h"

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: make_sphere OUTPUT [SUBDIVISIONS 0-3]\n");
        return 2;
    }
    const int subdivisions = argc == 3 ? std::atoi(argv[2]) : 2;
    if (subdivisions < 0 || subdivisions > 3) {
        std::fprintf(stderr, "make_sphere: subdivisions must be 0 to 3\n");
        return 2;
    }
    if (!WriteSphereFile(argv[1], BuildIcosphere(subdivisions))) {
        std::fprintf(stderr, "make_sphere: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}

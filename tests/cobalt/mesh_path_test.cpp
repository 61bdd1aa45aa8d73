// Where cobalt looks for sphere.3d, and that nothing but a regular file is opened.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "effects/cobalt/mesh.h"
#include "platform/headless/headless.h"
#include "tests/cobalt/mesh_bytes.h"
#include "tests/support/counting_memory.h"

using namespace cobalt;
namespace fs = std::filesystem;

namespace {

// A mesh with `n` vertices and one face, so each place's file is told apart by
// the vertex count it loads.
std::vector<std::uint8_t> MeshOf(int n) {
    std::vector<Vector3> vertices;
    for (int i = 0; i < n; ++i) vertices.push_back(Vector3(1.0f + i, 0, 0));
    return MeshFileBytes(vertices, {{0, 0, 0, 1, 2, 3}});
}

// An installed tree under a scratch folder: the program in the daemons' program
// folder, the data folder beside it, and an empty working directory elsewhere.
class MeshPlacesTest : public testing::Test {
protected:
    void SetUp() override {
        testmem::Reset();
        programFolder = scratch.path / "prefix" / SAVER_PROGRAM_INSTALL_DIR;
        dataFolder = scratch.path / "prefix" / SAVER_DATA_INSTALL_DIR;
        work = scratch.path / "work";
        fs::create_directories(programFolder);
        fs::create_directories(dataFolder);
        fs::create_directories(work);
        headless::Config config;
        config.programPath = (programFolder / "cobalt").string();
        headless::Reset(config);
        // Abort rather than hang should an open ever block.
        alarm(20);
    }
    void TearDown() override {
        alarm(0);
        FreeSphereMesh();
        EXPECT_EQ(testmem::LiveBlocks(), 0);
    }

    ScratchDirectory scratch;
    fs::path programFolder, dataFolder, work;
};

TEST_F(MeshPlacesTest, WorkingDirectoryThenBesideTheProgramThenTheDataFolder) {
    const CurrentDirectory inWork(work);
    WriteBytes(dataFolder / "sphere.3d", MeshOf(3));
    ASSERT_TRUE(LoadSphereMesh());
    EXPECT_EQ(sphereMesh.vertexCount, 3);

    WriteBytes(programFolder / "sphere.3d", MeshOf(4));
    ASSERT_TRUE(LoadSphereMesh());
    EXPECT_EQ(sphereMesh.vertexCount, 4);

    WriteBytes(work / "sphere.3d", MeshOf(5));
    ASSERT_TRUE(LoadSphereMesh());
    EXPECT_EQ(sphereMesh.vertexCount, 5);
    EXPECT_TRUE(headless::Diagnostics().empty());
}

TEST_F(MeshPlacesTest, NoMeshAnywhereFailsAndNamesEveryPlace) {
    const CurrentDirectory inWork(work);
    EXPECT_FALSE(LoadSphereMesh());
    EXPECT_EQ(sphereMesh.vertices, nullptr);
    ASSERT_EQ(headless::Diagnostics().size(), 1u);
    const std::string line = headless::Diagnostics()[0];
    EXPECT_EQ(line, "cobalt: cannot find sphere.3d; looked in the working directory, " +
                        (programFolder / "sphere.3d").string() + ", " + (dataFolder / "sphere.3d").string());
}

TEST_F(MeshPlacesTest, WithoutTheProgramPathOnlyTheWorkingDirectoryIsTried) {
    headless::Config config;
    config.programPath = "cobalt";  // no folder part
    headless::Reset(config);
    WriteBytes(programFolder / "sphere.3d", MeshOf(4));
    const CurrentDirectory inWork(work);
    EXPECT_FALSE(LoadSphereMesh());
    ASSERT_EQ(headless::Diagnostics().size(), 1u);
    EXPECT_EQ(headless::Diagnostics()[0], "cobalt: cannot find sphere.3d; looked in the working directory");
}

// The first place that holds anything named sphere.3d decides: a bad file there
// fails the load instead of being passed over for a good one further on, and
// the line names it and what is wrong with it.
TEST_F(MeshPlacesTest, TheFirstPlaceDecidesEvenWhenItsFileIsBad) {
    WriteBytes(dataFolder / "sphere.3d", MeshOf(3));
    WriteBytes(programFolder / "sphere.3d", {1, 0});
    const CurrentDirectory inWork(work);
    EXPECT_FALSE(LoadSphereMesh());
    fs::create_directory(work / "sphere.3d");
    EXPECT_FALSE(LoadSphereMesh());
    EXPECT_EQ(headless::Diagnostics(),
              (std::vector<std::string>{
                  "cobalt: cannot load " + (programFolder / "sphere.3d").string() + ": cut short in its 4-byte header",
                  "cobalt: cannot load sphere.3d in the working directory: it is not a regular file"}));
}

// A link in the working directory that leads to no file, or round in a loop, is
// passed over for the next place, and a line says so.
TEST_F(MeshPlacesTest, LinksThatLeadNowhereArePassedOverWithALine) {
    WriteBytes(programFolder / "sphere.3d", MeshOf(4));
    const CurrentDirectory inWork(work);
    fs::create_symlink(work / "gone.3d", work / "sphere.3d");
    ASSERT_TRUE(LoadSphereMesh());
    EXPECT_EQ(sphereMesh.vertexCount, 4);
    fs::remove(work / "sphere.3d");
    fs::create_symlink("sphere.3d", work / "sphere.3d");
    ASSERT_TRUE(LoadSphereMesh());
    EXPECT_EQ(headless::Diagnostics(),
              (std::vector<std::string>{"cobalt: passed over sphere.3d in the working directory, a symbolic link that "
                                        "leads to no file (No such file or directory)",
                                        "cobalt: passed over sphere.3d in the working directory, a symbolic link that "
                                        "leads to no file (Too many levels of symbolic links)"}));
}

// A FIFO without a writer would block the open for ever; a directory and a
// device are no mesh either. Each is refused without falling through to the
// good mesh beside the program.
TEST_F(MeshPlacesTest, SpecialFilesAreRefusedWithoutBlocking) {
    WriteBytes(programFolder / "sphere.3d", MeshOf(4));
    const fs::path fifo = work / "sphere.3d";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    {
        const CurrentDirectory inWork(work);
        EXPECT_FALSE(LoadSphereMesh());
    }
    EXPECT_FALSE(LoadSphereMeshFrom(fifo.c_str()));
    fs::remove(fifo);

    fs::create_directory(work / "sphere.3d");
    {
        const CurrentDirectory inWork(work);
        EXPECT_FALSE(LoadSphereMesh());
    }
    EXPECT_FALSE(LoadSphereMeshFrom("/dev/zero"));
    EXPECT_FALSE(LoadSphereMeshFrom("/dev/null"));
    EXPECT_EQ(sphereMesh.vertices, nullptr);
    EXPECT_EQ(testmem::LiveBlocks(), 0);
}

}  // namespace

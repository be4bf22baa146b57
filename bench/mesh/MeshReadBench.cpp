// Mesh reading throughput on a generated grid of about a million triangles: loadOBJ
// beside tinyobjloader on the same OBJ file, and loadBinaryMesh beside a plain fread of
// the same ".bobj" file. Each figure is the best of several runs, with the page cache
// warm, so they compare parsing rather than the disk.
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#ifdef VANTOR_HAVE_TINYOBJLOADER
#include <tiny_obj_loader.h>
#endif

#include "mesh/BinaryMesh.h"
#include "mesh/ObjReader.h"
#include "support/BenchSupport.h"

namespace {

constexpr int kRuns = 5;

// Writes a wavy grid the way an exporter does: six decimals for positions and texture
// coordinates, four for normals, one "f" line per triangle.
void writeGridObj(const std::string& path, int quadsPerSide)
{
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (!file) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
    const int side = quadsPerSide + 1;
    std::fprintf(file, "# generated grid\no Grid\n");
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            std::fprintf(file, "v %.6f %.6f %.6f\n", x * 0.01 - 3.5,
                         std::sin(x * 0.05) * std::cos(y * 0.07), y * -0.01 + 3.5);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            std::fprintf(file, "vt %.6f %.6f\n", double(x) / quadsPerSide,
                         double(y) / quadsPerSide);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const double nx = -0.05 * std::cos(x * 0.05), nz = 0.07 * std::sin(y * 0.07);
            const double length = std::sqrt(nx * nx + 1.0 + nz * nz);
            std::fprintf(file, "vn %.4f %.4f %.4f\n", nx / length, 1.0 / length, nz / length);
        }
    std::fprintf(file, "s off\n");
    for (int y = 0; y < quadsPerSide; ++y)
        for (int x = 0; x < quadsPerSide; ++x) {
            const int a = y * side + x + 1, b = a + 1, c = a + side, d = c + 1;
            std::fprintf(file, "f %d/%d/%d %d/%d/%d %d/%d/%d\n", a, a, a, b, b, b, d, d, d);
            std::fprintf(file, "f %d/%d/%d %d/%d/%d %d/%d/%d\n", a, a, a, d, d, d, c, c, c);
        }
    std::fclose(file);
}

double processSeconds()
{
    timespec now;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}

// Best wall-clock and best CPU time (user and system, so page faults count) of several
// runs. On a shared machine the CPU time is the steadier of the two.
struct Timing {
    double wall = 1e30;
    double cpu = 1e30;
};

Timing bestOf(const std::function<void()>& run)
{
    Timing best;
    for (int i = 0; i < kRuns; ++i) {
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = processSeconds();
        run();
        const double cpu = processSeconds() - cpuStart;
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        best.wall = std::min(best.wall, took.count());
        best.cpu = std::min(best.cpu, cpu);
    }
    return best;
}

using Loader = bool (*)(const char*, std::vector<glm::vec3>&, std::vector<glm::vec2>&,
                       std::vector<glm::vec3>&);

// Loading into fresh per-corner arrays, as a model does; corners is what the loader gave.
Timing timeLoad(Loader load, const std::string& path, std::size_t& corners)
{
    return bestOf([&] {
        std::vector<glm::vec3> positions, normals;
        std::vector<glm::vec2> texCoords;
        benchsupport::QuietStdout quiet;
        load(path.c_str(), positions, texCoords, normals);
        corners = positions.size();
    });
}

void report(const char* what, double bytes, const Timing& timing)
{
    std::printf("%-38s wall %8.1f ms %8.1f MB/s   cpu %8.1f ms %8.1f MB/s\n", what,
                timing.wall * 1e3, bytes / timing.wall / 1e6, timing.cpu * 1e3,
                bytes / timing.cpu / 1e6);
}

void ratio(const char* what, const Timing& numerator, const Timing& denominator, const char* goal)
{
    std::printf("%s: wall %.2f, cpu %.2f (%s)\n", what, numerator.wall / denominator.wall,
                numerator.cpu / denominator.cpu, goal);
}

} // namespace

int main(int argc, char** argv)
{
    const long triangles = argc > 1 ? std::atol(argv[1]) : 1000000;
    const int quads = std::max(1, static_cast<int>(std::sqrt(triangles / 2.0)));
    const std::filesystem::path dir = std::filesystem::temp_directory_path()
                                      / ("vantor-mesh-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const std::string objPath = (dir / "grid.obj").string();
    const std::string bobjPath = (dir / "grid.bobj").string();
    writeGridObj(objPath, quads);
    const double objBytes = static_cast<double>(std::filesystem::file_size(objPath));
    std::printf("OBJ: %d triangles, %.1f MB\n", 2 * quads * quads, objBytes / 1e6);

    std::size_t corners = 0;
    const Timing objTime = timeLoad(Tarvo::loadOBJ, objPath, corners);
    if (corners != 6u * quads * quads) {
        std::fprintf(stderr, "loadOBJ read %zu corners\n", corners);
        return 1;
    }
    report("loadOBJ (per-corner arrays)", objBytes, objTime);

#ifdef VANTOR_HAVE_TINYOBJLOADER
    const Timing tinyTime = bestOf([&] {
        tinyobj::attrib_t attrib;
        std::vector<tinyobj::shape_t> shapes;
        std::vector<tinyobj::material_t> materials;
        std::string warn, err;
        tinyobj::LoadObj(&attrib, &shapes, &materials, &warn, &err, objPath.c_str());
    });
    report("tinyobjloader LoadObj (indexed)", objBytes, tinyTime);
    ratio("loadOBJ speed-up over tinyobjloader", tinyTime, objTime, "goal at least 5");
#else
    std::printf("tinyobjloader not available: comparison skipped\n");
#endif

    Tarvo::ObjMesh mesh;
    {
        benchsupport::QuietStdout quiet;
        Tarvo::readObjFile(objPath.c_str(), mesh);
    }
    if (!Tarvo::writeBinaryMesh(bobjPath.c_str(), mesh))
        return 1;
    const double bobjBytes = static_cast<double>(std::filesystem::file_size(bobjPath));
    std::printf(".bobj: %.1f MB\n", bobjBytes / 1e6);

    // Two baselines: a read into a fresh buffer (what loading a file costs a program),
    // and a read into a buffer allocated once (the copy out of the page cache alone).
    const std::size_t fileBytes = static_cast<std::size_t>(bobjBytes);
    auto plainRead = [&](char* buffer) {
        std::FILE* file = std::fopen(bobjPath.c_str(), "rb");
        if (std::fread(buffer, 1, fileBytes, file) != fileBytes)
            std::fprintf(stderr, "short read\n");
        std::fclose(file);
    };
    const Timing plainTime = bestOf([&] {
        std::unique_ptr<char[]> buffer(new char[fileBytes]);
        plainRead(buffer.get());
    });
    std::unique_ptr<char[]> kept(new char[fileBytes]);
    plainRead(kept.get());
    const Timing copyTime = bestOf([&] { plainRead(kept.get()); });
    std::size_t bobjCorners = 0;
    const Timing bobjTime = timeLoad(Tarvo::loadBinaryMesh, bobjPath, bobjCorners);
    if (bobjCorners != corners) {
        std::fprintf(stderr, "loadBinaryMesh read %zu corners\n", bobjCorners);
        return 1;
    }
    report("fread into a fresh buffer", bobjBytes, plainTime);
    report("fread into a reused buffer", bobjBytes, copyTime);
    report("loadBinaryMesh (per-corner arrays)", bobjBytes, bobjTime);
    ratio("loadBinaryMesh / fread into a fresh buffer", bobjTime, plainTime, "goal at most 1.5");
    ratio("loadBinaryMesh / fread into a reused buffer", bobjTime, copyTime, "for reference");

    std::filesystem::remove_all(dir);
    return 0;
}

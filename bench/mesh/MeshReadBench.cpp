// Mesh reading throughput on a generated grid of about a million triangles: loadOBJ
// beside tinyobjloader on the same OBJ file, and loadBinaryMesh beside a plain fread of
// the same ".bobj" file. The page cache is warm, so they compare parsing rather than the
// disk. Every figure is taken in five runs, each run timing every reader once in turn,
// and the ratios are formed within a run, so that a change in the machine's load falls
// on both sides of a ratio; the median and the range of the five are printed, with the
// load averages before and after.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
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

// Wall-clock and CPU time (user and system, so page faults count) of one call, in ms. On
// a shared machine the CPU time is the steadier of the two.
struct Timing {
    double wall = 0.0;
    double cpu = 0.0;
};

Timing timeOnce(const std::function<void()>& run)
{
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = benchsupport::processCpuSeconds();
    run();
    Timing timing;
    timing.cpu = (benchsupport::processCpuSeconds() - cpuStart) * 1e3;
    timing.wall = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    return timing;
}

// One figure over the runs: its median and range.
struct Figure {
    std::vector<double> wall;
    std::vector<double> cpu;

    void add(const Timing& t)
    {
        wall.push_back(t.wall);
        cpu.push_back(t.cpu);
    }
};

std::string spread(const std::vector<double>& values, const char* format)
{
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    char text[96];
    const std::string f = std::string(format) + " (" + format + ".." + format + ")";
    std::snprintf(text, sizeof text, f.c_str(), benchsupport::percentile(values, 50), *low, *high);
    return text;
}

void report(const char* what, double bytes, const Figure& figure)
{
    std::vector<double> wallRate, cpuRate;
    for (std::size_t i = 0; i < figure.wall.size(); ++i) {
        wallRate.push_back(bytes / figure.wall[i] / 1e3);
        cpuRate.push_back(bytes / figure.cpu[i] / 1e3);
    }
    std::printf("%-36s wall %-24s ms  cpu %-24s ms  (%s MB/s of CPU)\n", what, spread(figure.wall, "%.1f").c_str(),
                spread(figure.cpu, "%.1f").c_str(), spread(cpuRate, "%.0f").c_str());
}

// Run by run, numerator over denominator.
void ratio(const char* what, const Figure& numerator, const Figure& denominator, const char* goal)
{
    std::vector<double> wall, cpu;
    for (std::size_t i = 0; i < numerator.wall.size(); ++i) {
        wall.push_back(numerator.wall[i] / denominator.wall[i]);
        cpu.push_back(numerator.cpu[i] / denominator.cpu[i]);
    }
    std::printf("%s: wall %s, cpu %s (%s)\n", what, spread(wall, "%.2f").c_str(), spread(cpu, "%.2f").c_str(), goal);
}

void printLoad(const char* when)
{
    double load[3] = {0.0, 0.0, 0.0};
    if (getloadavg(load, 3) == 3)
        std::printf("load average %s: %.2f %.2f %.2f\n", when, load[0], load[1], load[2]);
}

using Loader = bool (*)(const char*, std::vector<glm::vec3>&, std::vector<glm::vec2>&,
                       std::vector<glm::vec3>&);

// Loading into fresh per-corner arrays, as a model does; returns the corners read.
std::size_t load(Loader loader, const std::string& path)
{
    std::vector<glm::vec3> positions, normals;
    std::vector<glm::vec2> texCoords;
    benchsupport::QuietStdout quiet;
    loader(path.c_str(), positions, texCoords, normals);
    return positions.size();
}

} // namespace

int main(int argc, char** argv)
{
    const long triangles = argc > 1 ? std::atol(argv[1]) : 1000000;
    const int quads = std::max(1, static_cast<int>(std::sqrt(triangles / 2.0)));
    const std::filesystem::path dir = benchsupport::scratchFolder("vantor-mesh-bench");
    const std::string objPath = (dir / "grid.obj").string();
    const std::string bobjPath = (dir / "grid.bobj").string();
    writeGridObj(objPath, quads);
    const double objBytes = static_cast<double>(std::filesystem::file_size(objPath));
    Tarvo::ObjMesh mesh;
    {
        benchsupport::QuietStdout quiet;
        Tarvo::readObjFile(objPath.c_str(), mesh);
    }
    if (!Tarvo::writeBinaryMesh(bobjPath.c_str(), mesh))
        return 1;
    const double bobjBytes = static_cast<double>(std::filesystem::file_size(bobjPath));
    const std::size_t fileBytes = static_cast<std::size_t>(bobjBytes);
    std::printf("OBJ: %d triangles, %.1f MB; .bobj: %.1f MB; %d runs, median (range)\n", 2 * quads * quads,
                objBytes / 1e6, bobjBytes / 1e6, kRuns);
    printLoad("before");

    // Two baselines for the binary file: a read into a fresh buffer (what loading a file
    // costs a program), and a read into a buffer allocated once (the copy out of the page
    // cache alone).
    auto plainRead = [&](char* buffer) {
        std::FILE* file = std::fopen(bobjPath.c_str(), "rb");
        if (!file || std::fread(buffer, 1, fileBytes, file) != fileBytes)
            std::fprintf(stderr, "short read\n");
        if (file)
            std::fclose(file);
    };
    std::unique_ptr<char[]> kept(new char[fileBytes]);
    auto tiny = [&] {
#ifdef VANTOR_HAVE_TINYOBJLOADER
        tinyobj::attrib_t attrib;
        std::vector<tinyobj::shape_t> shapes;
        std::vector<tinyobj::material_t> materials;
        std::string warn, err;
        tinyobj::LoadObj(&attrib, &shapes, &materials, &warn, &err, objPath.c_str());
#endif
    };

    const std::size_t expected = 6u * static_cast<std::size_t>(quads) * static_cast<std::size_t>(quads);
    Figure obj, tinyobj, fresh, reused, bobj;
    // The first round warms the page cache and the code; it is not counted.
    for (int run = -1; run < kRuns; ++run) {
        std::size_t objCorners = 0, bobjCorners = 0;
        const Timing o = timeOnce([&] { objCorners = load(Tarvo::loadOBJ, objPath); });
        const Timing t = timeOnce(tiny);
        const Timing f = timeOnce([&] {
            std::unique_ptr<char[]> buffer(new char[fileBytes]);
            plainRead(buffer.get());
        });
        const Timing r = timeOnce([&] { plainRead(kept.get()); });
        const Timing b = timeOnce([&] { bobjCorners = load(Tarvo::loadBinaryMesh, bobjPath); });
        if (objCorners != expected || bobjCorners != expected) {
            std::fprintf(stderr, "read %zu and %zu corners, not %zu\n", objCorners, bobjCorners, expected);
            return 1;
        }
        if (run < 0)
            continue;
        obj.add(o);
        tinyobj.add(t);
        fresh.add(f);
        reused.add(r);
        bobj.add(b);
    }

    report("loadOBJ (per-corner arrays)", objBytes, obj);
#ifdef VANTOR_HAVE_TINYOBJLOADER
    report("tinyobjloader LoadObj (indexed)", objBytes, tinyobj);
    ratio("loadOBJ speed-up over tinyobjloader", tinyobj, obj, "goal at least 5");
#else
    std::printf("tinyobjloader not available: comparison skipped\n");
#endif
    report("fread into a fresh buffer", bobjBytes, fresh);
    report("fread into a reused buffer", bobjBytes, reused);
    report("loadBinaryMesh (per-corner arrays)", bobjBytes, bobj);
    ratio("loadBinaryMesh / fread into a fresh buffer", bobj, fresh, "goal at most 1.5");
    ratio("loadBinaryMesh / fread into a reused buffer", bobj, reused, "for reference");
    printLoad("after");

    std::filesystem::remove_all(dir);
    return 0;
}

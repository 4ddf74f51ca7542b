// Load times of big mesh and point files: a binary STL of a height field, XYZ text and a binary
// PLY of points, generated in a temporary folder. Each load runs in a child process of its own
// (this program started again), three times; the table gives the median time, the file bytes
// per second, the child's processor time (what a busy machine slows least) and its peak memory
// above what it held before loading, beside the size of the finished data. Reference rows:
// "cat FILE > /dev/null" and, for text, "wc -l FILE"; for the STL also the earlier path through
// assimp (read, join identical vertices, build the element).
//
//   bench_mesh_load [millions]   millions of triangles and of points (default 10)
#include "apps/scene/scene_import.h"

#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using Vaq::BaVec3d;
using Vaq::CAD::PolyBase;
using Vaq::CAD::PolyBaseData;

// --- the files ----------------------------------------------------------------------------

double height(double x, double y)
{
    return 0.05 * std::sin(x * 0.01) * std::cos(y * 0.013);
}

// A height field of cells x rows squares, two triangles each, every corner written per triangle.
void writeStl(const std::string &path, uint32_t columns, uint32_t rows)
{
    std::ofstream out(path, std::ios::binary);
    const std::string header(80, ' ');
    out.write(header.data(), 80);
    const uint32_t count = 2 * columns * rows;
    out.write(reinterpret_cast<const char *>(&count), 4);
    std::vector<char> row(std::size_t(columns) * 100);
    const auto corner = [](float *at, uint32_t x, uint32_t y) {
        at[0] = float(x);
        at[1] = float(y);
        at[2] = float(height(x, y));
    };
    for (uint32_t y = 0; y < rows; ++y) {
        char *at = row.data();
        for (uint32_t x = 0; x < columns; ++x) {
            float t[2][12] = {};
            corner(t[0] + 3, x, y), corner(t[0] + 6, x + 1, y), corner(t[0] + 9, x + 1, y + 1);
            corner(t[1] + 3, x, y), corner(t[1] + 6, x + 1, y + 1), corner(t[1] + 9, x, y + 1);
            for (const auto &triangle : t) {
                std::memcpy(at, triangle, 48);
                std::memset(at + 48, 0, 2);
                at += 50;
            }
        }
        out.write(row.data(), std::streamsize(row.size()));
    }
}

// Scattered points with a little noise, as a scanner writes them.
BaVec3d<double> point(std::size_t i)
{
    const double x = double(i % 4000) * 0.25, y = double(i / 4000) * 0.25;
    return { x, y, height(x, y) + 0.001 * double(i % 7) };
}

void writeXyz(const std::string &path, std::size_t count)
{
    std::FILE *out = std::fopen(path.c_str(), "w");
    for (std::size_t i = 0; i < count; ++i) {
        const BaVec3d<double> p = point(i);
        std::fprintf(out, "%.3f %.3f %.4f\n", p.x, p.y, p.z);
    }
    std::fclose(out);
}

void writePly(const std::string &path, std::size_t count)
{
    std::ofstream out(path, std::ios::binary);
    out << "ply\nformat binary_little_endian 1.0\nelement vertex " << count
        << "\nproperty float x\nproperty float y\nproperty float z\nproperty float nx\nproperty float ny\n"
           "property float nz\nproperty uchar red\nproperty uchar green\nproperty uchar blue\nend_header\n";
    std::vector<char> buffer;
    for (std::size_t i = 0; i < count; ++i) {
        const BaVec3d<double> p = point(i);
        const float values[6] = { float(p.x), float(p.y), float(p.z), 0.0f, 0.0f, 1.0f };
        const uint8_t color[3] = { uint8_t(i), uint8_t(i >> 8), 200 };
        buffer.insert(buffer.end(), reinterpret_cast<const char *>(values),
            reinterpret_cast<const char *>(values) + 24);
        buffer.insert(buffer.end(), color, color + 3);
        if (buffer.size() > (1 << 24) || i + 1 == count) {
            out.write(buffer.data(), std::streamsize(buffer.size()));
            buffer.clear();
        }
    }
}

// --- one load, in the child ------------------------------------------------------------

// A line of /proc/self/status in bytes, such as "VmRSS" or "VmHWM".
double statusBytes(const char *key)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(key, 0) == 0)
            return std::atof(line.c_str() + std::strlen(key) + 1) * 1024.0;
    }
    return 0.0;
}

template<typename T> double bytesOf(const std::vector<T> &values)
{
    return double(values.size() * sizeof(T));
}

double meshBytes(const PolyBaseData &d)
{
    return bytesOf(d.vertices) + bytesOf(d.triangles) + bytesOf(d.vertexNormals) + bytesOf(d.triangleNormals)
        + bytesOf(d.drawColors) + bytesOf(d.pointFlags) + bytesOf(d.triangleFlags);
}

// The earlier import: assimp reads the STL, joins identical corners, and the element is built
// from its mesh.
std::unique_ptr<PolyBase> loadThroughAssimp(const char *path)
{
    Assimp::Importer importer;
    importer.SetPropertyInteger(AI_CONFIG_PP_RVC_FLAGS,
        aiComponent_NORMALS | aiComponent_TANGENTS_AND_BITANGENTS | aiComponent_TEXCOORDS
            | aiComponent_BONEWEIGHTS | aiComponent_ANIMATIONS | aiComponent_TEXTURES | aiComponent_LIGHTS
            | aiComponent_CAMERAS | aiComponent_MATERIALS);
    const aiScene *scene = importer.ReadFile(path, aiProcess_RemoveComponent | aiProcess_Triangulate);
    if (scene)
        scene = importer.ApplyPostProcessing(aiProcess_JoinIdenticalVertices);
    if (!scene)
        return nullptr;
    std::vector<BaVec3d<double>> vertices;
    std::vector<Vaq::CAD::Triangle> triangles;
    for (unsigned m = 0; m < scene->mNumMeshes; ++m) {
        const aiMesh &mesh = *scene->mMeshes[m];
        const uint32_t first = uint32_t(vertices.size());
        for (unsigned i = 0; i < mesh.mNumVertices; ++i)
            vertices.emplace_back(mesh.mVertices[i].x, mesh.mVertices[i].y, mesh.mVertices[i].z);
        for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
            const aiFace &face = mesh.mFaces[f];
            if (face.mNumIndices == 3)
                triangles.push_back(
                    { first + face.mIndices[0], first + face.mIndices[1], first + face.mIndices[2] });
        }
    }
    auto polyBase = std::make_unique<PolyBase>(Vaq::CAD::ElementCreator::MESH_SCAN, QString());
    polyBase->setMesh(std::move(vertices), std::move(triangles));
    polyBase->computeNormals();
    return polyBase;
}

// The processor time of this process so far, user and system.
double cpuSeconds()
{
    rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval &t) { return double(t.tv_sec) + double(t.tv_usec) * 1e-6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Prints "<seconds> <peak bytes above the start> <bytes of the data> <processor seconds>".
int child(const std::string &variant, const char *path)
{
    const double before = statusBytes("VmRSS");
    const double cpuBefore = cpuSeconds();
    const Clock::time_point start = Clock::now();
    double bytes = 0.0;
    if (variant == "assimp") {
        const std::unique_ptr<PolyBase> mesh = loadThroughAssimp(path);
        if (!mesh)
            return 1;
        bytes = meshBytes(*mesh->getData(Vaq::CAD::StageIdentifier::NO_STAGE));
    } else {
        Gcad::Scene::ImportedData data = Gcad::Scene::importFile(QString::fromLocal8Bit(path));
        if (const auto *cloud = std::get_if<Gcad::Scene::PointCloud>(&data))
            bytes = bytesOf(cloud->positions) + bytesOf(cloud->normals) + bytesOf(cloud->colors)
                + bytesOf(cloud->values);
        else
            bytes = meshBytes(
                *std::get<std::unique_ptr<PolyBase>>(data)->getData(Vaq::CAD::StageIdentifier::NO_STAGE));
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf(
        "%.6f %.0f %.0f %.6f\n", seconds, statusBytes("VmHWM") - before, bytes, cpuSeconds() - cpuBefore);
    return 0;
}

// --- the parent ------------------------------------------------------------------------

struct Result
{
    double seconds = 0, peak = 0, bytes = 0, cpu = 0;
};

// Runs argv as a child and reads its one line of figures; a shell command is only timed.
Result run(const std::vector<std::string> &argv, bool figures)
{
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        std::exit(1);
    const Clock::time_point start = Clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(pipeEnds[1], 1);
        ::close(pipeEnds[0]);
        std::vector<char *> args;
        for (const std::string &a : argv)
            args.push_back(const_cast<char *>(a.c_str()));
        args.push_back(nullptr);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    ::close(pipeEnds[1]);
    std::string text;
    char buffer[256];
    for (ssize_t n; (n = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, std::size_t(n));
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    Result result;
    result.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "bench_mesh_load: %s failed\n", argv.back().c_str());
        std::exit(1);
    }
    if (figures)
        std::sscanf(
            text.c_str(), "%lf %lf %lf %lf", &result.seconds, &result.peak, &result.bytes, &result.cpu);
    return result;
}

double median3(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Three runs of a variant, the medians of each figure.
Result measure(const std::vector<std::string> &argv, bool figures)
{
    std::vector<double> seconds, peaks, bytes, cpu;
    for (int i = 0; i < 3; ++i) {
        const Result r = run(argv, figures);
        seconds.push_back(r.seconds);
        peaks.push_back(r.peak);
        bytes.push_back(r.bytes);
        cpu.push_back(r.cpu);
    }
    return { median3(seconds), median3(peaks), median3(bytes), median3(cpu) };
}

double fileSize(const std::string &path)
{
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    return double(file.tellg());
}

void row(const char *name, double size, const Result &r, const char *note = "")
{
    std::printf("  %-14s %8.2f s %8.0f MB/s", name, r.seconds, size / r.seconds / 1e6);
    if (r.bytes > 0)
        std::printf(" %7.2f s cpu %7.0f MB peak %6.0f MB data %5.2fx", r.cpu, r.peak / 1e6, r.bytes / 1e6,
            r.peak / r.bytes);
    std::printf("%s\n", note);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 4 && std::string(argv[1]) == "--child") {
        QCoreApplication application(argc, argv);
        return child(argv[2], argv[3]);
    }
    const double millions = argc > 1 ? std::atof(argv[1]) : 10.0;
    if (!(millions > 0.0 && millions <= 100.0)) {
        std::fprintf(stderr, "usage: bench_mesh_load [millions of triangles and points, up to 100]\n");
        return 2;
    }
    const std::string self = "/proc/self/exe";
    char exe[4096] = {};
    if (::readlink(self.c_str(), exe, sizeof exe - 1) <= 0)
        return 1;
    QTemporaryDir folder;
    const std::string stl = folder.filePath("grid.stl").toStdString();
    const std::string xyz = folder.filePath("points.xyz").toStdString();
    const std::string ply = folder.filePath("points.ply").toStdString();
    const std::size_t count = std::size_t(millions * 1e6);
    // Two triangles per cell, 2000 rows of cells.
    const uint32_t rows = 2000, columns = uint32_t(std::max<std::size_t>(1, count / (2 * rows)));
    writeStl(stl, columns, rows);
    writeXyz(xyz, count);
    writePly(ply, count);

    const auto shell = [](const std::string &command) {
        return std::vector<std::string> { "/bin/sh", "-c", command };
    };
    const auto load = [&](const char *variant, const std::string &path) {
        return std::vector<std::string> { exe, "--child", variant, path };
    };
    std::printf("median of 3 runs; peak: the loading child's peak resident memory above its start\n");

    const double stlSize = fileSize(stl);
    std::printf("\nbinary STL, %u triangles, %.0f MB\n", 2 * columns * rows, stlSize / 1e6);
    const Result stlCat = measure(shell("cat '" + stl + "' > /dev/null"), false);
    const Result stlOld = measure(load("assimp", stl), true);
    const Result stlNew = measure(load("new", stl), true);
    row("cat", stlSize, stlCat);
    row("assimp", stlSize, stlOld);
    char speedup[64];
    std::snprintf(speedup, sizeof speedup, "  %.1fx faster than assimp", stlOld.seconds / stlNew.seconds);
    row("new reader", stlSize, stlNew, speedup);

    const double xyzSize = fileSize(xyz);
    std::printf("\nXYZ text, %zu points, %.0f MB\n", count, xyzSize / 1e6);
    row("cat", xyzSize, measure(shell("cat '" + xyz + "' > /dev/null"), false));
    row("wc -l", xyzSize, measure(shell("wc -l '" + xyz + "' > /dev/null"), false));
    row("new reader", xyzSize, measure(load("new", xyz), true));

    const double plySize = fileSize(ply);
    std::printf("\nbinary PLY, %zu points with normals and colours, %.0f MB\n", count, plySize / 1e6);
    row("cat", plySize, measure(shell("cat '" + ply + "' > /dev/null"), false));
    row("new reader", plySize, measure(load("new", ply), true));
    return 0;
}

// Mesh build speed: one density evaluation, and whole block builds for each ring resolution next to
// their floor, the density evaluations no build can avoid ((R + 1)³ lattice samples plus six per
// vertex for the normals). Run on an idle machine; compare Build/* with Floor/* of the same name.
#include <benchmark/benchmark.h>

#include <cmath>
#include <string>
#include <vector>

#include "terrain/mesh/DensityFunction.hpp"
#include "terrain/mesh/MarchingCubes.hpp"

namespace {

const DensityFunction& field() {
    static const DensityFunction density;
    return density;
}

noise::module::Perlin textureNoise() {
    noise::module::Perlin noise;
    configureTextureNoise(noise);
    return noise;
}

struct Ring {
    const char* name;
    double edge;  // world units per block edge
    double offset;
    int resolution;
};
const Ring rings[] = {{"coarse", 500.0, -25.0, 12}, {"middle", 250.0, -10.0, 14}, {"fine", 100.0, 0.0, 20}};

// Height of the surface above the column (x, z), by bisection between two heights known to lie in
// the ground and in the air.
double surfaceHeight(double x, double z, double offset) {
    double low = -2000.0, high = 3000.0;
    for (int n = 0; n < 60; ++n) {
        const double mid = 0.5 * (low + high);
        (field().getDensity(x, mid, z, offset) > 0.0 ? low : high) = mid;
    }
    return low;
}

// The ring's block (on its cell lattice) over column (x, z) that holds the surface there, or the
// one 3000 units above it.
MeshBox blockAt(const Ring& ring, double x, double z, bool inAir) {
    const double s = ring.edge;
    const double cx = std::floor(x / s), cz = std::floor(z / s);
    double y = surfaceHeight((cx + 0.5) * s, (cz + 0.5) * s, ring.offset);
    if (inAir) y += 3000.0;
    const double cy = std::floor(y / s);
    return MeshBox{cx * s, (cx + 1) * s, cy * s, (cy + 1) * s, cz * s, (cz + 1) * s, ring.resolution};
}

struct Place {
    const char* name;
    double x, z;
    bool inAir;
};
// The start position, the mountain's flank (half its radius from its centre) and empty air.
const Place places[] = {{"start", 1.0, 1.0, false}, {"flank", 250.0, 500.0, false}, {"air", 1.0, 1.0, true}};

void BM_GetDensity(benchmark::State& state) {
    double x = 0.0, sum = 0.0;
    for (auto _ : state) {
        sum += field().getDensity(x, 0.37 * x, 12.0, 0.0);
        x += 0.731;
        if (x > 1000.0) x = -1000.0;
    }
    benchmark::DoNotOptimize(sum);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GetDensity);

void buildBlock(benchmark::State& state, Ring ring, MeshBox box) {
    const noise::module::Perlin texture = textureNoise();
    int vertices = 0;
    for (auto _ : state) {
        StagedMesh mesh = buildMesh(field(), texture, box, ring.offset);
        vertices = mesh.vertexCount;
        benchmark::DoNotOptimize(mesh.vertexData.get());
    }
    state.counters["vertices"] = vertices;
}

// Exactly the density evaluations of the build: the lattice, then six per vertex of its mesh.
void buildFloor(benchmark::State& state, Ring ring, MeshBox box) {
    const StagedMesh mesh = buildMesh(field(), textureNoise(), box, ring.offset);
    const double dx = (box.maxX - box.minX) / box.resolution;
    for (auto _ : state) {
        std::vector<double> samples = sampleLattice(field(), box, ring.offset);
        benchmark::DoNotOptimize(samples.data());
        for (int n = 0; n < mesh.vertexCount; ++n) {
            const MeshVertex& v = mesh.vertexData[n];
            benchmark::DoNotOptimize(field().getNormal(v.x, v.y, v.z, dx));
        }
    }
    state.counters["vertices"] = mesh.vertexCount;
}

const bool registered = [] {
    for (const Ring& ring : rings) {
        for (const Place& place : places) {
            const MeshBox box = blockAt(ring, place.x, place.z, place.inAir);
            const std::string name = std::string(ring.name) + "_R" + std::to_string(ring.resolution) + "/" + place.name;
            benchmark::RegisterBenchmark(("Build/" + name).c_str(), buildBlock, ring, box)->Unit(benchmark::kMicrosecond);
            benchmark::RegisterBenchmark(("Floor/" + name).c_str(), buildFloor, ring, box)->Unit(benchmark::kMicrosecond);
        }
    }
    return true;
}();

}  // namespace

BENCHMARK_MAIN();

#include "terrain/mesh/VertexWelder.hpp"

#include <cmath>

#include "terrain/mesh/MarchingCubes.hpp"

namespace {
bool sameVertex(const MeshVertex& a, const MeshVertex& b) {
    return std::fabs(a.x - b.x) < weldTolerance && std::fabs(a.y - b.y) < weldTolerance &&
           std::fabs(a.z - b.z) < weldTolerance;
}

bool finitePosition(const MeshVertex& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// Beyond this magnitude a coordinate minus twice the tolerance may round back onto itself, and the
// bucket range below would no longer be sure to cover every match; such queries scan instead.
constexpr double gridCoordinateLimit = 1e9;
}  // namespace

int findOrAddVertex(std::vector<MeshVertex>& vertices, const MeshVertex& vertex) {
    for (std::size_t i = 0; i < vertices.size(); ++i) {
        if (sameVertex(vertex, vertices[i])) return static_cast<int>(i);
    }
    vertices.push_back(vertex);
    return static_cast<int>(vertices.size() - 1);
}

int VertexWelder::Axis::bucketOf(double coordinate) const {
    // Lattice planes fall on bucket centres, so crossings on them rarely straddle two buckets.
    // Every step is monotone, so a coordinate range maps onto a contiguous bucket range.
    // Truncation is the floor here because values below 1 have already gone to bucket 0.
    const double bucket = (coordinate - origin) * inverseSize + 0.5;
    if (!(bucket >= 1.0)) return 0;
    if (bucket >= count - 1) return count - 1;
    return static_cast<int>(bucket);
}

VertexWelder::VertexWelder(std::vector<MeshVertex>& vertices, const MeshBox& box, Lookup lookup)
    : vertices(vertices), lookup(lookup) {
    if (lookup != Lookup::grid) return;
    const int cells = box.resolution > 0 ? box.resolution : 1;
    const double mins[3] = {box.minX, box.minY, box.minZ};
    const double maxs[3] = {box.maxX, box.maxY, box.maxZ};
    for (int a = 0; a < 3; ++a) {
        // One bucket per lattice point along the axis: a few crossings each.
        const double step = (maxs[a] - mins[a]) / cells;
        axes[a].origin = std::isfinite(mins[a]) ? mins[a] : 0.0;
        axes[a].inverseSize = (std::isfinite(step) && step > 0.0) ? 1.0 / step : 1.0;
        axes[a].count = cells + 1;
    }
    bucketHeads.assign(static_cast<std::size_t>(axes[0].count) * axes[1].count * axes[2].count, -1);
}

int VertexWelder::findInGrid(const MeshVertex& vertex) const {
    // Any match lies strictly within weldTolerance, so inside [c - 2·tol, c + 2·tol] even after
    // rounding; the buckets of those bounds enclose every bucket a match can be in.
    const double position[3] = {vertex.x, vertex.y, vertex.z};
    int low[3], high[3];
    for (int a = 0; a < 3; ++a) {
        low[a] = axes[a].bucketOf(position[a] - 2.0 * weldTolerance);
        high[a] = axes[a].bucketOf(position[a] + 2.0 * weldTolerance);
    }
    int best = -1;
    for (int bx = low[0]; bx <= high[0]; ++bx) {
        for (int by = low[1]; by <= high[1]; ++by) {
            for (int bz = low[2]; bz <= high[2]; ++bz) {
                const std::size_t bucket =
                    (static_cast<std::size_t>(bx) * axes[1].count + by) * axes[2].count + bz;
                for (int i = bucketHeads[bucket]; i >= 0; i = nextInBucket[i]) {
                    if ((best < 0 || i < best) && sameVertex(vertex, vertices[i])) best = i;
                }
            }
        }
    }
    return best;
}

void VertexWelder::insert(int index) {
    const MeshVertex& v = vertices[index];
    const std::size_t bucket =
        (static_cast<std::size_t>(axes[0].bucketOf(v.x)) * axes[1].count + axes[1].bucketOf(v.y)) *
            axes[2].count +
        axes[2].bucketOf(v.z);
    nextInBucket.push_back(bucketHeads[bucket]);
    bucketHeads[bucket] = index;
}

int VertexWelder::findOrAdd(const MeshVertex& vertex) {
    if (lookup == Lookup::linearScan) {
        if (static_cast<int>(vertices.size()) < maxMeshVertices) return findOrAddVertex(vertices, vertex);
        for (std::size_t i = 0; i < vertices.size(); ++i) {
            if (sameVertex(vertex, vertices[i])) return static_cast<int>(i);
        }
        return -1;
    }

    // A position with a non-finite coordinate never equals anything, as in the scan: it is
    // appended and kept out of the grid.
    const bool finite = finitePosition(vertex);
    if (finite) {
        const bool inGridRange = std::fabs(vertex.x) < gridCoordinateLimit &&
                                 std::fabs(vertex.y) < gridCoordinateLimit &&
                                 std::fabs(vertex.z) < gridCoordinateLimit;
        if (inGridRange) {
            const int found = findInGrid(vertex);
            if (found >= 0) return found;
        } else {
            for (std::size_t i = 0; i < vertices.size(); ++i) {
                if (sameVertex(vertex, vertices[i])) return static_cast<int>(i);
            }
        }
    }
    if (static_cast<int>(vertices.size()) >= maxMeshVertices) return -1;
    vertices.push_back(vertex);
    const int index = static_cast<int>(vertices.size() - 1);
    if (finite) {
        insert(index);
    } else {
        nextInBucket.push_back(-1);
    }
    return index;
}

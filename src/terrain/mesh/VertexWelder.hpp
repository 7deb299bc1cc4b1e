#pragma once
// Joins the crossings of neighbouring cells into shared vertices while a block's mesh is built (on
// that block's build thread). A bucket grid over the box finds, in near-constant time, the same
// vertex as a linear scan would: the earliest one within weldTolerance on every axis.
#include <vector>

#include "terrain/mesh/MeshTypes.hpp"

struct MeshBox;

// Largest per-axis distance (world units) at which two crossings are the same vertex.
constexpr double weldTolerance = 0.000001;
// 16-bit indices address at most this many vertices in one mesh.
constexpr int maxMeshVertices = 65536;

// The reference welding: the index of the earliest queued vertex within weldTolerance of vertex on
// every axis, or vertex appended and its new index.
int findOrAddVertex(std::vector<MeshVertex>& vertices, const MeshVertex& vertex);

class VertexWelder {
public:
    enum class Lookup { grid, linearScan };

    // Welds into vertices (which must start empty) for crossings inside box.
    VertexWelder(std::vector<MeshVertex>& vertices, const MeshBox& box, Lookup lookup = Lookup::grid);

    // Index of the vertex at vertex's position, appending it when new; -1 when it would be vertex
    // number maxMeshVertices + 1 (the queue is then left unchanged).
    int findOrAdd(const MeshVertex& vertex);

    std::vector<MeshVertex>& vertices;

private:
    struct Axis {
        double origin = 0.0;
        double inverseSize = 1.0;  // buckets per world unit
        int count = 1;
        int bucketOf(double coordinate) const;
    };

    int findInGrid(const MeshVertex& vertex) const;
    void insert(int index);

    Lookup lookup;
    Axis axes[3];
    std::vector<int> bucketHeads;  // latest vertex of each bucket, -1 when empty
    std::vector<int> nextInBucket;  // per vertex: the previous vertex of its bucket, or -1
};

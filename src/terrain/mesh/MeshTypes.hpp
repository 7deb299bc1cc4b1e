#pragma once
// The terrain's vertex and index records: the same bytes in the build's queues, the staging
// arrays and the OpenGL buffer objects (stride 72; position at byte 0, normal at 24, texture at 48).
#include <cstdint>

struct MeshVertex {
    double x, y, z;     // position, world units
    double nx, ny, nz;  // unit normal, from the solid into the air
    double s, t, r;     // 3D texture coordinate; r picks the layer
};

struct MeshTriangle {
    std::uint16_t a, b, c;  // vertex indices, counter-clockwise seen from the air
};

static_assert(sizeof(MeshVertex) == 72, "MeshVertex is the 72-byte GPU vertex format");
static_assert(sizeof(MeshTriangle) == 6, "MeshTriangle is the 6-byte GPU index format");

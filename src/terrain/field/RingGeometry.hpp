#pragma once
// Cell arithmetic of the terrain's three level-of-detail rings: the ring parameters, the cell of a
// coordinate, the box of a cell, how a ring's centre follows the camera one cell at a time and where
// a block that leaves a ring's window goes. Pure functions: the Terrain thread and tests call them.
#include <Imath/ImathVec.h>

// Index of a ring in the Terrain's per-ring arrays.
enum RingIndex { coarseRing = 0, middleRing = 1, fineRing = 2 };
constexpr int ringCount = 3;

struct RingParameters {
    double blockSize;      // edge of one block, world units
    int blocksPerSide;     // blocks along each axis
    int resolution;        // polygonisation cells along each block edge
    double densityOffset;  // added to every density sample; lowers the coarser surfaces
};

// Indexed by RingIndex: coarse, middle, fine.
constexpr RingParameters ringParameters[ringCount] = {
    {500.0, 7, 12, -25.0},
    {250.0, 5, 14, -10.0},
    {100.0, 5, 20, 0.0},
};

constexpr int ringHalfWidth(int ring) { return ringParameters[ring].blocksPerSide / 2; }

constexpr int ringBlockCount(int ring) {
    return ringParameters[ring].blocksPerSide * ringParameters[ring].blocksPerSide *
           ringParameters[ring].blocksPerSide;
}

// 343 + 125 + 125: one pair of buffer names is reserved for each.
constexpr int totalBlockCount = ringBlockCount(coarseRing) + ringBlockCount(middleRing) + ringBlockCount(fineRing);

struct Cell {
    int x = 0;
    int y = 0;
    int z = 0;
    bool operator==(const Cell& other) const { return x == other.x && y == other.y && z == other.z; }
    bool operator!=(const Cell& other) const { return !(*this == other); }
};

struct CellBox {
    double minX, maxX, minY, maxY, minZ, maxZ;  // world units
};

// Index of the cell of edge s (world units) holding coordinate p: the quotient truncated toward
// zero, one lower for negative p. Equals floor(p / s) except at negative exact multiples of s,
// which land one cell lower (p = -100, s = 100 gives -2); -0.0 is not negative and gives 0.
// Quotients beyond the int range saturate; a quotient that is not a number gives 0.
int cellIndex(double p, double s);

// The cell of a point, each coordinate taken independently with the same edge.
Cell cellOf(const Imath::V3d& p, double s);

// The box of cell c for edge s: c.x * s to (c.x + 1) * s on x, likewise on y and z.
CellBox cellBox(const Cell& c, double s);

// Moves a ring's centre one cell toward target on the first axis (x, then y, then z) on which they
// differ. Returns false, changing nothing, when they are equal. One cell at a time keeps every
// reassignment a single face of the window, so a ring never holds two blocks in one cell.
bool stepCentreToward(Cell& centre, const Cell& target);

// Whether cell b lies within the window of a ring centred on c with half-width h.
bool insideWindow(const Cell& b, const Cell& c, int h);

// The cell a block at b moves to when its ring is centred on c with half-width h: on every axis
// b is clamped to the window and reflected through the centre (2c - clamp(b)). Only meaningful for
// b outside the window; after a one-cell step it maps the leaving face onto the arriving one.
Cell reflectIntoWindow(const Cell& b, const Cell& c, int h);

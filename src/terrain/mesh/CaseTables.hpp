#pragma once
// The constant marching-cubes case tables in this polygoniser's corner and edge numbering (corners
// 0-3 on the lower face, 4-7 above them; edges 0-3 ring the lower face, 4-7 the upper, 8-11 rise).
// Read-only data, shared by every build thread.

// Corners of edge e: it runs from corner (e % 8) to corner edgeEnd[e].
extern const int edgeEnd[12];
// Bit e of edgeTable[m] is set when edge e is crossed in case m (bit n of m: corner n is solid).
extern const int edgeTable[256];
// Per case, edge numbers three at a time, one triangle each, ended by -1; each triangle read in
// table order faces the solid corners.
extern const int triTable[256][16];

#pragma once
// One axis-aligned box of terrain and the mesh of the surface inside it. Its build runs on a thread
// of its own (run); the main thread uploads the finished mesh into two buffer objects (update) and
// draws it (draw); the Terrain thread constructs, relaunches (launch) and joins (wait) it.
// Hand-off: run writes the staging arrays and counts, then sets needsUpload (release); the main
// thread reads them only after seeing needsUpload (acquire) and clears it when it has released them.
#include <GL/glew.h>
#include <SFML/System/Thread.hpp>
#include <libnoise/noise.h>

#include <atomic>

#include "terrain/mesh/MarchingCubes.hpp"
#include "terrain/mesh/MeshTypes.hpp"

class DensityFunction;

class Block {
public:
    // Starts the build at once on a new thread when density is not null; otherwise prints
    // "ERROR: Coulnd't initialize block with NULL density function!" and starts nothing.
    // A resolution of 0 or less gives 32.
    Block(const DensityFunction* density, GLuint vertexBuffer, GLuint indexBuffer, double minX,
          double maxX, double minY, double maxY, double minZ, double maxZ, double densityOffset,
          int resolution);
    // Waits for a running build.
    ~Block();
    Block(const Block&) = delete;
    Block& operator=(const Block&) = delete;

    // Thread body: builds the mesh of the current box, then sets needsUpload and clears building.
    void run();
    // Owner's thread control: launch waits for a previous run, then runs run() on a new thread.
    void launch();
    void wait();

    // Main thread: fade-in, and upload of a waiting mesh.
    void update(double timeStep);
    // Main thread: draws the last uploaded mesh with the bound texture.
    void draw();
    // Main thread: makes the block's colour, with its fade-in opacity, the current colour.
    void applyColour() const;

    double minX, maxX, minY, maxY, minZ, maxZ;  // world units
    noise::module::Perlin textureNoise;
    GLuint vertexBuffer;
    GLuint indexBuffer;
    int uploadedTriangleCount = 0;
    // Main thread: the box of the uploaded mesh, which lies inside it. Copied from the box fields at
    // the upload, while the Terrain thread leaves them alone.
    MeshBox drawnBox;
    MeshVertex* vertexData = nullptr;      // staging copy, owned until the upload releases it
    MeshTriangle* indexData = nullptr;
    int vertexCount = 0;
    int triangleCount = 0;
    std::atomic<bool> building{true};      // true until the first build has finished
    const DensityFunction* density;
    int resolution;                        // cells per box edge
    bool wireframe = false;
    std::atomic<bool> needsUpload{false};  // staging arrays hold a finished mesh
    double alpha = 0.0;                    // fade-in opacity
    double densityOffset;
    int cellX = 0, cellY = 0, cellZ = 0;   // kept for the Terrain; the Block never reads them

private:
    sf::Thread thread;
};

#pragma once
// The visible landscape: 593 blocks in three nested level-of-detail rings (coarse, middle, fine)
// that follow a position cell by cell, the density field they sample, their buffer names and the
// terrain texture. The main thread constructs it and calls update, draw, setWireframe,
// clampToGround and shutdown; its own thread runs the initial build and then one streaming pass at a
// time, relaunching one block thread at a time. Hand-offs go through the atomics below.
#include <GL/glew.h>
#include <Imath/ImathVec.h>
#include <SFML/System/Thread.hpp>

#include <atomic>
#include <string>
#include <vector>

#include "terrain/field/AtomicPosition.hpp"
#include "terrain/field/BlockOcclusion.hpp"
#include "terrain/field/RingGeometry.hpp"
#include "terrain/field/ViewFrustum.hpp"

class Block;
class DensityFunction;

// A move smaller than this since the last launch starts no streaming pass (world units): the
// single-precision 0.0001 widened to double.
constexpr double streamingMoveThreshold = static_cast<double>(0.0001f);
// How long the Terrain thread sleeps between checks while a block's mesh waits for the main
// thread's upload (milliseconds).
constexpr int uploadWaitStepMilliseconds = 1;

// Where the terrain images are read from, relative to the working directory, in layer order.
extern const char* const terrainTextureDirectory;
extern const char* const terrainTextureFiles[4];

class Terrain {
public:
    // Main thread, with the OpenGL context current. Reserves one pair of buffer names per block,
    // builds the texture and starts the initial build on the Terrain thread. A null position prints
    // "Error: Cannot initialize terrain with a NULL pointer." and leaves an inert Terrain.
    explicit Terrain(const AtomicPosition* position);
    // Main thread, with the OpenGL context current: stops and joins every thread, then releases the
    // blocks, the density field, the buffer names and the texture.
    ~Terrain();
    Terrain(const Terrain&) = delete;
    Terrain& operator=(const Terrain&) = delete;

    // Thread body: the initial build while initialBuildPending, else a streaming pass while updatePending.
    void run();
    // Terrain thread: creates every block, coarse ring first, one at a time.
    void buildInitial();
    // Terrain thread: moves rings and rebuilds blocks until every ring is centred on the position's cell.
    void streamRings();

    // Main thread: uploads finished meshes, advances fade-ins and launches a streaming pass when
    // the position has moved; dt in seconds. Never waits for terrain work.
    void update(double dt);
    // Main thread: draws the fine, middle and coarse ring with the texture bound. With cullOutsideView,
    // blocks whose boxes lie wholly outside the view volume of the matrices in force are skipped, and
    // so are middle and coarse blocks that the rings drawn before them hide: the same pixels for less
    // work. Without it every block is drawn, the reference the tests compare to.
    void draw(bool cullOutsideView = true);
    // Main thread: one ring's blocks in list order with the texture already bound. When view is
    // given, blocks whose boxes lie outside it are skipped, and while testHiddenBlocks is set, so
    // are the middle and coarse blocks that the terrain drawn before them hides.
    void drawRing(int ring, const ViewFrustum* view);
    // Main thread: makes current the colour that drawing every block leaves behind, the last
    // block's. Every block sets its colour before drawing, so a skipped last block would otherwise
    // leave another one's.
    void applyLastBlockColour() const;
    // Main thread: the view volume of the projection and model-view matrices in force.
    static ViewFrustum currentView();
    // Main thread: whether testing the middle and coarse rings' blocks for being hidden can save
    // more than it costs, given the samples the fine ring passed in the last frame: only with
    // multisampling, and when the fine ring covered at least half the viewport's samples.
    static bool hiddenBlockTestPays(GLuint finePassedSamples);
    // Main thread: every block drawn as lines (on) or filled. Ignored during the initial build.
    void setWireframe(bool on);
    // Main thread: the position to use after a move from oldPosition to newPosition, kept out of the ground.
    Imath::V3d clampToGround(const Imath::V3d& oldPosition, const Imath::V3d& newPosition) const;
    // Main thread: stops a running build or pass between blocks and joins the Terrain thread and
    // every block thread. Nothing is launched afterwards. Safe on an inert Terrain and more than once.
    void shutdown();

    static int cellIndex(double p, double s) { return ::cellIndex(p, s); }

    const AtomicPosition* position = nullptr;
    Imath::V3d lastLaunchPosition{0.0, 0.0, 0.0};  // main thread only
    Cell ringCell[ringCount];                      // Terrain thread once launched; by RingIndex
    // Set by the constructor, cleared (release) by the initial build as its last step: publishes
    // the block lists and the blocks' first meshes.
    std::atomic<bool> initialBuildPending{false};
    // Set (release) by update before it launches a pass, cleared (release) by the pass as its last
    // step: publishes the ring cells and the blocks' cells and boxes.
    std::atomic<bool> updatePending{false};
    // Running totals for benchmarks: streaming passes run and blocks relaunched by them. Written
    // only by the Terrain thread; relaxed because they publish nothing, readers only want a count.
    std::atomic<long> streamingPassCount{0};
    std::atomic<long> rebuiltBlockCount{0};
    std::vector<GLuint> vertexBufferPool;  // first-in first-out; block n takes name n
    std::vector<GLuint> indexBufferPool;
    DensityFunction* density = nullptr;
    std::vector<Block*> allBlocks;  // creation order; owns the blocks
    std::vector<Block*> fineBlocks;
    std::vector<Block*> middleBlocks;
    std::vector<Block*> coarseBlocks;
    int ringResolution[ringCount] = {0, 0, 0};   // polygonisation cells per block edge
    double ringBlockSize[ringCount] = {0.0, 0.0, 0.0};  // world units
    int ringBlocksPerSide[ringCount] = {0, 0, 0};
    double ringDensityOffset[ringCount] = {0.0, 0.0, 0.0};
    GLuint texture = 0;
    // Main thread: the hidden-block tests of the middle and coarse rings, by ring index.
    BlockOcclusion occlusion[ringCount];
    // Main thread: whether the middle and coarse rings' blocks are tested for being hidden in this
    // frame; decided by hiddenBlockTestPays from the last frame drawn with a view.
    bool testHiddenBlocks = false;

private:
    std::vector<Block*>& ringBlocks(int ring);
    // Moves the ring's out-of-window blocks to the cells that entered it and rebuilds them one at
    // a time. Returns false when shutdown interrupted it.
    bool reassignRing(int ring);
    // Sleeps in short steps until the main thread has uploaded the block's waiting mesh. Returns
    // false when shutdown was requested first.
    bool waitForUpload(const Block& block) const;
    bool stopping() const;
    // Main thread, while no pass runs: every ring is centred on the point's cell.
    bool ringsSurround(const Imath::V3d& point) const;

    // Main thread: counts the samples the fine ring passes, read in the next frame.
    GLuint fineCoverageQuery = 0;
    bool fineCoverageQueryPending = false;

    // Set (release) by shutdown; read (acquire) by the Terrain thread between blocks and in waits.
    std::atomic<bool> stopRequested{false};
    sf::Thread thread;
};

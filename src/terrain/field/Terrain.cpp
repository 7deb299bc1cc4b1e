#include "terrain/field/Terrain.hpp"

#include <SFML/System/Sleep.hpp>

#include <iostream>

#include "common/GlCheck.hpp"
#include "terrain/field/GroundClamp.hpp"
#include "terrain/field/LayeredTexture.hpp"
#include "terrain/field/ViewFrustum.hpp"
#include "terrain/mesh/Block.hpp"
#include "terrain/mesh/DensityFunction.hpp"

const char* const terrainTextureDirectory = "./Resources/Textures/Terrain/";
const char* const terrainTextureFiles[4] = {"snow.jpg", "rock.jpg", "grass.jpg", "dirt.jpg"};

Terrain::Terrain(const AtomicPosition* followed) : thread(&Terrain::run, this) {
    if (followed == nullptr) {
        std::cout << "Error: Cannot initialize terrain with a NULL pointer.\n";
        return;
    }
    position = followed;
    lastLaunchPosition = position->load();

    for (int ring = 0; ring < ringCount; ++ring) {
        ringBlockSize[ring] = ringParameters[ring].blockSize;
        ringBlocksPerSide[ring] = ringParameters[ring].blocksPerSide;
        ringResolution[ring] = ringParameters[ring].resolution;
        ringDensityOffset[ring] = ringParameters[ring].densityOffset;
    }
    for (int ring : {fineRing, middleRing, coarseRing}) {
        ringCell[ring] = cellOf(lastLaunchPosition, ringBlockSize[ring]);
    }

    vertexBufferPool.reserve(totalBlockCount);
    indexBufferPool.reserve(totalBlockCount);
    for (int n = 0; n < totalBlockCount; ++n) {
        GLuint vertexBuffer = 0;
        GLuint indexBuffer = 0;
        GL_CHECK(glGenBuffers(1, &vertexBuffer));
        GL_CHECK(glGenBuffers(1, &indexBuffer));
        vertexBufferPool.push_back(vertexBuffer);
        indexBufferPool.push_back(indexBuffer);
    }

    // Published to the Terrain thread by its launch below.
    initialBuildPending.store(true, std::memory_order_release);
    updatePending.store(false, std::memory_order_release);

    density = new DensityFunction();

    std::vector<std::string> files;
    for (const char* file : terrainTextureFiles) files.push_back(std::string(terrainTextureDirectory) + file);
    texture = createLayeredTexture(true, true, files);

    thread.launch();
}

Terrain::~Terrain() {
    shutdown();
    for (Block* block : allBlocks) {
        GL_CHECK(glDeleteBuffers(1, &block->vertexBuffer));
        GL_CHECK(glDeleteBuffers(1, &block->indexBuffer));
        delete block;
    }
    // Names an interrupted build never handed out.
    for (size_t n = allBlocks.size(); n < vertexBufferPool.size(); ++n) {
        GL_CHECK(glDeleteBuffers(1, &vertexBufferPool[n]));
        GL_CHECK(glDeleteBuffers(1, &indexBufferPool[n]));
    }
    if (texture != 0) GL_CHECK(glDeleteTextures(1, &texture));
    if (fineCoverageQuery != 0) GL_CHECK(glDeleteQueries(1, &fineCoverageQuery));
    delete density;
}

std::vector<Block*>& Terrain::ringBlocks(int ring) {
    switch (ring) {
        case coarseRing: return coarseBlocks;
        case middleRing: return middleBlocks;
        default: return fineBlocks;
    }
}

bool Terrain::stopping() const {
    // Acquire: pairs with shutdown's request.
    return stopRequested.load(std::memory_order_acquire);
}

void Terrain::run() {
    // Acquire: the flags were set by the main thread before it launched this run.
    if (initialBuildPending.load(std::memory_order_acquire)) {
        buildInitial();
    } else if (updatePending.load(std::memory_order_acquire)) {
        streamRings();
    }
}

void Terrain::buildInitial() {
    size_t n = 0;
    for (int ring : {coarseRing, middleRing, fineRing}) {
        const Cell c = ringCell[ring];
        const double s = ringBlockSize[ring];
        const int h = ringBlocksPerSide[ring] / 2;
        std::vector<Block*>& blocks = ringBlocks(ring);
        for (int x = c.x - h; x <= c.x + h; ++x) {
            for (int y = c.y - h; y <= c.y + h; ++y) {
                for (int z = c.z - h; z <= c.z + h; ++z) {
                    // Stopped mid-build: initialBuildPending stays set, so the main thread never
                    // touches the partial lists.
                    if (stopping()) return;
                    const CellBox box = cellBox(Cell{x, y, z}, s);
                    Block* block = new Block(density, vertexBufferPool[n], indexBufferPool[n], box.minX, box.maxX,
                                             box.minY, box.maxY, box.minZ, box.maxZ, ringDensityOffset[ring],
                                             ringResolution[ring]);
                    blocks.push_back(block);
                    allBlocks.push_back(block);
                    block->wait();
                    ++n;
                    block->cellX = x;
                    block->cellY = y;
                    block->cellZ = z;
                }
            }
        }
    }
    vertexBufferPool.clear();
    vertexBufferPool.shrink_to_fit();
    indexBufferPool.clear();
    indexBufferPool.shrink_to_fit();
    // Release: publishes the block lists, the blocks' cells and their waiting meshes to the main thread.
    initialBuildPending.store(false, std::memory_order_release);
}

void Terrain::streamRings() {
    streamingPassCount.fetch_add(1, std::memory_order_relaxed);  // a tally, publishes nothing
    bool moved = true;
    while (moved) {
        moved = false;
        for (int ring : {fineRing, middleRing, coarseRing}) {
            const Cell target = cellOf(position->load(), ringBlockSize[ring]);
            if (!stepCentreToward(ringCell[ring], target)) continue;
            if (!reassignRing(ring)) return;  // shutdown: the pass ends here
            moved = true;
            break;  // start again with the fine ring
        }
    }
    // Release: publishes the ring cells and the blocks' new cells and boxes; last step of the pass.
    updatePending.store(false, std::memory_order_release);
}

bool Terrain::reassignRing(int ring) {
    const Cell c = ringCell[ring];
    const int h = ringBlocksPerSide[ring] / 2;
    const double s = ringBlockSize[ring];
    for (Block* block : ringBlocks(ring)) {
        const Cell b{block->cellX, block->cellY, block->cellZ};
        if (insideWindow(b, c, h)) continue;
        if (stopping()) return false;
        const Cell n = reflectIntoWindow(b, c, h);
        // Acquire: the block's first build has finished, so its box may be rewritten.
        const bool firstBuildDone = !block->building.load(std::memory_order_acquire);
        // A rebuild may not overwrite a mesh the main thread has not uploaded yet.
        if (firstBuildDone && !waitForUpload(*block)) return false;
        block->cellX = n.x;
        block->cellY = n.y;
        block->cellZ = n.z;
        if (firstBuildDone) {
            block->vertexCount = 0;
            block->triangleCount = 0;
            const CellBox box = cellBox(n, s);
            block->minX = box.minX;
            block->maxX = box.maxX;
            block->minY = box.minY;
            block->maxY = box.maxY;
            block->minZ = box.minZ;
            block->maxZ = box.maxZ;
            block->launch();
            rebuiltBlockCount.fetch_add(1, std::memory_order_relaxed);  // a tally, publishes nothing
        }
        block->wait();
    }
    return true;
}

bool Terrain::waitForUpload(const Block& block) const {
    // Acquire: once clear, the main thread has finished reading the staging arrays and counts.
    while (block.needsUpload.load(std::memory_order_acquire)) {
        if (stopping()) return false;
        sf::sleep(sf::milliseconds(uploadWaitStepMilliseconds));
    }
    return true;
}

void Terrain::update(double dt) {
    if (position == nullptr) return;
    // Acquire: pairs with the initial build's release; the lists and blocks are complete.
    if (initialBuildPending.load(std::memory_order_acquire)) return;
    for (Block* block : allBlocks) block->update(dt);

    // Acquire: pairs with the pass's final release; its ring cells, block cells and boxes are published.
    if (updatePending.load(std::memory_order_acquire)) return;
    const Imath::V3d now = position->load();
    // A pass follows the position while it runs, so the camera may have come back to where the last
    // pass was launched after that pass last looked: a pass is due then too, or the rings would stay
    // around where the camera went until it moves again.
    const bool moved = (now - lastLaunchPosition).length() >= streamingMoveThreshold;
    if (!moved && ringsSurround(now)) return;
    if (stopping()) return;
    lastLaunchPosition = now;
    // Release: marks a pass as running before it starts; the pass clears it as its last step.
    updatePending.store(true, std::memory_order_release);
    thread.launch();
}

bool Terrain::ringsSurround(const Imath::V3d& point) const {
    for (int ring = 0; ring < ringCount; ++ring) {
        if (cellOf(point, ringBlockSize[ring]) != ringCell[ring]) return false;
    }
    return true;
}

void Terrain::draw(bool cullOutsideView) {
    if (position == nullptr) return;
    // Acquire: pairs with the initial build's release.
    if (initialBuildPending.load(std::memory_order_acquire)) return;
    GL_CHECK(glBindTexture(GL_TEXTURE_3D, texture));
    if (!cullOutsideView) {
        for (int ring : {fineRing, middleRing, coarseRing}) drawRing(ring, nullptr);
    } else {
        const ViewFrustum view = currentView();
        for (int ring : {fineRing, middleRing, coarseRing}) drawRing(ring, &view);
        applyLastBlockColour();
    }
    GL_CHECK(glBindTexture(GL_TEXTURE_3D, 0));
}

void Terrain::applyLastBlockColour() const {
    if (!coarseBlocks.empty()) coarseBlocks.back()->applyColour();
}

void Terrain::drawRing(int ring, const ViewFrustum* view) {
    if (view != nullptr && ring != fineRing && testHiddenBlocks) {
        occlusion[ring].testHidden(ringBlocks(ring), *view);
        occlusion[ring].drawVisible(ringBlocks(ring));
        return;
    }
    const bool measureCoverage = view != nullptr && ring == fineRing;
    if (measureCoverage) {
        if (fineCoverageQuery == 0) GL_CHECK(glGenQueries(1, &fineCoverageQuery));
        if (fineCoverageQueryPending) {
            GLuint passed = 0;
            GL_CHECK(glGetQueryObjectuiv(fineCoverageQuery, GL_QUERY_RESULT, &passed));
            testHiddenBlocks = hiddenBlockTestPays(passed);
        }
        GL_CHECK(glBeginQuery(GL_SAMPLES_PASSED, fineCoverageQuery));
    }
    // A block's mesh lies inside the box it was built in, which the block records when its mesh is
    // uploaded: a block being rebuilt elsewhere keeps drawing its previous mesh there.
    for (Block* block : ringBlocks(ring)) {
        if (view == nullptr || !view->outside(block->drawnBox)) block->draw();
    }
    if (measureCoverage) {
        GL_CHECK(glEndQuery(GL_SAMPLES_PASSED));
        fineCoverageQueryPending = true;
    }
}

bool Terrain::hiddenBlockTestPays(GLuint finePassedSamples) {
    GLint samples = 0;
    GL_CHECK(glGetIntegerv(GL_SAMPLES, &samples));
    // Without multisampling the rasteriser rejects a hidden fragment before shading it, so hidden
    // blocks cost little and the wait for the counts would cost more than leaving them out saves.
    if (samples <= 1) return false;
    GLint viewport[4] = {0, 0, 0, 0};
    GL_CHECK(glGetIntegerv(GL_VIEWPORT, viewport));
    const double viewSamples = static_cast<double>(viewport[2]) * viewport[3] * samples;
    // An empty viewport (a minimised window) has nothing to hide.
    return viewSamples > 0.0 && static_cast<double>(finePassedSamples) >= 0.5 * viewSamples;
}

ViewFrustum Terrain::currentView() {
    double projection[16];
    double modelView[16];
    GL_CHECK(glGetDoublev(GL_PROJECTION_MATRIX, projection));
    GL_CHECK(glGetDoublev(GL_MODELVIEW_MATRIX, modelView));
    return ViewFrustum(projection, modelView);
}

void Terrain::setWireframe(bool on) {
    if (position == nullptr) return;
    // Acquire: the build may still be appending to allBlocks while this flag is set.
    if (initialBuildPending.load(std::memory_order_acquire)) return;
    for (Block* block : allBlocks) block->wireframe = on;
}

Imath::V3d Terrain::clampToGround(const Imath::V3d& oldPosition, const Imath::V3d& newPosition) const {
    if (density == nullptr) return newPosition;
    return clampAboveGround(*density, oldPosition, newPosition);
}

void Terrain::shutdown() {
    // Release: asks the Terrain thread to stop at its next check.
    stopRequested.store(true, std::memory_order_release);
    thread.wait();
    // The Terrain thread has ended, so the lists are stable and no block is being relaunched.
    for (Block* block : allBlocks) block->wait();
}

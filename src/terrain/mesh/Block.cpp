#include "terrain/mesh/Block.hpp"

#include <iostream>

#include "common/GlCheck.hpp"
#include "terrain/mesh/DensityFunction.hpp"
#include "terrain/mesh/MarchingCubes.hpp"

namespace {
constexpr double blockGrey = 0.99;     // the vertex colour, which the texture modulates
constexpr int defaultResolution = 32;  // cells per edge when the caller gives none
constexpr GLsizei vertexStride = sizeof(MeshVertex);  // bytes
const void* const normalOffset = reinterpret_cast<const void*>(3 * sizeof(double));
const void* const textureOffset = reinterpret_cast<const void*>(6 * sizeof(double));
}  // namespace

Block::Block(const DensityFunction* density, GLuint vertexBuffer, GLuint indexBuffer, double minX,
             double maxX, double minY, double maxY, double minZ, double maxZ, double densityOffset,
             int resolution)
    : minX(minX),
      maxX(maxX),
      minY(minY),
      maxY(maxY),
      minZ(minZ),
      maxZ(maxZ),
      vertexBuffer(vertexBuffer),
      indexBuffer(indexBuffer),
      density(density),
      resolution(resolution > 0 ? resolution : defaultResolution),
      densityOffset(densityOffset),
      thread(&Block::run, this) {
    drawnBox = MeshBox{minX, maxX, minY, maxY, minZ, maxZ, this->resolution};
    configureTextureNoise(textureNoise);
    if (density == nullptr) {
        std::cout << "ERROR: Coulnd't initialize block with NULL density function!\n" << std::flush;
        return;
    }
    thread.launch();
}

Block::~Block() {
    thread.wait();
    // A mesh that was built but never uploaded is still ours.
    delete[] vertexData;
    delete[] indexData;
}

void Block::run() {
    // Without a field there is nothing to build; the Block stays as constructed.
    if (density == nullptr) return;
    const MeshBox box{minX, maxX, minY, maxY, minZ, maxZ, resolution};
    StagedMesh mesh = buildMesh(*density, textureNoise, box, densityOffset);
    vertexData = mesh.vertexData.release();
    indexData = mesh.indexData.release();
    vertexCount = mesh.vertexCount;
    triangleCount = mesh.triangleCount;
    // Release: publishes vertexData, indexData and both counts to the main thread's update.
    needsUpload.store(true, std::memory_order_release);
    // Release: publishes the finished first build to the owner.
    building.store(false, std::memory_order_release);
}

void Block::launch() { thread.launch(); }

void Block::wait() { thread.wait(); }

void Block::update(double timeStep) {
    if (alpha < 1.0) alpha += timeStep;
    // Acquire: the staging arrays and counts written by run are visible once this reads true.
    if (!needsUpload.load(std::memory_order_acquire)) return;

    if (vertexCount != 0 && triangleCount != 0) {
        const GLsizeiptr vertexBytes = static_cast<GLsizeiptr>(vertexCount) * sizeof(MeshVertex);
        const GLsizeiptr indexBytes = static_cast<GLsizeiptr>(triangleCount) * sizeof(MeshTriangle);
        GL_CHECK(glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer));
        GL_CHECK(glBufferData(GL_ARRAY_BUFFER, vertexBytes, nullptr, GL_STATIC_DRAW));
        GL_CHECK(glBufferData(GL_ARRAY_BUFFER, vertexBytes, vertexData, GL_STATIC_DRAW));
        GL_CHECK(glBindBuffer(GL_ARRAY_BUFFER, 0));
        GL_CHECK(glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer));
        GL_CHECK(glBufferData(GL_ELEMENT_ARRAY_BUFFER, indexBytes, nullptr, GL_STATIC_DRAW));
        GL_CHECK(glBufferData(GL_ELEMENT_ARRAY_BUFFER, indexBytes, indexData, GL_STATIC_DRAW));
        GL_CHECK(glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0));
        uploadedTriangleCount = triangleCount;
    } else {
        // An empty build clears whatever the Block showed before.
        GL_CHECK(glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer));
        GL_CHECK(glBufferData(GL_ARRAY_BUFFER, 0, nullptr, GL_STATIC_DRAW));
        GL_CHECK(glBindBuffer(GL_ARRAY_BUFFER, 0));
        GL_CHECK(glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer));
        GL_CHECK(glBufferData(GL_ELEMENT_ARRAY_BUFFER, 0, nullptr, GL_STATIC_DRAW));
        GL_CHECK(glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0));
        uploadedTriangleCount = 0;
    }

    drawnBox = MeshBox{minX, maxX, minY, maxY, minZ, maxZ, resolution};
    delete[] vertexData;
    delete[] indexData;
    vertexData = nullptr;
    indexData = nullptr;
    // Release: hands the staging fields back; the owner may rebuild once it reads false.
    needsUpload.store(false, std::memory_order_release);
}

void Block::draw() {
    if (wireframe) GL_CHECK(glPolygonMode(GL_FRONT_AND_BACK, GL_LINE));
    applyColour();
    GL_CHECK(glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer));
    GL_CHECK(glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer));
    GL_CHECK(glEnableClientState(GL_VERTEX_ARRAY));
    GL_CHECK(glEnableClientState(GL_NORMAL_ARRAY));
    GL_CHECK(glEnableClientState(GL_TEXTURE_COORD_ARRAY));
    GL_CHECK(glVertexPointer(3, GL_DOUBLE, vertexStride, nullptr));
    GL_CHECK(glNormalPointer(GL_DOUBLE, vertexStride, normalOffset));
    GL_CHECK(glTexCoordPointer(3, GL_DOUBLE, vertexStride, textureOffset));
    GL_CHECK(glDrawElements(GL_TRIANGLES, uploadedTriangleCount * 3, GL_UNSIGNED_SHORT, nullptr));
    GL_CHECK(glBindBuffer(GL_ARRAY_BUFFER, 0));
    GL_CHECK(glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0));
    GL_CHECK(glDisableClientState(GL_TEXTURE_COORD_ARRAY));
    GL_CHECK(glDisableClientState(GL_VERTEX_ARRAY));
    GL_CHECK(glDisableClientState(GL_NORMAL_ARRAY));
    if (wireframe) GL_CHECK(glPolygonMode(GL_FRONT_AND_BACK, GL_FILL));
}

void Block::applyColour() const { GL_CHECK(glColor4d(blockGrey, blockGrey, blockGrey, alpha)); }

#pragma once
// Leaves out the blocks of a ring that the terrain drawn before them already hides. While the
// terrain is drawn the depth test is GL_LESS with depth writes on, so every stored depth only ever
// comes nearer: a block none of whose samples passes against the depth the earlier rings left
// passes nowhere later either, writes nothing, and drawing it would change no sample. Which blocks
// pass is asked of the depth buffer itself with occlusion queries, in the current frame, so
// nothing is guessed: a block is left out only on a count of zero.
// Testing costs a draw without colour or depth writes, and reading the counts makes the frame's
// rasterisation catch up. So only blocks that added nothing to the previous frame are tested; the
// others are drawn at once, under a query that tells the next frame whether they still add anything.
// Main thread only, with the OpenGL context current.
#include <GL/glew.h>

#include <vector>

#include "terrain/field/ViewFrustum.hpp"

class Block;

class BlockOcclusion {
public:
    BlockOcclusion() = default;
    ~BlockOcclusion();  // releases the query names
    BlockOcclusion(const BlockOcclusion&) = delete;
    BlockOcclusion& operator=(const BlockOcclusion&) = delete;

    // The ring's blocks in view that added nothing to the last frame drawn this way are drawn
    // without writing anything, each under a query. Call after the earlier rings are drawn.
    void testHidden(const std::vector<Block*>& blocks, const ViewFrustum& view);
    // Draws, in list order, the blocks in view that testHidden did not find hidden. The blocks
    // and the view are those testHidden was given.
    void drawVisible(const std::vector<Block*>& blocks);

    int drawnBlocks = 0;   // blocks the last drawVisible drew
    int hiddenBlocks = 0;  // blocks in view it left out, found hidden

private:
    struct Entry {
        GLuint testQuery = 0;
        GLuint drawQuery = 0;
        bool inView = false;
        bool tested = false;            // drawn under testQuery in this frame
        bool drawQueryPending = false;  // drawn under drawQuery; the count is not read yet
        bool addedSamples = true;       // its last draw passed at least one sample
    };
    std::vector<Entry> entries;  // by position in the ring's list
};

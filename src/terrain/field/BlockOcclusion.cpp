#include "terrain/field/BlockOcclusion.hpp"

#include "common/GlCheck.hpp"
#include "terrain/mesh/Block.hpp"

BlockOcclusion::~BlockOcclusion() {
    for (Entry& entry : entries) {
        GL_CHECK(glDeleteQueries(1, &entry.testQuery));
        GL_CHECK(glDeleteQueries(1, &entry.drawQuery));
    }
}

void BlockOcclusion::testHidden(const std::vector<Block*>& blocks, const ViewFrustum& view) {
    while (entries.size() < blocks.size()) {
        Entry entry;
        GL_CHECK(glGenQueries(1, &entry.testQuery));
        GL_CHECK(glGenQueries(1, &entry.drawQuery));
        entries.push_back(entry);
    }
    // The counts of the last frame's draws: that frame has been presented, so they are ready.
    for (Entry& entry : entries) {
        if (!entry.drawQueryPending) continue;
        GLuint passed = 0;
        GL_CHECK(glGetQueryObjectuiv(entry.drawQuery, GL_QUERY_RESULT, &passed));
        entry.addedSamples = passed != 0;
        entry.drawQueryPending = false;
    }

    GLboolean colourMask[4] = {GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE};
    GLboolean depthMask = GL_TRUE;
    bool writesOff = false;
    for (size_t n = 0; n < blocks.size(); ++n) {
        Block& block = *blocks[n];
        Entry& entry = entries[n];
        // An empty mesh draws nothing; a box outside the view puts no sample on screen.
        entry.inView = block.uploadedTriangleCount > 0 && !view.outside(block.drawnBox);
        entry.tested = entry.inView && !entry.addedSamples;
        if (!entry.tested) continue;
        if (!writesOff) {
            // The same vertices, matrices and polygon mode as the real draw give the same samples
            // and depths; only the writes are off.
            GL_CHECK(glGetBooleanv(GL_COLOR_WRITEMASK, colourMask));
            GL_CHECK(glGetBooleanv(GL_DEPTH_WRITEMASK, &depthMask));
            GL_CHECK(glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE));
            GL_CHECK(glDepthMask(GL_FALSE));
            writesOff = true;
        }
        GL_CHECK(glBeginQuery(GL_SAMPLES_PASSED, entry.testQuery));
        block.draw();
        GL_CHECK(glEndQuery(GL_SAMPLES_PASSED));
    }
    if (writesOff) {
        GL_CHECK(glColorMask(colourMask[0], colourMask[1], colourMask[2], colourMask[3]));
        GL_CHECK(glDepthMask(depthMask));
    }
}

void BlockOcclusion::drawVisible(const std::vector<Block*>& blocks) {
    drawnBlocks = 0;
    hiddenBlocks = 0;
    for (size_t n = 0; n < blocks.size() && n < entries.size(); ++n) {
        Entry& entry = entries[n];
        if (!entry.inView) continue;
        if (entry.tested) {
            // The first count read waits for the frame so far to be rasterised; the rest are ready.
            GLuint passed = 0;
            GL_CHECK(glGetQueryObjectuiv(entry.testQuery, GL_QUERY_RESULT, &passed));
            if (passed == 0) {
                ++hiddenBlocks;
                continue;
            }
        }
        GL_CHECK(glBeginQuery(GL_SAMPLES_PASSED, entry.drawQuery));
        blocks[n]->draw();
        GL_CHECK(glEndQuery(GL_SAMPLES_PASSED));
        entry.drawQueryPending = true;
        ++drawnBlocks;
    }
}

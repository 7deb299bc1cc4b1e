#pragma once
// The point the terrain rings follow: written by the main thread after every World update and
// read by the Terrain thread during a streaming pass. One atomic per coordinate, so reads never
// race; a reader may see coordinates of two successive updates, which nothing depends on.
#include <Imath/ImathVec.h>

#include <atomic>

class AtomicPosition {
public:
    AtomicPosition() = default;
    explicit AtomicPosition(const Imath::V3d& initial) { store(initial); }

    // Main thread. Release: a reader that sees a coordinate sees every write made before it.
    void store(const Imath::V3d& value) {
        x.store(value.x, std::memory_order_release);
        y.store(value.y, std::memory_order_release);
        z.store(value.z, std::memory_order_release);
    }

    // Any thread; acquire pairs with the release of store.
    Imath::V3d load() const {
        return Imath::V3d(x.load(std::memory_order_acquire), y.load(std::memory_order_acquire),
                          z.load(std::memory_order_acquire));
    }

private:
    std::atomic<double> x{0.0};
    std::atomic<double> y{0.0};
    std::atomic<double> z{0.0};
};

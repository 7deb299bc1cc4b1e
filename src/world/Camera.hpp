#pragma once
// The free-flying eye: position, heading (yaw) and elevation (pitch) in degrees, the movement
// flags the keyboard sets, and the perspective parameters of the projection. Main thread only.
#include <Imath/ImathVec.h>

class Camera {
public:
    Camera();

    // Multiplies the look-at transform onto the current (model-view) matrix.
    void applyView() const;
    // Horizontal mouse offset in pixels; positive turns right (towards +z from +x).
    void addYaw(double pixels);
    // Vertical mouse offset in pixels; positive looks up. A step past the pitch limit is refused whole.
    void addPitch(double pixels);
    // Integrates the held movement over dt seconds and refreshes lookTarget when needed.
    void move(double dt);

    // Unit view direction for the current yaw and pitch.
    Imath::V3d viewDirection() const;

    bool moveForward = false;
    bool moveBackward = false;
    bool strafeLeft = false;
    bool strafeRight = false;
    bool viewChanged = false;                      // yaw or pitch changed since lookTarget was computed
    double speed = 1.0;                            // world units per second
    double sensitivity = static_cast<double>(0.15f);  // degrees per pixel of mouse motion
    Imath::V3d position{0.0, 0.0, 0.0};            // world units, y up
    double yaw = 0.0;                              // degrees; 0 looks along +x, 90 along +z
    double pitch = 0.0;                            // degrees; positive looks up
    double fieldOfView = 45.0;                     // vertical, degrees
    double aspect = 4.0 / 3.0;                     // width / height
    double nearPlane = 0.5;                        // world units
    double farPlane = 10000.0;                     // world units
    Imath::V3d lookTarget;                         // one unit ahead of the eye
};

// Degrees to radians with the program's value of pi (shared with the density function's mountain).
double degreesToRadians(double degrees);

// Largest pitch magnitude accepted by addPitch, degrees.
constexpr double maximumPitch = 89.8;

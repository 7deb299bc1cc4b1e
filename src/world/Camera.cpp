#include "world/Camera.hpp"

#include <GL/glew.h>
#include <GL/glu.h>

#include <cmath>

#include "common/GlCheck.hpp"

double degreesToRadians(double degrees) { return degrees * 3.141592653589 / 180.0; }

Camera::Camera() { lookTarget = position + viewDirection(); }

Imath::V3d Camera::viewDirection() const {
    const double yawRadians = degreesToRadians(yaw);
    const double pitchRadians = degreesToRadians(pitch);
    return Imath::V3d(std::cos(yawRadians) * std::cos(pitchRadians), std::sin(pitchRadians),
                      std::sin(yawRadians) * std::cos(pitchRadians));
}

void Camera::applyView() const {
    GL_CHECK(gluLookAt(position.x, position.y, position.z, lookTarget.x, lookTarget.y, lookTarget.z, 0.0,
                       1.0, 0.0));
}

void Camera::addYaw(double pixels) {
    const double step = sensitivity * pixels;
    const double turned = yaw + step;
    // The wrap restarts from the opposite limit plus the whole step.
    if (turned >= 180.0) {
        yaw = -180.0 + step;
    } else if (turned <= -180.0) {
        yaw = 180.0 + step;
    } else {
        yaw = turned;
    }
    viewChanged = true;
}

void Camera::addPitch(double pixels) {
    const double tilted = pitch + sensitivity * pixels;
    if (std::fabs(tilted) <= maximumPitch) pitch = tilted;
    viewChanged = true;
}

void Camera::move(double dt) {
    const double distance = speed * dt;
    bool moved = false;

    if (moveForward) {
        position += viewDirection() * distance;
        moved = true;
    } else if (moveBackward) {
        position -= viewDirection() * distance;
        moved = true;
    }

    if (strafeLeft || strafeRight) {
        // Strafing is horizontal: a quarter turn from the heading, height unchanged.
        const double heading = strafeLeft ? yaw - 90.0 : yaw + 90.0;
        const double radians = degreesToRadians(heading);
        position += Imath::V3d(std::cos(radians), 0.0, std::sin(radians)) * distance;
        yaw = strafeLeft ? heading + 90.0 : heading - 90.0;
        moved = true;
    }

    if (!moved && !viewChanged) return;
    lookTarget = position + viewDirection();
    viewChanged = false;
}

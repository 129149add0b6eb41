// The ball's contacts: walks the dispatcher's manifolds for the ball body after a step.
#include "core/contacts.h"

#include <algorithm>

#include <btBulletDynamicsCommon.h>

BallContact ballContact(const PhysicsWorld& world, const PhysicsBody& ball, const glm::vec3& velocityBeforeStep) {
    BallContact contact;
    if (!world.dispatcher || !ball.body) return contact;
    const btVector3 velocity(velocityBeforeStep.x, velocityBeforeStep.y, velocityBeforeStep.z);
    float hardest = -1.0f;
    const int manifolds = world.dispatcher->getNumManifolds();
    for (int m = 0; m < manifolds; ++m) {
        const btPersistentManifold* manifold = world.dispatcher->getManifoldByIndexInternal(m);
        const bool ballIsA = manifold->getBody0() == ball.body;
        if (!ballIsA && manifold->getBody1() != ball.body) continue;
        for (int p = 0; p < manifold->getNumContacts(); ++p) {
            const btManifoldPoint& point = manifold->getContactPoint(p);
            if (point.getDistance() > touchDistance) continue;
            // The normal points from body B towards body A.
            const btVector3 towardsBall = ballIsA ? point.m_normalWorldOnB : -point.m_normalWorldOnB;
            const float closing = std::max(0.0f, -static_cast<float>(velocity.dot(towardsBall)));
            contact.touching = true;
            if (closing > hardest) {
                hardest = closing;
                contact.closingSpeed = closing;
                contact.normal = glm::vec3(towardsBall.x(), towardsBall.y(), towardsBall.z());
            }
        }
    }
    return contact;
}

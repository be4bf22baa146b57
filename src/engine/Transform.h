// Transform builders that take angles in degrees, as the show's data and tracks hold
// them. glm takes radians; this is the one place where degrees become radians.
#pragma once

#include <glm/glm.hpp>
#include <glm/gtc/matrix_transform.hpp>

namespace Tarvo {

// Full vertical field of view in degrees.
inline glm::mat4 perspective(float fovyDegrees, float aspect, float zNear, float zFar)
{
    return glm::perspective(glm::radians(fovyDegrees), aspect, zNear, zFar);
}

inline glm::mat4 rotate(const glm::mat4& m, float angleDegrees, const glm::vec3& axis)
{
    return glm::rotate(m, glm::radians(angleDegrees), axis);
}

inline glm::mat4 translate(const glm::mat4& m, const glm::vec3& offset)
{
    return glm::translate(m, offset);
}

inline glm::mat4 scale(const glm::mat4& m, const glm::vec3& factors)
{
    return glm::scale(m, factors);
}

inline glm::mat4 lookAt(const glm::vec3& eye, const glm::vec3& center, const glm::vec3& up)
{
    return glm::lookAt(eye, center, up);
}

} // namespace Tarvo

// The engine's drawable mesh: the per-corner arrays read by one of the mesh readers, the
// matrices that place it, and the one shader program that every model draws with.
#pragma once

#include <string>
#include <vector>

#include <GL/glew.h>
#include <glm/glm.hpp>

#include "mesh/MeshFormat.h"

namespace Tarvo {

class Model {
public:
    // Reads the mesh with the reader the format selects: 0 OBJ, 1 PLY (header only),
    // 2 ".bobj", any other value OBJ. A mesh that fails to read leaves the arrays empty.
    Model(const std::string& meshPath, MeshFormat format);
    // Empty arrays, nothing read (models made of parts).
    Model();
    Model(const Model&) = delete;
    Model& operator=(const Model&) = delete;

    // Stores the program as the one every model draws with and makes it current.
    virtual void setShader(GLuint program);
    virtual void draw(double time) = 0;

    // The matrix stays the caller's: every draw reads it again.
    void setProjection(const glm::mat4* matrix) { projection = matrix; }
    void setView(const glm::mat4& matrix) { view = matrix; }
    void setModelMatrix(const glm::mat4& matrix) { model = matrix; }
    void setPreMatrix(const glm::mat4& matrix) { pre = matrix; }
    void setPostMatrix(const glm::mat4& matrix) { post = matrix; }

    const glm::mat4* getProjection() const { return projection; }
    glm::mat4 getView() const { return view; }
    glm::mat4 getModelMatrix() const { return model; }
    glm::mat4 getPreMatrix() const { return pre; }
    glm::mat4 getPostMatrix() const { return post; }
    static GLuint getCurrentProgram() { return currentProgram; }

    const std::vector<glm::vec3>& getPositions() const { return positions; }
    const std::vector<glm::vec2>& getTexCoords() const { return texCoords; }
    const std::vector<glm::vec3>& getNormals() const { return normals; }

    // projection x view x pre x model x post: the post matrix acts on a vertex first.
    // Without a projection the identity stands in for it.
    glm::mat4 computeMVP() const;

protected:
    // Owners destroy models through their concrete type.
    ~Model() = default;

    // True when a draw can go ahead: a projection has been set and some model has set
    // a program. Otherwise says so once per model and returns false.
    bool readyToDraw();

    std::vector<glm::vec3> positions;
    std::vector<glm::vec3> normals;
    std::vector<glm::vec2> texCoords;
    const glm::mat4* projection = nullptr;
    glm::mat4 view{1.0f};
    glm::mat4 pre{1.0f};
    glm::mat4 model{1.0f};
    glm::mat4 post{1.0f};

    static GLuint currentProgram;

private:
    bool warnedNotReady = false;
};

} // namespace Tarvo

// Base of every 3D scene: fixes the frame's pipeline (scene framebuffer -> compositing ->
// post-processing -> FXAA to the window) and leaves the drawing to the derived scene.
#pragma once

#include <GL/glew.h>

#include <string>
#include <vector>

#include "engine/Fbo.h"
#include "engine/FullScreenQuad.h"
#include "engine/ImageFx.h"
#include "engine/Scene.h"

namespace Tarvo {

class PostScene : public Scene {
public:
    // compositeShaderPath is the compositing fragment shader (it declares the samplers
    // "texture0" ... and may declare "time"); textureCount is the number of colour outputs
    // drawScene writes. The three framebuffers take the demo's window size.
    PostScene(std::string compositeShaderPath, unsigned textureCount);
    ~PostScene();
    PostScene(const PostScene&) = delete;
    PostScene& operator=(const PostScene&) = delete;

    // The frame pipeline. Leaves the stack empty, the window bound with the FXAA output in
    // it and the FXAA program in use.
    void render(const double& time) override;
    // Draws geometry into the scene framebuffer, which is bound and cleared on entry and
    // must be bound on return (nested targets of its own are released before returning).
    virtual void drawScene(const double& time) = 0;
    // Leaves the frame's picture in the composite framebuffer's texture 0; bound and
    // cleared on entry. The default draws the scene textures through the compositing
    // program; overrides may call it for their own chains.
    virtual void composite(const double& time);
    // Called at the start of every frame and again by the default composite, with the
    // compositing program in use.
    virtual void setUniforms(const double& time);
    // The black-and-white mix of this frame, 0 for full colour.
    virtual float getBwMix();
    // A spare per-scene value for derived scenes; nothing in the pipeline reads it.
    virtual float getAuxValue();

    Fbo* getSceneFbo() { return &sceneFbo; }
    GLuint getProgram() const { return program; }
    const Fbo& getCompositeFbo() const { return compositeFbo; }
    const Fbo& getPostFbo() const { return postFbo; }
    const ImageFx& getFxaa() const { return fxaa; }
    const ImageFx& getPostprocess() const { return postprocess; }

private:
    // The scene framebuffer keeps the sampler locations; they are looked up again when the
    // compositing program is rebuilt.
    void lookUpLocations();

    GLuint program = 0;
    FullScreenQuad quad;
    unsigned locationsGeneration = 0;
    Fbo sceneFbo;
    Fbo compositeFbo;
    Fbo postFbo;
    ImageFx fxaa;
    ImageFx postprocess;
};

} // namespace Tarvo

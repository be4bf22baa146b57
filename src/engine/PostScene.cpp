// The post-processing scene's pipeline. Targets are bound outermost first (postFbo before
// compositeFbo) because releasing an inner target re-binds and clears the one below it.
#include "engine/PostScene.h"

#include <cstdio>

#include "engine/ShaderProgram.h"
#include "engine/WindowSize.h"

namespace Tarvo {

PostScene::PostScene(std::string compositeShaderPath, unsigned textureCount)
    : sceneFbo(windowWidth(), windowHeight(), 1, textureCount, GL_RGBA16F),
      compositeFbo(windowWidth(), windowHeight(), 1, textureCount, GL_RGBA16F),
      postFbo(windowWidth(), windowHeight(), 1, textureCount, GL_RGBA16F),
      fxaa("./data/shaders/fxaa.fs"),
      postprocess("./data/shaders/postproc.fs")
{
    if (!windowSizeKnown())
        std::fprintf(stderr, "PostScene built without a demo instance: 1x1 framebuffers\n");

    program = loadShaderProgram("./data/shaders/trivial.vs", compositeShaderPath.c_str());
    lookUpLocations();
    for (unsigned i = 0; i < textureCount; ++i) {
        // A sampler the shader does not declare shows up here as 4294967295.
        std::printf("texID_[%u] = %u (texture%u)\n", i, static_cast<unsigned>(sceneFbo.getTexId(i)), i);
    }
    std::fflush(stdout);
}

void PostScene::lookUpLocations()
{
    locationsGeneration = programGeneration(program);
    for (unsigned i = 0; i < sceneFbo.getTextureCount(); ++i) {
        const std::string name = "texture" + std::to_string(i);
        sceneFbo.setTexId(i, uniformLocation(program, name.c_str()));
    }
}

PostScene::~PostScene()
{
    // The compositing program is this scene's own; the effects and framebuffers release
    // theirs as members, postprocess first and sceneFbo last.
    deleteShaderProgram(program);
}

void PostScene::render(const double& time)
{
    setUniforms(time);

    sceneFbo.bind();
    drawScene(time);
    sceneFbo.unbind();

    postFbo.bind();
    compositeFbo.bind();
    composite(time);
    compositeFbo.unbind();

    postprocess.setInput(compositeFbo.getTexture(0));
    postprocess.addFloat("bwmix", getBwMix());
    postprocess.addFloat("iGlobalTime", time);
    postprocess.render(time);
    postprocess.clearFloats();

    postFbo.unbind();

    fxaa.setInput(postFbo.getTexture(0));
    fxaa.render(time);
}

void PostScene::composite(const double& time)
{
    // A compositing program that did not link draws nothing; the loader has said why.
    if (!programLinked(program))
        return;
    if (locationsGeneration != programGeneration(program))
        lookUpLocations();
    glUseProgram(program);
    setUniforms(time);

    for (unsigned i = 0; i < sceneFbo.getTextureCount(); ++i) {
        glActiveTexture(GL_TEXTURE0 + i);
        glBindTexture(GL_TEXTURE_2D, sceneFbo.getTexture(i));
        glUniform1i(sceneFbo.getTexId(i), static_cast<GLint>(i));
    }
    glUniform1f(uniformLocation(program, "time"), static_cast<float>(time));

    quad.draw(attributeLocation(program, "trivial_vertices"));
}

void PostScene::setUniforms(const double&)
{
}

float PostScene::getBwMix()
{
    return 0.0f;
}

float PostScene::getAuxValue()
{
    return 0.0f;
}

} // namespace Tarvo

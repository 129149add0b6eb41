// The mountain sky box: cube geometry, the six faces in one cube map, its program, and drawing around the camera.
#include "gl/skybox.h"

#include <GL/glew.h>

#include <cstdio>

#include "gl/gl_util.h"

namespace {

constexpr const char* skyboxVertexPath = "Shaders/skybox.vert";
constexpr const char* skyboxFragmentPath = "Shaders/skybox.frag";
constexpr int faceChannels = 3;         // faces are decoded to RGB whatever the file holds
constexpr int validationLogSize = 1024; // bytes

// Builds the sky program; on failure prints why and leaves it empty, so the sky is skipped instead of ending the game.
bool buildSkyboxShader(Shader& shader) {
    try {
        shader.createFromFiles(skyboxVertexPath, skyboxFragmentPath);
        return true;
    } catch (FileNotFoundException* e) {
        std::printf("Shader file cannot be found: %s\n", e->getFileName());
        delete e;
    } catch (ShaderCompilationException* e) {
        std::printf("%s", e->what());
        delete e;
    }
    shader.clear();
    return false;
}

// Decodes one face and uploads it to its cube-map side; false (after the message) when the file is unusable.
bool uploadFace(const std::string& path, GLenum target, int& sideLength) {
    const Image face = decodeImage(path, faceChannels);
    if (face.empty() || !checkSkyFace(path, face, sideLength)) {
        return false;
    }
    glTexImage2D(target, 0, GL_RGB, face.width, face.height, 0, GL_RGB, GL_UNSIGNED_BYTE, face.pixels.data());
    return true;
}

} // namespace

void loadSkybox(Skybox& sky, const std::array<std::string, skyboxFaceCount>& facePaths) {
    if (!buildSkyboxShader(sky.shader)) {
        return;
    }
    sky.projectionLocation = sky.shader.projectionLocation;
    sky.viewLocation = sky.shader.viewLocation;

    glGenTextures(1, &sky.cubeMap);
    glBindTexture(GL_TEXTURE_CUBE_MAP, sky.cubeMap);
    // RGB rows of an odd width are not 4-byte aligned.
    GLint previousAlignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &previousAlignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    bool allFaces = true;
    int sideLength = 0;
    for (int i = 0; i < skyboxFaceCount && allFaces; ++i) {
        allFaces = uploadFace(facePaths[static_cast<std::size_t>(i)], GL_TEXTURE_CUBE_MAP_POSITIVE_X + i, sideLength);
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, previousAlignment);
    if (!allFaces) {
        // Without all faces there is no sky: no mesh, and an empty environment map reads black.
        glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
        glDeleteTextures(1, &sky.cubeMap);
        sky.cubeMap = 0;
        return;
    }
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_R, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glGenerateMipmap(GL_TEXTURE_CUBE_MAP);

    sky.cubeMesh.createMesh(skyboxCubeVertices.data(), skyboxCubeIndices.data(),
                            static_cast<uint32_t>(skyboxCubeVertices.size()),
                            static_cast<uint32_t>(skyboxCubeIndices.size()));
}

void drawSkybox(const Skybox& sky, const glm::mat4& view, const glm::mat4& projection) {
    if (!skyShown(sky)) {
        return;
    }
    // Drawn after the ground at the far plane itself, so it fills only what nothing covers; it writes no depth.
    glDepthMask(GL_FALSE);
    glDepthFunc(GL_LEQUAL);
    sky.shader.use();
    const glm::mat4 turnOnly = stripTranslation(view);
    uploadMatrix(sky.projectionLocation, projection);
    uploadMatrix(sky.viewLocation, turnOnly);
    // The cube sampler is never set, so it reads unit 0.
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_CUBE_MAP, sky.cubeMap);

    // Checked every draw: a sampler left on a unit of the wrong type by another pass shows up here.
    GLint valid = 0;
    glValidateProgram(sky.shader.programId);
    glGetProgramiv(sky.shader.programId, GL_VALIDATE_STATUS, &valid);
    if (valid == 0) {
        GLchar log[validationLogSize] = {};
        glGetProgramInfoLog(sky.shader.programId, validationLogSize, nullptr, log);
        std::printf("Error validating program: '%s'\n", log);
    }

    sky.cubeMesh.draw();
    glDepthFunc(GL_LESS);
    glDepthMask(GL_TRUE);
}

void releaseSkybox(Skybox& sky) {
    sky.cubeMesh.clear();
    sky.shader.clear();
    glDeleteTextures(1, &sky.cubeMap);
    sky.cubeMap = 0;
    sky.projectionLocation = sky.viewLocation = -1;
}

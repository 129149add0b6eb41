// The mountain sky box: cube geometry, the six faces in one cube map, its program, and drawing around the camera.
#include "gl/skybox.h"

#include <GL/glew.h>

#include <cstdio>

#include "gl/gl_util.h"

Skybox* skybox = nullptr;

namespace {

constexpr const char* skyboxVertexPath = "Shaders/skybox.vert";
constexpr const char* skyboxFragmentPath = "Shaders/skybox.frag";
constexpr int faceChannels = 3;         // faces are decoded to RGB whatever the file holds
constexpr int validationLogSize = 1024; // bytes

// Builds the sky program; on failure prints why and gives null, so the sky is skipped instead of ending the game.
Shader* buildSkyboxShader() {
    Shader* shader = new Shader();
    try {
        shader->createFromFiles(skyboxVertexPath, skyboxFragmentPath);
        return shader;
    } catch (FileNotFoundException* e) {
        std::printf("Shader file cannot be found: %s\n", e->getFileName());
        delete e;
    } catch (ShaderCompilationException* e) {
        std::printf("%s", e->what());
        delete e;
    }
    shader->clear();
    delete shader;
    return nullptr;
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

Skybox* loadSkybox(const std::array<std::string, skyboxFaceCount>& facePaths) {
    Skybox* result = new Skybox();
    result->shader = buildSkyboxShader();
    if (result->shader == nullptr) {
        return result;
    }
    result->projectionLocation = result->shader->projectionLocation;
    result->viewLocation = result->shader->viewLocation;

    glGenTextures(1, &result->cubeMap);
    glBindTexture(GL_TEXTURE_CUBE_MAP, result->cubeMap);
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
        glDeleteTextures(1, &result->cubeMap);
        result->cubeMap = 0;
        return result;
    }
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_R, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glGenerateMipmap(GL_TEXTURE_CUBE_MAP);

    result->cubeMesh = new Mesh();
    result->cubeMesh->createMesh(skyboxCubeVertices.data(), skyboxCubeIndices.data(),
                                 static_cast<uint32_t>(skyboxCubeVertices.size()),
                                 static_cast<uint32_t>(skyboxCubeIndices.size()));
    return result;
}

void setupSkybox() {
    skybox = loadSkybox(skyboxFacePaths);
}

void drawSkybox(const glm::mat4& view, const glm::mat4& projection) {
    if (skybox == nullptr || skybox->cubeMesh == nullptr) {
        return;
    }
    // Drawn after the ground at the far plane itself, so it fills only what nothing covers; it writes no depth.
    glDepthMask(GL_FALSE);
    glDepthFunc(GL_LEQUAL);
    skybox->shader->use();
    const glm::mat4 turnOnly = stripTranslation(view);
    uploadMatrix(skybox->projectionLocation, projection);
    uploadMatrix(skybox->viewLocation, turnOnly);
    // The cube sampler is never set, so it reads unit 0.
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_CUBE_MAP, skybox->cubeMap);

    // Checked every draw: a sampler left on a unit of the wrong type by another pass shows up here.
    GLint valid = 0;
    glValidateProgram(skybox->shader->programId);
    glGetProgramiv(skybox->shader->programId, GL_VALIDATE_STATUS, &valid);
    if (valid == 0) {
        GLchar log[validationLogSize] = {};
        glGetProgramInfoLog(skybox->shader->programId, validationLogSize, nullptr, log);
        std::printf("Error validating program: '%s'\n", log);
    }

    skybox->cubeMesh->draw();
    glDepthFunc(GL_LESS);
    glDepthMask(GL_TRUE);
}

void releaseSkybox() {
    if (skybox == nullptr) {
        return;
    }
    if (skybox->cubeMesh != nullptr) {
        skybox->cubeMesh->clear();
        delete skybox->cubeMesh;
    }
    if (skybox->shader != nullptr) {
        skybox->shader->clear();
        delete skybox->shader;
    }
    glDeleteTextures(1, &skybox->cubeMap);
    delete skybox;
    skybox = nullptr;
}

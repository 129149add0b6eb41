// The mountain sky box: cube geometry, the six faces in one cube map, its program, and drawing around the camera.
#include "render/skybox.h"

#include <GL/glew.h>
#include <glm/gtc/type_ptr.hpp>
#include <glm/mat3x3.hpp>
#include <stb_image.h>

#include <cstdio>

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
// sideLength is 0 before the first face and then holds its size, which every later face must match.
bool uploadFace(const std::string& path, GLenum target, int& sideLength) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        std::printf("Failed to find: %s\n", path.c_str());
        return false;
    }
    int width = 0, height = 0, channelsInFile = 0;
    unsigned char* pixels = stbi_load_from_file(file, &width, &height, &channelsInFile, faceChannels);
    std::fclose(file);
    if (pixels == nullptr) {
        std::printf("Failed to find: %s\n", path.c_str());
        return false;
    }
    // A cube map with faces of other shapes is incomplete: it would sample black and refuse its mipmaps.
    if (width != height || (sideLength != 0 && width != sideLength)) {
        std::printf("Sky box face %s is %d x %d; every face must be square and of one size\n", path.c_str(), width,
                    height);
        stbi_image_free(pixels);
        return false;
    }
    sideLength = width;
    glTexImage2D(target, 0, GL_RGB, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels);
    stbi_image_free(pixels);
    return true;
}

} // namespace

namespace {

constexpr float cubeCorners[8][3] = {
    {-1.0f, 1.0f, -1.0f}, {-1.0f, -1.0f, -1.0f}, {1.0f, 1.0f, -1.0f}, {1.0f, -1.0f, -1.0f},
    {-1.0f, 1.0f, 1.0f},  {1.0f, 1.0f, 1.0f},    {-1.0f, -1.0f, 1.0f}, {1.0f, -1.0f, 1.0f},
};

// Each corner in the position slot of a Vertex; texture coordinate, normal and tangents stay 0.
constexpr std::array<float, 8 * floatsPerVertex> makeCubeVertices() {
    std::array<float, 8 * floatsPerVertex> vertices{};
    for (std::size_t corner = 0; corner < 8; ++corner) {
        for (std::size_t axis = 0; axis < 3; ++axis) {
            vertices[corner * floatsPerVertex + axis] = cubeCorners[corner][axis];
        }
    }
    return vertices;
}

} // namespace

const std::array<float, 8 * 14> skyboxCubeVertices = makeCubeVertices();

const std::array<uint32_t, 36> skyboxCubeIndices = {
    0, 1, 2, 2, 1, 3, // z = -1
    2, 3, 5, 5, 3, 7, // x = +1
    5, 7, 4, 4, 7, 6, // z = +1
    4, 6, 0, 0, 6, 1, // x = -1
    4, 0, 5, 5, 0, 2, // y = +1
    1, 6, 3, 3, 6, 7, // y = -1
};

glm::mat4 stripTranslation(const glm::mat4& view) {
    // The rotation part alone; the fourth column and row become those of the identity.
    return glm::mat4(glm::mat3(view));
}

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
    const std::array<std::string, skyboxFaceCount> facePaths = {
        "Skybox/mountain-skyboxes/Maskonaive/posx.jpg", "Skybox/mountain-skyboxes/Maskonaive/negx.jpg",
        "Skybox/mountain-skyboxes/Maskonaive/posy.jpg", "Skybox/mountain-skyboxes/Maskonaive/negy.jpg",
        "Skybox/mountain-skyboxes/Maskonaive/posz.jpg", "Skybox/mountain-skyboxes/Maskonaive/negz.jpg",
    };
    skybox = loadSkybox(facePaths);
}

void drawSkybox(const glm::mat4& view, const glm::mat4& projection) {
    if (skybox == nullptr || skybox->cubeMesh == nullptr) {
        return;
    }
    // Drawn first and writing no depth, so everything drawn later covers it.
    glDepthMask(GL_FALSE);
    skybox->shader->use();
    const glm::mat4 turnOnly = stripTranslation(view);
    glUniformMatrix4fv(skybox->projectionLocation, 1, GL_FALSE, glm::value_ptr(projection));
    glUniformMatrix4fv(skybox->viewLocation, 1, GL_FALSE, glm::value_ptr(turnOnly));
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

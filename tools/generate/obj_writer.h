// Building triangle meshes in code and writing them as Wavefront OBJ files with their MTL material libraries.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <glm/vec2.hpp>
#include <glm/vec3.hpp>

// One corner of a triangle: position, texture coordinate with v pointing up the image (the file's convention)
// and the outward unit normal.
struct ObjVertex {
    glm::vec3 position{0.0f};
    glm::vec2 uv{0.0f};
    glm::vec3 normal{0.0f};
};

// A named part of a model with one material.
struct ObjPart {
    std::string name;
    std::string material;
    std::vector<ObjVertex> vertices;
    std::vector<uint32_t> indices; // three per triangle, into vertices

    uint32_t add(const ObjVertex& vertex);
    // Stored counter-clockwise as seen from the side the corners' normals point to, whatever order they come in.
    void triangle(uint32_t a, uint32_t b, uint32_t c);
    // Two triangles a-b-c and a-c-d.
    void quad(uint32_t a, uint32_t b, uint32_t c, uint32_t d);
};

// The textures of one material, as bare file names that the game looks for in Textures/. Empty means none.
struct ObjMaterial {
    std::string name;
    glm::vec3 diffuse{0.8f};
    glm::vec3 specular{0.5f};
    float shininess = 32.0f;
    std::string diffuseMap;  // map_Kd
    std::string specularMap; // map_Ks
    std::string normalMap;   // norm: the importer reads it as a normal map (bump would be a height map)
};

// The OBJ text of parts that share one material library; vertices are numbered across the whole file.
std::string objText(const std::string& mtlFileName, const std::vector<ObjPart>& parts);
std::string mtlText(const std::vector<ObjMaterial>& materials);

// Writes text to path; false, with the path and the reason in error, when that fails.
bool writeTextFile(const std::string& path, const std::string& text, std::string& error);

// Wavefront OBJ and MTL text for the generator's models.
#include "tools/generate/obj_writer.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <utility>

#include <glm/geometric.hpp>

namespace {

// Six decimals keep a 0.5-unit ball round to a millionth; "-0" is written as "0" so reruns compare cleanly.
void appendNumbers(std::string& out, const char* prefix, const float* values, int count) {
    out += prefix;
    char buffer[32];
    for (int i = 0; i < count; ++i) {
        float v = values[i];
        if (std::fabs(v) < 5e-7f) {
            v = 0.0f;
        }
        std::snprintf(buffer, sizeof buffer, " %.6f", static_cast<double>(v));
        out += buffer;
    }
    out += '\n';
}

void appendColour(std::string& out, const char* key, const glm::vec3& colour) {
    const float values[3] = {colour.x, colour.y, colour.z};
    appendNumbers(out, key, values, 3);
}

} // namespace

uint32_t ObjPart::add(const ObjVertex& vertex) {
    vertices.push_back(vertex);
    return static_cast<uint32_t>(vertices.size() - 1);
}

void ObjPart::triangle(uint32_t a, uint32_t b, uint32_t c) {
    // Back faces are culled: turn the corners counter-clockwise as seen from where the normals point.
    const glm::vec3 pa = vertices[a].position, pb = vertices[b].position, pc = vertices[c].position;
    const glm::vec3 facing = glm::cross(pb - pa, pc - pa);
    const glm::vec3 outward = vertices[a].normal + vertices[b].normal + vertices[c].normal;
    if (glm::dot(facing, outward) < 0.0f) {
        std::swap(b, c);
    }
    indices.insert(indices.end(), {a, b, c});
}

void ObjPart::quad(uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
    triangle(a, b, c);
    triangle(a, c, d);
}

std::string objText(const std::string& mtlFileName, const std::vector<ObjPart>& parts) {
    std::string out = "# Kelvara Golf model, made by kelvara-generate\n";
    out += "mtllib " + mtlFileName + "\n";
    // OBJ numbers vertices from 1 across the whole file; position, uv and normal share one numbering here.
    std::size_t base = 1;
    for (const ObjPart& part : parts) {
        out += "o " + part.name + "\n";
        for (const ObjVertex& v : part.vertices) {
            appendNumbers(out, "v", &v.position.x, 3);
        }
        for (const ObjVertex& v : part.vertices) {
            appendNumbers(out, "vt", &v.uv.x, 2);
        }
        for (const ObjVertex& v : part.vertices) {
            appendNumbers(out, "vn", &v.normal.x, 3);
        }
        out += "usemtl " + part.material + "\n";
        out += "s 1\n";
        for (std::size_t i = 0; i + 2 < part.indices.size(); i += 3) {
            out += "f";
            for (std::size_t k = 0; k < 3; ++k) {
                const std::size_t n = base + part.indices[i + k];
                out += " " + std::to_string(n) + "/" + std::to_string(n) + "/" + std::to_string(n);
            }
            out += '\n';
        }
        base += part.vertices.size();
    }
    return out;
}

std::string mtlText(const std::vector<ObjMaterial>& materials) {
    std::string out = "# Kelvara Golf materials, made by kelvara-generate\n";
    for (const ObjMaterial& m : materials) {
        out += "\nnewmtl " + m.name + "\n";
        appendColour(out, "Ka", glm::vec3(0.0f));
        appendColour(out, "Kd", m.diffuse);
        appendColour(out, "Ks", m.specular);
        appendNumbers(out, "Ns", &m.shininess, 1);
        out += "d 1.000000\nillum 2\n";
        if (!m.diffuseMap.empty()) {
            out += "map_Kd " + m.diffuseMap + "\n";
        }
        if (!m.specularMap.empty()) {
            out += "map_Ks " + m.specularMap + "\n";
        }
        if (!m.normalMap.empty()) {
            out += "norm " + m.normalMap + "\n";
        }
    }
    return out;
}

bool writeTextFile(const std::string& path, const std::string& text, std::string& error) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        error = "cannot open " + path + " for writing: " + std::strerror(errno);
        return false;
    }
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        error = "cannot write " + path;
        std::remove(path.c_str());
        return false;
    }
    return true;
}

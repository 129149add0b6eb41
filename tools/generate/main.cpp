// kelvara-generate: makes the game's images and sounds from code into a data folder, and checks and previews what it made.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "tools/generate/generators.h"
#include "core/image_io.h"

namespace {

// Where the preview target writes its PNG files.
constexpr const char* previewFolder = "/tmp";

struct Target {
    const char* name;
    const char* help;
    bool byDefault; // part of a run that names no target
    std::function<bool(const std::string&)> run;
};

const std::vector<Target>& targets() {
    static const std::vector<Target> list = {
        {"ui", "the HUD sprites in UserInterface/", true, generateHudImages},
        {"font", "the menu's lettering UserInterface/font.png", true, generateFontAtlas},
        {"heightmap", "the course heightmap Textures/heightmap.png", true, generateHeightmap},
        {"courses", "the generated courses in Courses/<id>/ and every course's preview.png", true, generateCourses},
        {"textures", "the grass maps Textures/gras*.png and the spark Textures/particle.jpg", true,
         generateSurfaceTextures},
        {"skybox", "the six sky box faces in Skybox/mountain-skyboxes/Maskonaive/", true, generateSkybox},
        {"models", "the five models in Models/ and their textures in Textures/", true, generateModels},
        {"icon", "the application icon in Icons/, 16 to 256 pixels", true, generateIcon},
        {"sounds", "the sound effects in Sounds/", true, generateSounds},
        {"check", "print the ground below every checkpoint of the written heightmap", false, checkHeightmap},
        {"preview", "write a shaded course map and a HUD mock-up to /tmp", false,
         [](const std::string& dataDir) { return writePreviews(dataDir, previewFolder); }},
        {"skypreview", "write a panorama of the written sky box faces to /tmp", false,
         [](const std::string& dataDir) { return writeSkyPreview(dataDir, previewFolder); }},
    };
    return list;
}

void printUsage(std::FILE* out) {
    std::fprintf(out, "usage: kelvara-generate <dataDir> [what...]\n"
                      "Makes the game's data files under dataDir. what is one or more of:\n");
    for (const Target& t : targets()) {
        std::fprintf(out, "  %-10s %s%s\n", t.name, t.help, t.byDefault ? "" : " (only when named)");
    }
    std::fprintf(out, "With no what, makes everything that is not marked 'only when named'.\n");
}

const Target* findTarget(const char* name) {
    for (const Target& t : targets()) {
        if (std::strcmp(t.name, name) == 0) {
            return &t;
        }
    }
    return nullptr;
}

} // namespace

bool saveDataPng(const std::string& dataDir, const std::string& relativePath, const Image8& image) {
    std::filesystem::path path = std::filesystem::path(dataDir) / relativePath;
    std::string error;
    if (!ensureDirectory(path.parent_path().string(), error) || !writePng8(path.string(), image, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return false;
    }
    std::printf("wrote %s (%dx%d, %d channels)\n", path.string().c_str(), image.width, image.height,
                image.channels);
    return true;
}

bool saveDataJpeg(const std::string& dataDir, const std::string& relativePath, const Image8& image, int quality) {
    std::filesystem::path path = std::filesystem::path(dataDir) / relativePath;
    std::string error;
    if (!ensureDirectory(path.parent_path().string(), error) || !writeJpeg(path.string(), image, quality, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return false;
    }
    std::printf("wrote %s (%dx%d, %d channels)\n", path.string().c_str(), image.width, image.height,
                image.channels);
    return true;
}

int main(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        printUsage(argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    std::string dataDir = argv[1];
    std::error_code code;
    if (!std::filesystem::is_directory(dataDir, code)) {
        std::fprintf(stderr, "kelvara-generate: data folder '%s' does not exist\n", dataDir.c_str());
        printUsage(stderr);
        return 2;
    }
    std::vector<const Target*> chosen;
    for (int i = 2; i < argc; ++i) {
        const Target* t = findTarget(argv[i]);
        if (t == nullptr) {
            std::fprintf(stderr, "kelvara-generate: unknown target '%s'\n", argv[i]);
            printUsage(stderr);
            return 2;
        }
        chosen.push_back(t);
    }
    if (chosen.empty()) {
        for (const Target& t : targets()) {
            if (t.byDefault) {
                chosen.push_back(&t);
            }
        }
    }
    bool ok = true;
    for (const Target* t : chosen) {
        if (!t->run(dataDir)) {
            std::fprintf(stderr, "kelvara-generate: %s failed\n", t->name);
            ok = false;
        }
    }
    return ok ? 0 : 1;
}

// The generator's targets. Each writes its files under the data folder (or reads them back), prints what it did
// on standard output and its failures on standard error, and returns false when anything failed.
#pragma once

#include <string>

// UserInterface/: the HUD sprites.
bool generateHudImages(const std::string& dataDir);
// UserInterface/font.png: the menu's lettering, as core/text_layout.h lays it out.
bool generateFontAtlas(const std::string& dataDir);
// Textures/heightmap.png: the course.
bool generateHeightmap(const std::string& dataDir);
// Courses/<id>/ for every generated course: heightmap.png, course.ini, grass.png and preview.png; and the valley's
// preview.png.
bool generateCourses(const std::string& dataDir);
// Decodes the heightmap written under dataDir; false (and the reason on standard error) when it cannot.
struct HeightGrid;
bool readWrittenHeightmap(const std::string& dataDir, HeightGrid& grid);
// Prints, for every checkpoint of every course, the ground of its written heightmap below it.
bool checkHeightmap(const std::string& dataDir);
// Textures/gras*.png and Textures/particle.jpg: the course surface maps and the spark sprite.
bool generateSurfaceTextures(const std::string& dataDir);
// Skybox/mountain-skyboxes/Maskonaive/: the six sky box faces.
bool generateSkybox(const std::string& dataDir);
// A panorama of the written sky box faces, resampled through the cube-map lookup, as a PNG file in outDir.
bool writeSkyPreview(const std::string& dataDir, const std::string& outDir);
// Models/: the ball, the two flags, the flag stick and the checkpoint marker, with their textures in Textures/.
bool generateModels(const std::string& dataDir);
// Icons/kelvara-golf-<size>.png: the application icon in the sizes a desktop looks for, 16 to 256 pixels.
bool generateIcon(const std::string& dataDir);
// Sounds/: every sound effect, synthesised and written as mono FLAC.
bool generateSounds(const std::string& dataDir);
// Shaded top-down view of the course and a HUD mock-up of the written sprites, as PNG files in outDir.
bool writePreviews(const std::string& dataDir, const std::string& outDir);

// Helpers the targets share: write one image below dataDir, creating the folder; report on failure.
struct Image8;
bool saveDataPng(const std::string& dataDir, const std::string& relativePath, const Image8& image);
bool saveDataJpeg(const std::string& dataDir, const std::string& relativePath, const Image8& image, int quality);

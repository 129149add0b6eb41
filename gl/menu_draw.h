// The pause menu on the GPU: its program, the font atlas and every course's picture (loaded with the catalogue,
// never in the frame loop), and the pass that draws a laid-out menu over the frame.
#pragma once

#include <string>
#include <vector>

#include "gl/shader.h"
#include "gl/texture.h"

struct CourseEntry;
struct Image;
struct MenuLayout;
struct Renderer;

// Owned by the renderer; its GL objects move, never copy.
struct MenuGpu {
    Shader program;               // hud.vert with menu.frag: a tinted texture or a plain colour
    Texture font;                 // UserInterface/font.png
    std::vector<Texture> pictures; // one per catalogue entry, by index; empty (id 0) for a course without one
    int tintLocation = -1;
    int solidLocation = -1;
    int rectLocation = -1;
    int flipLocation = -1;
};

// Builds the menu's program and loads the font, with the context current and the data folder the working folder.
// False after printing why (a missing or broken shader file); a missing font prints its line and draws as blocks.
bool startMenuGpu(MenuGpu& menu);
// Uploads every course's picture (CourseEntry::previewFile), replacing any loaded before; a picture that cannot be
// read prints its line and is drawn as a plain square.
void loadMenuPictures(MenuGpu& menu, const std::vector<CourseEntry>& courses);
// Uploads the picture of a course that joined the catalogue at its end (an empty image: a plain square), so the
// pictures stay one per entry.
void addMenuPicture(MenuGpu& menu, const Image& picture);
void releaseMenuGpu(MenuGpu& menu);

// Draws layout over the bound framebuffer of the given size, blended, in the quads' order. Leaves blending off, the
// blend function (GL_ONE, GL_ZERO), no program in use and unit 0 active.
void renderMenu(const Renderer& renderer, const MenuLayout& layout, int framebufferWidth, int framebufferHeight);
// The same over a window cleared to the menu's dark blue, for frames drawn before there is a race to show.
void renderMenuAlone(const Renderer& renderer, const MenuLayout& layout, int framebufferWidth, int framebufferHeight);

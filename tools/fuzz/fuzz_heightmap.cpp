// A course's heightmap is any picture the course file names: the bytes go through loadCourseGrid, which decodes
// them with decodeHeightmap and presses the goal hollow, as loadTerrain does for every race.
#include <cstddef>
#include <cstdint>
#include <new>

#include "core/shader_file.h"
#include "core/terrain.h"
#include "tools/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    // The shipped heightmap is 340 KiB; decoding cost follows the declared size, which the reader caps at 4096 on a
    // side, and past 1 MiB an input only makes each run slower.
    if (size > (1u << 20)) return 0;
    // decodeHeightmap takes a path, so the bytes go to a file of this process's own first.
    const std::string path = fuzz::writeFile("heightmap.png", data, size);
    try {
        const HeightGrid grid = loadCourseGrid(path.c_str(), 3.5f, -2.0f);
        fuzz::expect(grid.width >= 2 && grid.height >= 2 && grid.width <= 4096 && grid.height <= 4096,
                     "a map with a cell and no larger than a course");
        fuzz::expect(grid.samples.size() == std::size_t(grid.width) * std::size_t(grid.height),
                     "one height per pixel");
        for (int16_t s : grid.samples) fuzz::expect(s >= -32767, "heights stop at -32767");
    } catch (FileNotFoundException* e) {
        // As loadTerrain: the message names the file, and the exception is the catcher's to delete.
        fuzz::expect(e->getFileName() != nullptr && std::string(e->what()).size() > 0, "a refusal that says why");
        delete e;
    }
    return 0;
}

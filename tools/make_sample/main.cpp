// make_sample <folder> [--copier-header] [--interleaved]: writes the sample game.
#include "tools/sample_game/sample_game.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    const char* folder = nullptr;
    vexa::SampleFileOptions options;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--copier-header") == 0) {
            options.copierHeader = true;
        } else if (std::strcmp(argv[i], "--interleaved") == 0) {
            options.interleaved = true;
        } else if (argv[i][0] != '-' && !folder) {
            folder = argv[i];
        } else {
            folder = nullptr;
            break;
        }
    }
    if (!folder) {
        std::fprintf(stderr, "usage: make_sample <folder> [--copier-header] [--interleaved]\n");
        return 2;
    }
    const vexa::SampleGame game = vexa::buildSampleGame();
    if (!vexa::writeSampleGame(game, folder, options)) {
        std::fprintf(stderr, "make_sample: cannot write the sample into %s\n", folder);
        return 1;
    }
    std::printf("make_sample: wrote %s/%s with rominfo.ini, sprites.ini and %zu chip bitmaps\n", folder,
                vexa::kSampleRomFileName, game.chipBitmaps.size());
    return 0;
}

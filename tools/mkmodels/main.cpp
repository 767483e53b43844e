// mkmodels DIRECTORY: writes the sample models and their texture.
#include <cstdio>

#include "chunkfile/register_all.h"
#include "tools/mkmodels/sample_models.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: mkmodels DIRECTORY\n");
        return 2;
    }
    RegisterAllChunkClasses();
    const std::string directory = argv[1];
    for (auto write : {WriteCrateTexture, WriteBoxModel, WriteFlagModel, WriteRobotModel, WriteEmplacementModel,
                       WriteLiftModel, WriteLevelModel}) {
        if (!write(directory)) {
            std::fprintf(stderr, "mkmodels: cannot write into %s\n", argv[1]);
            return 1;
        }
    }
    return 0;
}

// kiv-fcpc SOURCE.txt OUT.FCP: compiles a device profile description into a
// profile file the program reads.
#include <cstdio>
#include <string>

#include "profile_source.h"
#include "support/file_replace.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: kiv-fcpc SOURCE.txt OUT.FCP\n");
        return 2;
    }
    std::string text;
    if (const int err = kiv::ReadWholeFile(argv[1], text); err != 0) {
        std::fprintf(stderr, "kiv-fcpc: cannot read %s (%d)\n", argv[1], err);
        return 1;
    }
    kiv::TProfileSource source;
    std::string error;
    if (!kiv::CompileProfileSource(text, source, error)) {
        std::fprintf(stderr, "%s: %s\n", argv[1], error.c_str());
        return 1;
    }
    kiv::TFCProfileRdWr writer;
    const int err = writer.WriteProfile(argv[2], source.params, source.items.data(),
                                        static_cast<int>(source.items.size()), source.groups);
    if (err != 0) {
        std::fprintf(stderr, "kiv-fcpc: cannot write %s: %s\n", argv[2], kiv::FileErrorMessage(err).c_str());
        return 1;
    }
    return 0;
}

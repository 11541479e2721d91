// Stands in for a program the windows start (the practice's stock control
// program on Windows, where the tests cannot start a shell script; the mail
// program): writes the arguments it was given, one a line, to the file
// $ZEL_RECORD_ARGS (through a temporary name, so a reader never sees half of it).
#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    const char* out = std::getenv("ZEL_RECORD_ARGS");
    if (!out)
        return 2;
    const std::string part = std::string(out) + ".part";
    std::FILE* f = std::fopen(part.c_str(), "wb");
    if (!f)
        return 1;
    for (int i = 1; i < argc; ++i)
        std::fprintf(f, "%s\n", argv[i]);
    std::fclose(f);
    std::remove(out);
    return std::rename(part.c_str(), out) == 0 ? 0 : 1;
}

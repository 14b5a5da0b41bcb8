#include "test_support.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

ConsoleRun runOnConsole(const std::string& input,
                        const std::function<bool(std::FILE* in, std::FILE* out)>& op)
{
    ConsoleRun run;
    std::FILE* in = std::tmpfile();
    std::fwrite(input.data(), 1, input.size(), in);
    std::rewind(in);
    char* buffer = nullptr;
    std::size_t length = 0;
    std::FILE* out = open_memstream(&buffer, &length);
    run.result = op(in, out);
    std::fclose(out);
    run.output.assign(buffer, length);
    std::free(buffer);
    for (int c; (c = std::getc(in)) != EOF;) run.unread.push_back(static_cast<char>(c));
    std::fclose(in);
    return run;
}

std::string readWholeFile(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

ScratchDir::ScratchDir()
{
    char name[] = "/tmp/geartest-XXXXXX";
    dir_ = mkdtemp(name);
}

ScratchDir::~ScratchDir()
{
    const std::string command = "rm -rf '" + dir_ + "'";
    if (std::system(command.c_str()) != 0) std::perror("rm");
}

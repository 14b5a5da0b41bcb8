#include "test_support.h"

#include <cstdlib>
#include <unistd.h>
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

std::string withStandardConsole(const std::string& input, const std::function<void()>& action)
{
    char inName[] = "/tmp/console-in-XXXXXX", outName[] = "/tmp/console-out-XXXXXX";
    const int in = mkstemp(inName), out = mkstemp(outName);
    EXPECT_EQ(write(in, input.data(), input.size()), ssize_t(input.size()));
    lseek(in, 0, SEEK_SET);
    std::fflush(stdout);
    const int savedIn = dup(0), savedOut = dup(1);
    dup2(in, 0);
    dup2(out, 1);
    std::clearerr(stdin);
    action();
    std::fflush(stdout);
    dup2(savedIn, 0);
    dup2(savedOut, 1);
    std::clearerr(stdin);
    close(savedIn);
    close(savedOut);
    std::string printed(size_t(lseek(out, 0, SEEK_END)), '\0');
    EXPECT_EQ(pread(out, printed.data(), printed.size(), 0), ssize_t(printed.size()));
    close(in);
    close(out);
    unlink(inName);
    unlink(outName);
    return printed;
}

void InScratchDir::SetUp()
{
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    home_ = cwd;
    ASSERT_EQ(chdir(scratch_.dir().c_str()), 0);
}

void InScratchDir::TearDown() { ASSERT_EQ(chdir(home_.c_str()), 0); }

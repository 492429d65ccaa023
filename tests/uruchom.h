// Runs the built calculator on given input bytes, with the stand-in clear first on PATH.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

// The two screens as the stand-in clear shows them.
inline const std::string start = "<clear>\n- - - - - - - - - - - - - - - - - - - - - -\n"
                                 "      Program obliczajacy zapis RPN\n"
                                 "   Podaj notacje oddzielajac dane spacja\n"
                                 "- - - - - - - - - - - - - - - - - - - - - -\n\n";
inline const std::string farewell = "<clear>\n\n- - - - - - - - - - - - - - - - - - - - - -\n"
                                    "  Dziekuje za skorzystanie z moich uslug\n"
                                    "- - - - - - - - - - - - - - - - - - - - - -";

struct Outcome {
    std::string out;
    int status; // exit status, or 128 + signal
    std::string err;
};

// The status a test expects from a wait status: the exit status, or 128 + the signal.
inline int exit_status(int raw)
{
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
}

// A new folder of this test's own, so that tests can run in parallel and beside another
// build's; "" when none could be made.
inline std::string temp_dir()
{
    const char *tmp = std::getenv("TMPDIR");
    std::string path = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/rpn-test-XXXXXX";
    return mkdtemp(path.data()) != nullptr ? path : "";
}

// Moves `fd` to `target` in a child about to exec. The tests may run with standard input
// closed, and then pipe() hands out 0 itself.
inline void move_fd(int fd, int target)
{
    if (fd != target) {
        dup2(fd, target);
        close(fd);
    }
}

inline std::string slurp(const std::string &path)
{
    std::stringstream got;
    got << std::ifstream(path, std::ios::binary).rdbuf();
    return got.str();
}

// `env` holds settings for the calculator's environment, as in "NAME=value NAME=value".
// RPN_WRAPPER, when set, runs the calculator under another program, such as valgrind.
inline Outcome run(const std::string &input, const std::string &args = "", const std::string &env = "")
{
    const std::string dir = temp_dir();
    if (dir.empty())
        return {"no temp folder", -1, ""};
    const std::string in = dir + "/in", out = dir + "/out", err = dir + "/err";
    std::ofstream(in, std::ios::binary) << input;
    const char *wrapper = std::getenv("RPN_WRAPPER");
    const std::string cmd = "PATH='" TESTS_DIR "':\"$PATH\" timeout 300 env " + env + " " + (wrapper ? wrapper : "") +
                            " '" RPN "' " + args + " <" + in + " >" + out + " 2>" + err;
    const int raw = std::system(cmd.c_str());
    Outcome r{slurp(out), exit_status(raw), slurp(err)};
    std::filesystem::remove_all(dir);
    return r;
}

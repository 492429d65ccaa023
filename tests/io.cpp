// The calculator as one end of a pipe, and when its input or output fails.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "uruchom.h"

namespace {

struct Step {
    std::string send;   // a line sent while the input stays open
    std::string answer; // what must come back before anything more is sent
};

// Reads from `fd` until `want` bytes came or `seconds` passed without them.
std::string receive(int fd, std::size_t want, int seconds)
{
    std::string got;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (got.size() < want) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
        pollfd p{fd, POLLIN, 0};
        if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0)
            break;
        char buf[4096];
        const ssize_t n = read(fd, buf, sizeof buf);
        if (n <= 0)
            break;
        got.append(buf, static_cast<std::size_t>(n));
    }
    return got;
}

// A program driving the calculator line by line: every answer arrives while the input is
// still open, and so does the start screen before anything is sent.
TEST(Pipe, EachAnswerArrivesBeforeTheNextLine)
{
    const Step steps[] = {
        {"", start},
        {"2 3 +\n", "Wynik rownania: 5\n\n"},
        {"+\n", "Blad: Za malo liczb na stosie!\n\n"},
        {"7 ?\n", "Zawartosc stosu: 7 5 \n\n"},
        {"8 0 /\n", "Blad: Nie mozna dzielic przez zero!\n\n"},
        {"# # * s w\n", "Wynik rownania: 35\n\nZawartosc zapisanego stosu: 35 \n\n"},
        {"99999999999\n", "Blad: Liczba poza zakresem!\n\n"},
    };
    int to[2], from[2];
    ASSERT_EQ(pipe(to), 0);
    ASSERT_EQ(pipe(from), 0);
    const pid_t pid = fork();
    if (pid == 0) {
        move_fd(to[0], 0);
        move_fd(from[1], 1);
        close(to[1]);
        close(from[0]);
        setenv("PATH", (std::string(TESTS_DIR ":") + std::getenv("PATH")).c_str(), 1);
        execl(RPN, RPN, static_cast<char *>(nullptr));
        _exit(127);
    }
    close(to[0]);
    close(from[1]);
    const auto old = signal(SIGPIPE, SIG_IGN); // a calculator that died shows in its status
    for (const Step &s : steps) {
        SCOPED_TRACE("after sending " + testing::PrintToString(s.send));
        ASSERT_EQ(write(to[1], s.send.data(), s.send.size()), static_cast<ssize_t>(s.send.size()));
        EXPECT_EQ(receive(from[0], s.answer.size(), 10), s.answer);
    }
    close(to[1]);
    EXPECT_EQ(receive(from[0], farewell.size() + 1, 10), farewell);
    int raw = 0;
    waitpid(pid, &raw, 0);
    close(from[0]);
    signal(SIGPIPE, old);
    EXPECT_EQ(exit_status(raw), 0);
}

struct Failure {
    const char *name;
    std::string input;
    std::string shell; // runs the calculator as $RPN, with the input in the file "in"
    std::string out;   // what reaches the file "out", where the case writes there
    std::string err;
    int status;
};

std::string screens_only(const std::string &between)
{
    const std::string cleared = "<clear>";
    return start.substr(cleared.size()) + between + farewell.substr(cleared.size());
}

std::string ones(int n)
{
    std::string s;
    for (int i = 0; i < n; ++i)
        s += "1 ";
    return s;
}

const std::string listing = "Zawartosc stosu: " + ones(1000) + "\n\n";

const Failure failures[] = {
    {"FullDevice", "2 3 + q", "$RPN <in >/dev/full 2>err", "", "rpn: blad zapisu: No space left on device\n", 1},
    {"FullDeviceAtEndOfInput", "2 3 +", "$RPN <in >/dev/full 2>err", "", "rpn: blad zapisu: No space left on device\n",
     1},
    // The first kilobyte is written, everything after it fails.
    {"WriteFailingMidRun", ones(1000) + "? q", "trap '' XFSZ; ulimit -f 1; $RPN <in >out 2>err",
     screens_only(listing).substr(0, 1024), "rpn: blad zapisu: File too large\n", 1},
    {"DirectoryAsInput", "", "$RPN <. >out 2>err", screens_only(""), "rpn: blad odczytu: Is a directory\n", 1},
    {"ClosedInput", "", "$RPN <&- >out 2>err", screens_only(""), "rpn: blad odczytu: Bad file descriptor\n", 1},
    // A reader that goes away ends the calculator by SIGPIPE, as it ends other tools.
    {"ReaderGoneEarly", ones(100000) + "?", "$RPN <in 2>err | head -c 1 >out; exit ${PIPESTATUS[0]}", "\n", "",
     128 + SIGPIPE},
};

void PrintTo(const Failure &c, std::ostream *os)
{
    *os << c.shell;
}

class Failing : public testing::TestWithParam<Failure> {};

// The clear here writes nothing: its own complaints about a failing output are not the
// calculator's.
TEST_P(Failing, ReportsOnStandardErrorAndEndsWithStatus1)
{
    const Failure &c = GetParam();
    signal(SIGPIPE, SIG_DFL); // as a shell starts it, whatever the test runner set
    const std::string d = temp_dir();
    ASSERT_NE(d, "");
    std::filesystem::create_symlink("/bin/true", d + "/clear");
    std::ofstream(d + "/in", std::ios::binary) << c.input;
    std::ofstream(d + "/run.sh") << c.shell;
    const std::string cmd = "cd '" + d + "' && PATH=\"$PWD:$PATH\" RPN='" RPN "' timeout 60 bash run.sh";
    const int status = exit_status(std::system(cmd.c_str()));
    const std::string out = slurp(d + "/out"), err = slurp(d + "/err");
    std::filesystem::remove_all(d);
    EXPECT_EQ(status, c.status);
    EXPECT_EQ(err, c.err);
    EXPECT_EQ(out, c.out);
}

INSTANTIATE_TEST_SUITE_P(Table, Failing, testing::ValuesIn(failures),
                         [](const testing::TestParamInfo<Failure> &info) { return info.param.name; });

} // namespace

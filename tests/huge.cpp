// Inputs far larger than a person types, made on the fly and fed through a pipe.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <string>

#include "uruchom.h"

namespace {

struct Fed {
    int status;       // exit status, or 128 + signal
    long maxrss_kb;   // the calculator's peak resident memory
    std::string tail; // the last bytes it wrote
};

// Runs the calculator, writing to its standard input whatever `next` gives until it gives "".
Fed feed(const std::function<std::string()> &next, std::size_t tail_size = 4096)
{
    const std::string dir = temp_dir();
    if (dir.empty())
        return {-1, 0, "no temp folder"};
    const std::string out = dir + "/out", peak = dir + "/peak";
    int pipe_fds[2];
    if (pipe(pipe_fds) != 0)
        return {-1, 0, "pipe failed"};
    const pid_t pid = fork();
    if (pid == 0) {
        move_fd(pipe_fds[0], 0);
        close(pipe_fds[1]);
        const int fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        move_fd(fd, 1);
        setenv("PATH", (std::string(TESTS_DIR ":") + std::getenv("PATH")).c_str(), 1);
        // AddressSanitizer, where built in, would otherwise hold on to freed nodes.
        setenv("ASAN_OPTIONS", "quarantine_size_mb=1", 1);
        execl(PEAK, PEAK, peak.c_str(), RPN, static_cast<char *>(nullptr));
        _exit(127);
    }
    close(pipe_fds[0]);
    signal(SIGPIPE, SIG_IGN); // a calculator that died early shows in its status
    for (std::string chunk = next(); !chunk.empty(); chunk = next()) {
        for (std::size_t done = 0; done < chunk.size();) {
            const ssize_t n = write(pipe_fds[1], chunk.data() + done, chunk.size() - done);
            if (n <= 0)
                break;
            done += static_cast<std::size_t>(n);
        }
    }
    close(pipe_fds[1]);
    int raw = 0;
    waitpid(pid, &raw, 0);
    long peak_kb = -1;
    std::ifstream(peak) >> peak_kb;
    std::ifstream in(out, std::ios::binary);
    const auto size = static_cast<std::size_t>(std::filesystem::file_size(out));
    in.seekg(static_cast<std::streamoff>(size > tail_size ? size - tail_size : 0));
    std::stringstream tail;
    tail << in.rdbuf();
    std::filesystem::remove_all(dir);
    return {exit_status(raw), peak_kb, tail.str()};
}

std::function<std::string()> once(std::string text)
{
    return [text, done = false]() mutable {
        if (done)
            return std::string();
        done = true;
        return text;
    };
}

// Peak memory may exceed an idle run's by this much plus this much per stored number,
// but never in proportion to the input.
constexpr long slack_kb = 4096;
constexpr long per_number_bytes = 256;

long idle_kb()
{
    return feed(once("q")).maxrss_kb;
}

TEST(Huge, TenMillionDigitsAreReadWholeInLittleMemory)
{
    const std::string digits(1 << 20, '7');
    int chunks = 0;
    const Fed fed = feed([&]() -> std::string {
        ++chunks;
        if (chunks == 1)
            return "1 ";
        if (chunks <= 11)
            return digits; // 10 chunks of a mebibyte, one run
        if (chunks == 12)
            return " ?";
        return "";
    });
    EXPECT_EQ(fed.status, 0);
    EXPECT_EQ(fed.tail.substr(fed.tail.size() - farewell.size() - 50),
              "Blad: Liczba poza zakresem!\n\nZawartosc stosu: 1 \n\n" + farewell)
        << "tail: " << fed.tail;
    const long idle = idle_kb();
    std::printf("peak %ld KB for ten million digits; idle run %ld KB\n", fed.maxrss_kb, idle);
    EXPECT_LE(fed.maxrss_kb, idle + slack_kb);
}

// About 100 MB of numbers, commands, noise bytes and long lines, some without a newline.
// Each piece leaves the working stack as it found it, but "9 s #" saves one more 9.
TEST(Huge, HundredMegabytesOfMixedInputInBoundedMemory)
{
    const std::string pieces[] = {
        "12 34 + 5 * -6 / 7 ^ + # ",
        "1 2 $ - & * # ",
        "0 / 5 0 / # # # ",
        "? ",
        "-2147483648 -1 / # ",
        "-" + std::string(1000, '3') + " ",
        "\n",
        "\n\n\n",
    };
    std::string noise;
    for (int b = 0; b < 256; ++b)
        if (std::string("0123456789+-*/^#$&?sqw").find(static_cast<char>(b)) == std::string::npos)
            noise += static_cast<char>(b);
    std::minstd_rand random(2026);
    std::size_t written = 0, saved = 0;
    bool ended = false;
    const std::size_t total = 100u << 20;
    const Fed fed = feed(
        [&]() -> std::string {
            if (written >= total) {
                if (ended)
                    return "";
                ended = true;
                return "w ?"; // and no newline at the very end
            }
            std::string chunk;
            while (chunk.size() < (1u << 16)) {
                const unsigned r = random() % 1000;
                if (r < 10) {
                    chunk += "9 s # ";
                    ++saved;
                } else if (r < 100) {
                    for (int i = 0; i < 100; ++i)
                        chunk += noise[random() % noise.size()];
                } else if (r < 101) {
                    chunk += std::string(1 << 15, ' ') + "3 4 + # "; // a long line
                } else {
                    chunk += pieces[random() % std::size(pieces)];
                }
            }
            written += chunk.size();
            return chunk;
        },
        1 << 20);
    std::string listing = "Zawartosc zapisanego stosu: ";
    for (std::size_t i = 0; i < saved; ++i)
        listing += "9 ";
    const std::string end = listing + "\n\nBlad: Stos jest pusty!\n\n" + farewell;
    EXPECT_EQ(fed.status, 0);
    ASSERT_GT(saved, 1000u);
    ASSERT_GT(fed.tail.size(), end.size());
    EXPECT_EQ(fed.tail.substr(fed.tail.size() - end.size()), end);
    const long idle = idle_kb();
    std::printf("peak %ld KB for %zu MB of input and %zu saved numbers; idle run %ld KB\n", fed.maxrss_kb,
                written >> 20, saved, idle);
    EXPECT_LE(fed.maxrss_kb, idle + slack_kb + static_cast<long>(saved) * per_number_bytes / 1024);
}

} // namespace

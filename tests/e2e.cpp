// The built calculator, run on given input bytes with a stand-in clear that writes "<clear>".
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

const std::string start = "<clear>\n- - - - - - - - - - - - - - - - - - - - - -\n"
                          "      Program obliczajacy zapis RPN\n"
                          "   Podaj notacje oddzielajac dane spacja\n"
                          "- - - - - - - - - - - - - - - - - - - - - -\n\n";
const std::string farewell = "<clear>\n\n- - - - - - - - - - - - - - - - - - - - - -\n"
                             "  Dziekuje za skorzystanie z moich uslug\n"
                             "- - - - - - - - - - - - - - - - - - - - - -";

struct Outcome {
    std::string out;
    int status;
};

Outcome run(const std::string &input, const std::string &args = "")
{
    char dir[] = "/tmp/rpn-e2e-XXXXXX";
    if (mkdtemp(dir) == nullptr)
        return {"mkdtemp failed", -1};
    const std::string in = std::string(dir) + "/in", out = std::string(dir) + "/out";
    std::ofstream(in, std::ios::binary) << input;
    const std::string cmd = "PATH='" TESTS_DIR "':\"$PATH\" timeout 60 '" RPN "' " + args + " <" + in + " >" + out;
    const int raw = std::system(cmd.c_str());
    std::stringstream got;
    got << std::ifstream(out, std::ios::binary).rdbuf();
    std::system(("rm -rf " + std::string(dir)).c_str());
    return {got.str(), WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw)};
}

struct Case {
    const char *name;
    std::string input;
    std::string body; // what the session writes between the two screens
    int status;
};

const std::string too_many_digits(100000, '9');
const std::string range = "Blad: Liczba poza zakresem!\n\n";

const Case cases[] = {
    // input loop
    {"NoInputAtAll", "", "", 0},
    {"NumberAloneReportsNothing", "7\n", "", 0},
    {"SignedAndZeroPaddedNumbersEndAtEof", "5 -3 -0 007 ", "", 0},
    {"QuitsOnQ", "q 99999999999 ", "", 0},
    {"QAfterDigitsIsDroppedNotQuit", "5q 99999999999 ", range, 0},
    {"UpperCaseQDoesNotQuit", "Q 99999999999 ", range, 0},
    {"ByteFFIsIgnoredNotEndOfInput", "\xff 99999999999 ", range, 0},
    {"NoiseIsIgnored", " \t\r.,abcQSW!@%()[]{}<>|\\\"'`~_=;: \n\n", "", 0},
    // numbers and their range
    {"LargestFits", "2147483647 ", "", 0},
    {"LargestPlusOneDoesNot", "2147483648 ", range, 0},
    {"SmallestFits", "-2147483648 ", "", 0},
    {"SmallestMinusOneDoesNot", "-2147483649 ", range, 0},
    {"LeadingZerosDoNotCount", std::string(40, '0') + "42 " + std::string(40, '0') + "2147483648 ", range, 0},
    {"HundredThousandDigits", too_many_digits + " " + "-" + too_many_digits + "\n", range + range, 0},
};

class E2e : public testing::TestWithParam<Case> {};

TEST_P(E2e, WritesExactlyThis)
{
    const Case &c = GetParam();
    const Outcome r = run(c.input);
    EXPECT_EQ(r.out, start + c.body + farewell);
    EXPECT_EQ(r.status, c.status);
}

INSTANTIATE_TEST_SUITE_P(Table, E2e, testing::ValuesIn(cases),
                         [](const testing::TestParamInfo<Case> &info) { return info.param.name; });

TEST(E2eFrame, ArgumentsAreIgnored)
{
    const Outcome r = run("99999999999 q", "-h --version plik");
    EXPECT_EQ(r.out, start + range + farewell);
    EXPECT_EQ(r.status, 0);
}

} // namespace

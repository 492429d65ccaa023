// The built calculator, run on given input bytes with a stand-in clear that writes "<clear>".
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <ostream>
#include <string>

#include "uruchom.h"

namespace {

struct Case {
    const char *name;
    std::string input;
    std::string body; // what the session writes between the two screens
    int status;
};

const std::string too_many_digits(100000, '9');
const std::string range = "Blad: Liczba poza zakresem!\n\n";
const std::string few = "Blad: Za malo liczb na stosie!\n\n";
const std::string empty = "Blad: Stos jest pusty!\n\n";
const std::string many = "Blad: Za duzo liczb na stosie! Nie wiem ktora wybrac\n\n";
const std::string nothing_saved = "Blad: Stos do zapisywania jest pusty!\n\n";
const std::string zero = "Blad: Nie mozna dzielic przez zero!\n\n";

std::string result(const std::string &value)
{
    return "Wynik rownania: " + value + "\n\n";
}

std::string stack(const std::string &values)
{
    return "Zawartosc stosu: " + values + "\n\n";
}

std::string saved(const std::string &values)
{
    return "Zawartosc zapisanego stosu: " + values + "\n\n";
}

const Case cases[] = {
    // input loop
    {"NoInputAtAll", "", "", 0},
    {"NumberAloneReportsNothing", "7\n", "", 0},
    {"SignedAndZeroPaddedNumbersEndAtEof", "5 -3 -0 007 ", "", 0},
    {"QuitsOnQ", "q 99999999999 ", "", 0},
    {"QAfterDigitsIsDroppedNotQuit", "5q 99999999999 ", range, 0},
    {"UpperCaseQDoesNotQuit", "Q 99999999999 ", range, 0},
    {"ByteFFIsIgnoredNotEndOfInput", "\xff 99999999999 ", range, 0},
    // numbers and their range
    {"LargestFits", "2147483647 ?", stack("2147483647 "), 0},
    {"LargestPlusOneDoesNot", "2147483648 ", range, 0},
    {"SmallestFits", "-2147483648 ?", stack("-2147483648 "), 0},
    {"SmallestMinusOneDoesNot", "-2147483649 ", range, 0},
    // the digits of an edge value, then more: the reader must not stop counting at the edge
    {"LargestAndMoreDigitsDoesNot", "1 21474836470 ?", range + stack("1 "), 0},
    {"NegatedLargestAndMoreDigitsDoesNot", "1 -21474836470 ?", range + stack("1 "), 0},
    {"SmallestDigitsAndMoreDoNot", "1 21474836480 ?", range + stack("1 "), 0},
    {"SmallestAndMoreDigitsDoesNot", "1 -21474836480 ?", range + stack("1 "), 0},
    {"LeadingZerosDoNotCount", std::string(40, '0') + "42 " + std::string(40, '0') + "2147483648 ?",
     range + stack("42 "), 0},
    {"HundredThousandDigits", "1 " + too_many_digits + " -" + too_many_digits + "\n?", range + range + stack("1 "), 0},
    // arithmetic and the result report
    {"Adds", "2 3 +\n", result("5"), 0},
    {"ReportsOnlyWhenOneNumberIsLeft", "1 2 3 +\n+\n", result("6"), 0},
    {"ReportsAfterEachCommand", "2 3 + 4 *\n", result("5") + result("20"), 0},
    {"StackCarriesOverLines", "2 3 +\n4 +\n", result("5") + result("9"), 0},
    {"OperatorRightAfterDigitsIsLost", "3 12+\n+\n", result("15"), 0},
    {"NegativeNumberThenAdd", "5 -3 +\n", result("2"), 0},
    {"MinusBeforeNewlineSubtracts", "5 3 -\n", result("2"), 0},
    {"MinusAtEndOfInputSubtracts", "5 3 -", result("2"), 0},
    {"LookaheadAfterMinusIsDropped", "5 3 -q 99999999999 ", result("2") + range, 0},
    {"DoubleMinusSubtractsThenPushes", "--5 +\n", few + few, 0},
    {"MinusBeforeDigitIsAlwaysASign", "5 3 -5 +\n+\n", result("3"), 0},
    {"PlusBeforeDigitAddsThenPushes", "3 4 +5 +\n", result("7") + result("12"), 0},
    {"Subtracts", "10 4 -", result("6"), 0},
    {"SubtractsBelowZero", "4 10 -", result("-6"), 0},
    {"Divides", "12 4 /", result("3"), 0},
    {"TruncatesPositive", "7 2 /", result("3"), 0},
    {"TruncatesNegativeDividend", "-7 2 /", result("-3"), 0},
    {"TruncatesNegativeDivisor", "7 -2 /", result("-3"), 0},
    {"TruncatesBothNegative", "-7 -2 /", result("3"), 0},
    {"DivisionByZeroPutsBothBack", "5 0 / / +", zero + zero + result("5"), 0},
    {"ZeroByZero", "0 0 / +", zero + result("0"), 0},
    {"TooFewOnEmptyStack", "+ - * / ^", few + few + few + few + few, 0},
    {"OneIsTooFewToAdd", "3 +", few, 0},
    {"OneIsTooFewToSubtract", "3 -\n", few, 0},
    {"OneIsTooFewToMultiply", "3 *", few, 0},
    {"OneIsTooFewToDivide", "3 /", few, 0},
    {"LoneZeroIsTooFewToDivide", "0 /", few, 0},
    {"SquareNegative", "-3 ^", result("9"), 0},
    {"SquareReportsAlone", "4 ^\n", result("16"), 0},
    {"NoReportWhileTwoRemain", "1 2 3 *\n+", result("7"), 0},
    {"LargestPlusOneWraps", "2147483647 1 +", result("-2147483648"), 0},
    {"SmallestMinusOneWraps", "-2147483648 1 -", result("2147483647"), 0},
    {"PositiveByMinusOneChangesSign", "6 -1 /", result("-6"), 0},
    {"NegativeByMinusOneChangesSign", "-6 -1 /", result("6"), 0},
    {"SmallestByMinusOneWraps", "-2147483648 -1 /", result("-2147483648"), 0},
    {"SmallestTimesMinusOneWraps", "-2147483648 -1 *", result("-2147483648"), 0},
    {"SquareOf65536Wraps", "65536 ^", result("0"), 0},
    {"ProductOf65536Wraps", "65536 65536 *", result("0"), 0},
    {"SquareJustOverWraps", "46341 ^", result("-2147479015"), 0},
    // numbers as they land on the stack
    {"ListsTopFirst", "1 2 3 ?", stack("3 2 1 "), 0},
    {"SignedZeroPaddedAndExtremeNumbers", "5 -3 -0 007 -2147483648 2147483647 ?",
     stack("2147483647 -2147483648 7 0 -3 5 "), 0},
    {"NoiseBetweenNumbersChangesNothing", "1 \t\r.,abcQSW!@%()[]{}<>|\\\"'`~_=;:\xff\x80 2 ?", stack("2 1 "), 0},
    {"RefusedNumberLeavesStackAsItWas", "1 2147483648 -2147483649 ?", range + range + stack("1 "), 0},
    {"OperatorAfterDigitsLeavesBothNumbers", "1 12+ ?", stack("12 1 "), 0},
    // stack handling
    {"CommandsOnEmptyStack", "# & ? $",
     empty + "Blad: Nie mozna wykonac duplikacji, stos jest pusty!\n\n" + empty + few, 0},
    {"SwapNeedsTwo", "7 $ ?", few + stack("7 "), 0},
    {"Swaps", "1 2 $ ?", stack("1 2 "), 0},
    {"SwapsOnlyTheTopTwo", "1 2 3 $ ?", stack("2 3 1 "), 0},
    {"Duplicates", "5 & ?", stack("5 5 "), 0},
    {"Drops", "9 # ?", empty, 0},
    {"DropsOnlyTheTop", "1 2 # ?", stack("1 "), 0},
    {"NoReportAfterStackCommands", "4 & # 3 $ # 5 #", "", 0},
    {"ReportStillFollowsArithmetic", "4 & +", result("8"), 0},
    // the saved stack
    {"NothingSavedYet", "w", nothing_saved, 0},
    {"SavesAndKeeps", "2 3 + s w ?", result("5") + saved("5 ") + stack("5 "), 0},
    {"SavesNewestFirst", "2 3 + s w 4 * s w", result("5") + saved("5 ") + result("20") + saved("20 5 "), 0},
    {"SaveRefusesTwo", "1 2 s w", many + nothing_saved, 0},
    {"SaveRefusesEmpty", "s w", empty + nothing_saved, 0},
    {"SavesTwiceInARow", "7 s s w ?", saved("7 7 ") + stack("7 "), 0},
    {"SavedStackSurvivesDrops", "7 s # w ?", saved("7 ") + empty, 0},
};

void PrintTo(const Case &c, std::ostream *os)
{
    *os << testing::PrintToString(c.input.size() > 200 ? c.input.substr(0, 200) + "..." : c.input);
}

class E2e : public testing::TestWithParam<Case> {};

TEST_P(E2e, WritesExactlyThis)
{
    const Case &c = GetParam();
    // The fuzzer starts from these inputs.
    if (const char *seeds = std::getenv("RPN_SEED_DIR"))
        std::ofstream(std::string(seeds) + "/" + c.name, std::ios::binary) << c.input;
    const Outcome r = run(c.input);
    EXPECT_EQ(r.out, start + c.body + farewell);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.err, "");
}

INSTANTIATE_TEST_SUITE_P(Table, E2e, testing::ValuesIn(cases),
                         [](const testing::TestParamInfo<Case> &info) { return info.param.name; });

TEST(E2eFrame, ArgumentsAreIgnored)
{
    const Outcome r = run("99999999999 q", "-h --version plik");
    EXPECT_EQ(r.out, start + range + farewell);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
}

} // namespace

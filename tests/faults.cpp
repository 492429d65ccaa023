// Memory running out at every allocation of a session that uses every command.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "funkcje.h"
#include "uruchom.h"

namespace {

static_assert(sizeof(node) == NODE_SIZE, "the preloaded malloc must know a node's size");

// Every "&" here finds a number to copy and every "s" finds exactly one to save, so each
// number, "&" and "s" asks for exactly one node.
const char *const session = "2 3 + 4 * 5 - 6 / s & ^ $ - 7 # 0 / w ? # & + 3 $ / s w "
                            "# -9 & * s 1 2 3 ? # # # s 5";
// Refused without a node, it marks where the final listings begin.
const std::string marker = "99999999999";
const std::string no_memory = "Blad: Brak pamieci!\n\n";

std::vector<std::string> tokens(const std::string &text)
{
    std::istringstream in(text);
    std::vector<std::string> out;
    for (std::string t; in >> t;)
        out.push_back(t);
    return out;
}

bool stores(const std::string &token)
{
    return token == "&" || token == "s" || std::isdigit(static_cast<unsigned char>(token.back()));
}

// The session with the storing tokens for which `keep(i)` is false left out (i counts
// them from 1), then the listings.
std::string input(const std::function<bool(std::size_t)> &keep)
{
    std::string text;
    std::size_t stored = 0;
    for (const std::string &t : tokens(session))
        if (!stores(t) || keep(++stored))
            text += t + " ";
    return text + marker + " ? w";
}

std::string listings(const std::string &out)
{
    const std::string after = "Blad: Liczba poza zakresem!\n\n";
    const std::size_t at = out.rfind(after);
    return at == std::string::npos ? "no marker in: " + out : out.substr(at + after.size());
}

std::size_t occurrences(const std::string &text, const std::string &what)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

struct Counts {
    unsigned long calls = 0, node_calls = 0, node_refused = 0, first_refused_node = 0;
};

Counts counted(const std::string &log)
{
    Counts c;
    std::ifstream(log) >> c.calls >> c.node_calls >> c.node_refused >> c.first_refused_node;
    return c;
}

// Runs the whole session under the preloaded malloc; `mode` tells it which calls to refuse.
class Faults : public testing::Test {
protected:
    void SetUp() override
    {
        dir = temp_dir();
        ASSERT_NE(dir, "");
        for (const std::string &t : tokens(session))
            storing += stores(t);
        full = input([](std::size_t) { return true; });
        const Outcome clean = faulty("");
        all = counted(log());
        ASSERT_EQ(clean.status, 0);
        ASSERT_EQ(all.node_calls, storing) << "a storing token of the session did not ask for a node";
        ASSERT_EQ(all.node_refused, 0u);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    std::string log() const { return dir + "/failmalloc.log"; }
    Outcome faulty(const std::string &mode) const
    {
        return run(full, "",
                   "LD_PRELOAD='" FAILMALLOC "' ASAN_OPTIONS=verify_asan_link_order=0 FAIL_MALLOC_LOG='" + log() +
                       "' " + mode);
    }

    std::string dir, full;
    std::size_t storing = 0;
    Counts all;
};

TEST_F(Faults, EveryAllocationFailingFromThereOnLosesNothingStored)
{
    for (unsigned long n = 1; n <= all.calls; ++n) {
        SCOPED_TRACE("malloc fails from call " + std::to_string(n) + " of " + std::to_string(all.calls));
        const Outcome failed = faulty("FAIL_MALLOC_FROM=" + std::to_string(n));
        const Counts c = counted(log());
        ASSERT_EQ(failed.status, 0) << failed.out;
        EXPECT_EQ(occurrences(failed.out, no_memory), c.node_refused);
        const std::size_t kept = c.node_calls - c.node_refused;
        const Outcome expected = run(input([kept](std::size_t i) { return i <= kept; }));
        EXPECT_EQ(listings(failed.out), listings(expected.out));
    }
}

// After one refused number or copy the calculator goes on storing: the listings lack just that one.
TEST_F(Faults, OneAllocationFailingLosesOnlyWhatItWasFor)
{
    for (unsigned long n = 1; n <= all.calls; ++n) {
        SCOPED_TRACE("malloc fails at call " + std::to_string(n) + " of " + std::to_string(all.calls) + " alone");
        const Outcome failed = faulty("FAIL_MALLOC_ONLY=" + std::to_string(n));
        const Counts c = counted(log());
        ASSERT_EQ(failed.status, 0) << failed.out;
        ASSERT_LE(c.node_refused, 1u);
        EXPECT_EQ(occurrences(failed.out, no_memory), c.node_refused);
        const std::size_t lost = c.first_refused_node;
        const Outcome expected = run(input([lost](std::size_t i) { return i != lost; }));
        EXPECT_EQ(listings(failed.out), listings(expected.out));
    }
}

} // namespace

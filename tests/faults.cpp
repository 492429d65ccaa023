// Memory running out at every allocation of a session that uses every command.
#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
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

// The session with every storing token from the `kept`-th on left out, then the listings.
std::string input(std::size_t kept)
{
    std::string text;
    std::size_t stored = 0;
    for (const std::string &t : tokens(session))
        if (!stores(t) || stored++ < kept)
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
    unsigned long calls = 0, node_calls = 0, node_refused = 0;
};

Counts counted(const std::string &log)
{
    Counts c;
    std::ifstream(log) >> c.calls >> c.node_calls >> c.node_refused;
    return c;
}

TEST(Faults, EveryAllocationFailingFromThereOnLosesNothingStored)
{
    const std::string log = testing::TempDir() + "rpn-failmalloc.log";
    const std::string preload = "LD_PRELOAD='" FAILMALLOC "' ASAN_OPTIONS=verify_asan_link_order=0 "
                                "FAIL_MALLOC_LOG='" + log + "'";
    std::size_t storing = 0;
    for (const std::string &t : tokens(session))
        storing += stores(t);
    const std::string full = input(storing);

    const Outcome clean = run(full, "", preload);
    const Counts all = counted(log);
    ASSERT_EQ(clean.status, 0);
    ASSERT_EQ(all.node_calls, storing) << "a storing token of the session did not ask for a node";
    ASSERT_EQ(all.node_refused, 0u);

    for (unsigned long n = 1; n <= all.calls; ++n) {
        SCOPED_TRACE("malloc fails from call " + std::to_string(n) + " of " + std::to_string(all.calls));
        const Outcome failed = run(full, "", preload + " FAIL_MALLOC_FROM=" + std::to_string(n));
        const Counts c = counted(log);
        ASSERT_EQ(failed.status, 0) << failed.out;
        EXPECT_EQ(occurrences(failed.out, no_memory), c.node_refused);
        const Outcome expected = run(input(c.node_calls - c.node_refused));
        EXPECT_EQ(listings(failed.out), listings(expected.out));
    }
}

} // namespace

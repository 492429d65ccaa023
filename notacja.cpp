// The calculator console: start and farewell screens, the input loop and its commands.
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "funkcje.h"

namespace {

constexpr const char *kreska = "\n- - - - - - - - - - - - - - - - - - - - - -";
constexpr const char *poza_zakresem = "Blad: Liczba poza zakresem!\n";
constexpr const char *za_malo = "Blad: Za malo liczb na stosie!\n";
constexpr const char *przez_zero = "Blad: Nie mozna dzielic przez zero!\n";
constexpr const char *pusty = "Blad: Stos jest pusty!\n";
constexpr const char *bez_duplikacji = "Blad: Nie mozna wykonac duplikacji, stos jest pusty!\n";
constexpr const char *za_duzo = "Blad: Za duzo liczb na stosie! Nie wiem ktora wybrac\n";
constexpr const char *nic_zapisanego = "Blad: Stos do zapisywania jest pusty!\n";

// Standard input, read in blocks, and the first failure of each direction of the I/O.
struct konsola {
    char buf[1 << 16];
    std::size_t pos = 0, len = 0;
    bool ended = false; // at the end of input, or after a failed read
    int read_errno = 0, write_errno = 0;
};

// Sends out everything written so far, remembering why the first failed write failed.
void wypchnij(konsola &k)
{
    if ((std::fflush(stdout) != 0 || std::ferror(stdout) != 0) && k.write_errno == 0)
        k.write_errno = errno;
}

// The next input byte, or EOF from the end of input on. Output goes out before every wait
// for input, so a program that sends a line and waits gets its answer; on bulk input that is
// once a block, not once an answer.
int znak(konsola &k)
{
    if (k.pos == k.len) {
        if (k.ended)
            return EOF;
        wypchnij(k);
        ssize_t n;
        do
            n = read(STDIN_FILENO, k.buf, sizeof k.buf);
        while (n < 0 && errno == EINTR);
        if (n <= 0) {
            k.ended = true;
            k.read_errno = n < 0 ? errno : 0;
            return EOF;
        }
        k.pos = 0;
        k.len = static_cast<std::size_t>(n);
    }
    return static_cast<unsigned char>(k.buf[k.pos++]);
}

// Flushes first, so that a file or a pipe gets the bytes in the order a terminal shows them.
void wyczysc()
{
    std::fflush(stdout);
    // Whatever clear does or says is the system's business, not the calculator's.
    [[maybe_unused]] int status = std::system("clear"); // NOLINT(cert-env33-c): the system's clear is wanted
}

void blad_io(const char *what, int errnum)
{
    std::fprintf(stderr, "rpn: %s: %s\n", what, std::strerror(errnum));
}

// Ends the run; only a run whose reads and writes all worked ends with status 0.
[[noreturn]] void koniec(konsola &k)
{
    wypchnij(k);
    wyczysc();
    std::printf("\n%s", kreska);
    std::printf("\n  Dziekuje za skorzystanie z moich uslug");
    std::printf("%s", kreska);
    wypchnij(k);
    if (k.read_errno != 0)
        blad_io("blad odczytu", k.read_errno);
    if (k.write_errno != 0)
        blad_io("blad zapisu", k.write_errno);
    std::exit(k.read_errno != 0 || k.write_errno != 0 ? 1 : 0);
}

bool cyfra(int ch)
{
    return ch >= '0' && ch <= '9';
}

// Reads a digit run that begins with `first` and pushes its value, negated when `minus`.
// The character that ends the run is dropped. Past the 32-bit range only the fact is kept,
// so a run of any length costs no memory.
void liczba(node **stack, konsola &k, int first, bool minus)
{
    constexpr std::int64_t limit = 2147483648;
    std::int64_t value = 0;
    for (int ch = first; cyfra(ch); ch = znak(k))
        if (value <= limit)
            value = value * 10 + (ch - '0');
    if (minus)
        value = -value;
    if (value < INT32_MIN || value > INT32_MAX) {
        std::puts(poza_zakresem);
        return;
    }
    push(stack, static_cast<std::int32_t>(value));
}

// The arithmetic wraps as 32-bit two's complement: unsigned arithmetic wraps by definition,
// and the conversion back to signed is modular.
std::uint32_t bits(std::int32_t v)
{
    return static_cast<std::uint32_t>(v);
}

std::int32_t wrap(std::uint32_t v)
{
    return static_cast<std::int32_t>(v);
}

std::int32_t dodaj(std::int32_t b, std::int32_t a)
{
    return wrap(bits(b) + bits(a));
}

std::int32_t odejmij(std::int32_t b, std::int32_t a)
{
    return wrap(bits(b) - bits(a));
}

std::int32_t mnoz(std::int32_t b, std::int32_t a)
{
    return wrap(bits(b) * bits(a));
}

// Truncates toward zero; the smallest value divided by -1 wraps to itself instead of trapping.
std::int32_t iloraz(std::int32_t b, std::int32_t a)
{
    return a == -1 ? wrap(0u - bits(b)) : b / a;
}

// Computes `b` op `a` with `a` the top number. The result goes into the node below the top,
// which leaves the same stack as pop, pop, push, but needs no memory and so cannot fail halfway.
bool dwa(node **stack, std::int32_t (*op)(std::int32_t, std::int32_t))
{
    if (count(stack, 2) < 2) {
        std::puts(za_malo);
        return false;
    }
    std::int32_t a = pop(stack);
    (*stack)->value = op((*stack)->value, a);
    return true;
}

bool dziel(node **stack)
{
    if (count(stack, 2) == 2 && (*stack)->value == 0) {
        std::puts(przez_zero);
        return false;
    }
    return dwa(stack, iloraz);
}

bool kwadrat(node **stack)
{
    if (*stack == nullptr) {
        std::puts(za_malo);
        return false;
    }
    (*stack)->value = mnoz((*stack)->value, (*stack)->value);
    return true;
}

void usun(node **stack)
{
    if (*stack == nullptr)
        std::puts(pusty);
    else
        pop(stack);
}

// Swaps the values in place: no node is freed or allocated, so nothing can fail halfway.
void zamien(node **stack)
{
    if (count(stack, 2) < 2) {
        std::puts(za_malo);
        return;
    }
    node *top = *stack;
    std::int32_t a = top->value;
    top->value = top->next->value;
    top->next->value = a;
}

// Pushes a copy of the top; if the copy cannot be stored, the stack stays as it was.
void powiel(node **stack)
{
    if (*stack == nullptr)
        std::puts(bez_duplikacji);
    else
        push(stack, (*stack)->value);
}

void pokaz(node **stack, const char *heading, const char *when_empty)
{
    if (*stack == nullptr) {
        std::puts(when_empty);
        return;
    }
    std::printf("%s", heading);
    showall(stack);
    std::puts("\n");
}

// Copies the single number of the working stack onto the saved stack; the working stack keeps it.
void zapisz(node **stack, node **saved)
{
    switch (count(stack, 2)) {
    case 0:
        std::puts(pusty);
        break;
    case 1:
        push(saved, (*stack)->value);
        break;
    default:
        std::puts(za_duzo);
    }
}

// Writes the result report. Bulk input reports on nearly every line, and there printf's
// parsing of its format and the stream lock, which a one-threaded program does not need,
// took over half the calculator's time.
void wynik(std::int32_t value)
{
    constexpr char head[] = "Wynik rownania: ";
    char text[sizeof head + 16];
    std::memcpy(text, head, sizeof head - 1);
    char *end = std::to_chars(text + sizeof head - 1, text + sizeof text, value).ptr;
    *end++ = '\n';
    *end++ = '\n';
    fwrite_unlocked(text, 1, static_cast<std::size_t>(end - text), stdout);
}

// Acts on each character as it arrives; ends only through koniec, on "q" or at end of input.
[[noreturn]] void oblicz(node **stack, node **saved)
{
    konsola k;
    for (;;) {
        int ch = znak(k);
        if (ch == EOF)
            koniec(k);
        if (ch == '\n')
            continue;
        if (cyfra(ch)) {
            liczba(stack, k, ch, false);
            continue;
        }
        // Set only by an arithmetic command that has just put its result on the stack.
        bool result_ready = false;
        switch (ch) {
        case '+':
            result_ready = dwa(stack, dodaj);
            break;
        case '-': {
            int next = znak(k);
            if (cyfra(next)) {
                liczba(stack, k, next, true);
                continue;
            }
            result_ready = dwa(stack, odejmij);
            break;
        }
        case '*':
            result_ready = dwa(stack, mnoz);
            break;
        case '/':
            result_ready = dziel(stack);
            break;
        case '^':
            result_ready = kwadrat(stack);
            break;
        case '#':
            usun(stack);
            break;
        case '$':
            zamien(stack);
            break;
        case '&':
            powiel(stack);
            break;
        case '?':
            pokaz(stack, "Zawartosc stosu: ", pusty);
            break;
        case 's':
            zapisz(stack, saved);
            break;
        case 'w':
            pokaz(saved, "Zawartosc zapisanego stosu: ", nic_zapisanego);
            break;
        case 'q':
            koniec(k);
        default:
            break;
        }
        if (result_ready && count(stack, 2) == 1)
            wynik((*stack)->value);
    }
}

} // namespace

int main()
{
    node *stack = nullptr;
    node *saved = nullptr;
    // Output leaves before every wait for input anyway, so the buffer need not follow lines;
    // a large one saves a system call every few reports on bulk input.
    static char out[1 << 16];
    std::setvbuf(stdout, out, _IOFBF, sizeof out);
    wyczysc();
    std::printf("%s", kreska);
    std::printf("\n      Program obliczajacy zapis RPN");
    std::printf("\n   Podaj notacje oddzielajac dane spacja");
    std::printf("%s\n\n", kreska);
    oblicz(&stack, &saved);
}

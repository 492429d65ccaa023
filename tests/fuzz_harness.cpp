// Runs the calculator's own main many times in one process, under AFL++'s persistent mode.
// The calculator is compiled with its main renamed to rpn_main and linked with
// --wrap=read,--wrap=system,--wrap=exit, so that standard input is the fuzzer's test case,
// clearing the screen costs nothing, and the end of a run comes back here. Each run starts
// from the fresh stacks and input state that main and the input loop make for themselves.
// The wrapping reaches every object linked, AFL++'s runtime too, so outside a run the real
// functions are called.
#include <unistd.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>

int rpn_main();

__AFL_FUZZ_INIT();

namespace {

std::jmp_buf run_over;
bool running;
const unsigned char *input;
std::size_t input_size, input_pos;

} // namespace

extern "C" ssize_t __real_read(int fd, void *buf, std::size_t n);
extern "C" int __real_system(const char *command);
extern "C" [[noreturn]] void __real_exit(int status);

extern "C" ssize_t __wrap_read(int fd, void *buf, std::size_t n)
{
    if (!running)
        return __real_read(fd, buf, n);
    n = std::min(n, input_size - input_pos);
    std::memcpy(buf, input + input_pos, n);
    input_pos += n;
    return static_cast<ssize_t>(n);
}

extern "C" int __wrap_system(const char *command)
{
    return running ? 0 : __real_system(command);
}

// Nothing the calculator holds needs a destructor, so jumping over its frames is safe.
extern "C" [[noreturn]] void __wrap_exit(int status)
{
    if (!running)
        __real_exit(status);
    running = false;
    std::longjmp(run_over, 1);
}

int main()
{
    __AFL_INIT();
    const unsigned char *buf = __AFL_FUZZ_TESTCASE_BUF;
    while (__AFL_LOOP(10000)) {
        input = buf;
        input_size = static_cast<std::size_t>(__AFL_FUZZ_TESTCASE_LEN);
        input_pos = 0;
        running = true;
        if (setjmp(run_over) == 0)
            rpn_main();
        running = false;
    }
    return 0;
}

/* Preloaded into the calculator by the tests: malloc returns null from call number
 * FAIL_MALLOC_FROM on, or at call number FAIL_MALLOC_ONLY alone (never when unset or 0).
 * At exit it writes to FAIL_MALLOC_LOG how many calls it saw and, of the node-sized ones,
 * how many it refused and the number of the first refused among them (0 for none). */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

static void *(*real_malloc)(size_t);
static unsigned long calls, from, only, node_calls, node_refused, first_refused_node;
static char log_path[4096];

__attribute__((constructor)) static void init(void)
{
    const char *n = getenv("FAIL_MALLOC_FROM");
    const char *o = getenv("FAIL_MALLOC_ONLY");
    const char *log = getenv("FAIL_MALLOC_LOG");
    from = n ? strtoul(n, NULL, 10) : 0;
    only = o ? strtoul(o, NULL, 10) : 0;
    if (log)
        snprintf(log_path, sizeof log_path, "%s", log);
    /* clear and its shell must run with a working malloc */
    unsetenv("LD_PRELOAD");
    unsetenv("FAIL_MALLOC_FROM");
    unsetenv("FAIL_MALLOC_ONLY");
    unsetenv("FAIL_MALLOC_LOG");
}

__attribute__((destructor)) static void report(void)
{
    if (!log_path[0])
        return;
    char line[128];
    int len = snprintf(line, sizeof line, "%lu %lu %lu %lu\n", calls, node_calls, node_refused, first_refused_node);
    int fd = open(log_path, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd >= 0) {
        if (write(fd, line, (size_t)len) != len)
            _exit(99);
        close(fd);
    }
}

void *malloc(size_t size)
{
    if (!real_malloc)
        *(void **)&real_malloc = dlsym(RTLD_NEXT, "malloc"); /* as POSIX suggests */
    ++calls;
    int refuse = (from != 0 && calls >= from) || (only != 0 && calls == only);
    if (size == NODE_SIZE) {
        ++node_calls;
        node_refused += refuse;
        if (refuse && first_refused_node == 0)
            first_refused_node = node_calls;
    }
    return refuse ? NULL : real_malloc(size);
}

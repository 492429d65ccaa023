/* Runs a program and writes its peak resident memory, in KB, to a file.
 * Usage: peak FILE PROGRAM [ARG...]; exits with the program's status.
 * A child's peak counts the memory of the process it was forked from, so the calculator is
 * forked from this small program rather than from a large test. */
#include <stdio.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char **argv)
{
    if (argc < 3)
        return 126;
    pid_t pid = fork();
    if (pid == 0) {
        execv(argv[2], argv + 2);
        _exit(127);
    }
    int status = 0;
    struct rusage usage;
    if (pid < 0 || wait4(pid, &status, 0, &usage) < 0)
        return 126;
    FILE *f = fopen(argv[1], "w");
    if (!f)
        return 126;
    fprintf(f, "%ld\n", usage.ru_maxrss);
    fclose(f);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

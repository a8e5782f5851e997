// Runs a program for a test with no shell in between: each argument reaches it
// as it is, so paths with spaces, quotes or apostrophes need no quoting.
#pragma once

#include <cerrno>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

struct ProgramRun {
    bool started = false; // false: no such program on PATH, or it could not start
    int exit_code = -1;   // -1 when a signal ended it
    std::string output;   // its standard output and error, when asked for
};

// args[0] is looked up on PATH. Without capture, the program's output is
// thrown away.
inline ProgramRun run_program(const std::vector<std::string> &args, bool capture = false) {
    ProgramRun run;
    std::vector<char *> argv;
    for (const std::string &a : args)
        argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    int pipe_fds[2] = {-1, -1};
    if (argv[0] == nullptr || (capture && pipe2(pipe_fds, O_CLOEXEC) != 0))
        return run;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (capture) {
        posix_spawn_file_actions_adddup2(&actions, pipe_fds[1], 1);
    } else {
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    }
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    pid_t pid = 0;
    int error = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (capture) {
        close(pipe_fds[1]);
        char buf[4096];
        ssize_t n;
        while (error == 0 &&
               ((n = read(pipe_fds[0], buf, sizeof buf)) > 0 || (n < 0 && errno == EINTR)))
            if (n > 0)
                run.output.append(buf, size_t(n));
        close(pipe_fds[0]);
    }
    if (error != 0)
        return run;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0)
        if (errno != EINTR)
            return run;
    run.started = true;
    run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

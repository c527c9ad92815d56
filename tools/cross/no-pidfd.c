/* Preloaded into the test programs that run under qemu-user (7.2): the emulator
 * passes Qt's probe for pidfd support (waitid with P_PIDFD) to the kernel, which
 * has it, but does not fill in the pidfd of clone(CLONE_PIDFD), so QProcess
 * waits on a wrong descriptor and later kills "its child" as pid -1. Refusing
 * the probe makes Qt start children the classic way. Test harness only.
 *
 * The emulator puts this file into the program's environment (LD_PRELOAD); the
 * program's native children (the shell of a stand-in command) cannot load an ARM
 * library and their loader says so on standard error, which the tests read. So
 * it leaves the environment at once; an ARM child gets it again from the
 * emulator's own setting, which it inherits. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <stdarg.h>
#include <stdlib.h>
#include <sys/syscall.h>

#define P_PIDFD_IDTYPE 3

__attribute__((constructor)) static void leave_environment(void)
{
    unsetenv("LD_PRELOAD");
}

long syscall(long number, ...)
{
    va_list ap;
    long a[6];
    va_start(ap, number);
    for (int i = 0; i < 6; ++i)
        a[i] = va_arg(ap, long);
    va_end(ap);
    if (number == SYS_waitid && a[0] == P_PIDFD_IDTYPE) {
        errno = EINVAL;
        return -1;
    }
    static long (*next)(long, ...);
    if (!next)
        next = (long (*)(long, ...))dlsym(RTLD_NEXT, "syscall");
    return next(number, a[0], a[1], a[2], a[3], a[4], a[5]);
}

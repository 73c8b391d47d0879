/* Preloaded into the program, it makes the folder KOVO_SMALL_DISK names look
   like a disk of its own with 1 MiB free, for systems that refuse the test a
   private tmpfs (a chroot whose root is no mount point, an unprivileged
   container). Every other folder answers as it really is. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <limits.h>
#include <stdlib.h>
#include <string.h>
#include <sys/statvfs.h>

static int isSmallDisk(const char* path)
{
    const char* small = getenv("KOVO_SMALL_DISK");
    char wanted[PATH_MAX], asked[PATH_MAX];
    return small && realpath(small, wanted) && realpath(path, asked) && strcmp(wanted, asked) == 0;
}

static void makeSmall(struct statvfs* info)
{
    info->f_frsize = 4096;
    info->f_bsize = 4096;
    info->f_blocks = 256;
    info->f_bfree = 256;
    info->f_bavail = 256;
}

int statvfs(const char* path, struct statvfs* info)
{
    int (*real)(const char*, struct statvfs*) = (int (*)(const char*, struct statvfs*))dlsym(RTLD_NEXT, "statvfs");
    int status = real ? real(path, info) : -1;
    if (status == 0 && isSmallDisk(path)) makeSmall(info);
    return status;
}

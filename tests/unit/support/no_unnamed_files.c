/* Preloaded into the tool, this stands for a file system without unnamed files: open with
   O_TMPFILE fails with EOPNOTSUPP, as such a file system makes it fail; every other open goes
   through unchanged. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>

typedef int (*OpenFunction)(const char*, int, ...);

static int openUnlessUnnamed(const char* name, const char* path, int flags, va_list rest) {
  const int mode = (flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE ? va_arg(rest, int) : 0;
  if ((flags & O_TMPFILE) == O_TMPFILE) {
    errno = EOPNOTSUPP;
    return -1;
  }
  const OpenFunction real = (OpenFunction)dlsym(RTLD_NEXT, name);
  return real(path, flags, mode);
}

int open(const char* path, int flags, ...) {
  va_list rest;
  va_start(rest, flags);
  const int fd = openUnlessUnnamed("open", path, flags, rest);
  va_end(rest);
  return fd;
}

int open64(const char* path, int flags, ...) {
  va_list rest;
  va_start(rest, flags);
  const int fd = openUnlessUnnamed("open64", path, flags, rest);
  va_end(rest);
  return fd;
}

/* With NO_RENAME_NOREPLACE set, it also stands for one that cannot rename without replacing
   (NFS): renameat2 with flags fails with EINVAL. */
int renameat2(int fromFolder, const char* from, int toFolder, const char* to, unsigned int flags) {
  typedef int (*RenameFunction)(int, const char*, int, const char*, unsigned int);
  if (flags != 0 && getenv("NO_RENAME_NOREPLACE") != NULL) {
    errno = EINVAL;
    return -1;
  }
  const RenameFunction real = (RenameFunction)dlsym(RTLD_NEXT, "renameat2");
  return real(fromFolder, from, toFolder, to, flags);
}

/* Preloaded into the tool, this stands for a folder whose listing breaks off (a share that went
   away, a damaged disk): reading the entries of any folder named "unlistable" fails with EIO
   after the folder was opened. Every other folder is read as usual. */
#define _GNU_SOURCE
#include <dirent.h>
#include <dlfcn.h>
#include <errno.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

static int unlistable(DIR* dir) {
  char link[64];
  char path[4096];
  snprintf(link, sizeof link, "/proc/self/fd/%d", dirfd(dir));
  const ssize_t length = readlink(link, path, sizeof path - 1);
  if (length < 0) return 0;
  path[length] = '\0';
  const char* name = strrchr(path, '/');
  return name != NULL && strcmp(name + 1, "unlistable") == 0;
}

struct dirent* readdir(DIR* dir) {
  static struct dirent* (*next)(DIR*) = NULL;
  if (next == NULL) next = (struct dirent * (*)(DIR*)) dlsym(RTLD_NEXT, "readdir");
  if (unlistable(dir)) {
    errno = EIO;
    return NULL;
  }
  return next(dir);
}

/* Preloaded into the tool, this stands for a disk that cannot make a file durable: every fsync
   fails with EIO, as a disk that lost written pages makes it fail. */
#include <errno.h>

int fsync(int fd) {
  (void)fd;
  errno = EIO;
  return -1;
}

/* The I/O floor of a conversion: what any program turning the input into
 * a CSV of the same size, with the same guarantees, must do at the least,
 * computing nothing. It reads the input, writes that many bytes of CSV to a
 * new unnamed file beside the CSV, flushes it, gives it the CSV's place the
 * way dta2csv does (named, renamed over the CSV, the folder flushed), and
 * writes a block of the log's size to standard output.
 *
 *   io_floor INPUT CSV CSV_BYTES LOG_BYTES [--no-flush]
 *
 * --no-flush leaves out the two flushes, for the floor of a program that
 * does not make its CSV durable. Plain C and the C library only, so that
 * starting it costs as little as a program can. */
#define _GNU_SOURCE
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include "floor_io.h"

int main(int argc, char** argv) {
  if (argc < 5) {
    fprintf(stderr, "usage: io_floor INPUT CSV CSV_BYTES LOG_BYTES [--no-flush]\n");
    return 2;
  }
  const int flush = !(argc > 5 && strcmp(argv[5], "--no-flush") == 0);
  const char* csv = argv[2];
  const char* slash = strrchr(csv, '/');
  char folder[4096] = ".";
  if (slash != NULL) snprintf(folder, sizeof folder, "%.*s", (int)(slash - csv), csv);
  const char* name = slash != NULL ? slash + 1 : csv;

  const int in = open(argv[1], O_RDONLY | O_CLOEXEC);
  if (in < 0) Fail("open input");
  while (read(in, block, sizeof block) > 0) {
  }
  close(in);

  const int dir = open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir < 0) Fail("open folder");
  const int out = openat(dir, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
  if (out < 0) Fail("open unnamed file");
  WriteBytes(out, atoll(argv[3]));
  if (flush && fdatasync(out) != 0) Fail("fdatasync");
  char self[64];
  snprintf(self, sizeof self, "/proc/self/fd/%d", out);
  if (linkat(AT_FDCWD, self, dir, ".io_floor.tmp", AT_SYMLINK_FOLLOW) != 0) Fail("linkat");
  if (renameat(dir, ".io_floor.tmp", dir, name) != 0) Fail("renameat");
  if (flush) fsync(dir);
  close(out);
  close(dir);

  WriteBytes(STDOUT_FILENO, atoll(argv[4]));
  return 0;
}

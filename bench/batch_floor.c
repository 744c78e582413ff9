/* The durable floor of a batch: what any program turning many inputs into
 * CSVs of the same sizes, with the same guarantees, must do at the least,
 * computing nothing. It reads every input, writes a hidden new file of each
 * CSV's size beside it, makes all of them durable with one flush of the
 * file system (syncfs), renames each over its CSV, flushes the folder once,
 * and writes a block of the logs' size to standard output.
 *
 *   batch_floor [--in-flight THREADS] LOG_BYTES INPUT...
 *
 * syncfs flushes whatever else is waiting on the same file system too
 * (another program's build, say), and renames one after the other wait on
 * each other where replacing a file is slow (freeing the earlier CSV's
 * blocks on a file system mounted with online discard). --in-flight does
 * the work of each file in one of THREADS threads instead, the way dta2csv
 * does it: read; write an unnamed file (O_TMPFILE); flush it (fdatasync);
 * name it and rename it over the CSV, which is held open meanwhile so that
 * its blocks are freed after the rename. The file system gathers the
 * flushes in flight together. The folder is still flushed once.
 *
 * Each CSV is named like its input with the last four characters replaced
 * by ".CSV" and must exist already: its size is the size written. The
 * inputs are in one folder. Plain C and the C library only. */
#define _GNU_SOURCE
#include <fcntl.h>
#include <pthread.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include "floor_io.h"

static void CsvOf(const char* input, char* csv, size_t size) {
  const size_t length = strlen(input);
  if (length < 4 || length + 1 > size) Fail("input name");
  snprintf(csv, size, "%.*s.CSV", (int)(length - 4), input);
}

static void TemporaryOf(const char* csv, char* temporary, size_t size) {
  const char* slash = strrchr(csv, '/');
  const int folder = slash != NULL ? (int)(slash - csv + 1) : 0;
  snprintf(temporary, size, "%.*s.floor-%s.tmp", folder, csv, csv + folder);
}

struct Share {
  char** inputs;
  int count;
  int first;
  int step;
  int flush;  /* and rename each file on its own */
};

/* Reads the inputs first, first + step, ... and writes their new files:
 * hidden named ones to be flushed all together, or unnamed ones each
 * flushed and renamed over its CSV in this thread. */
static void* WriteShare(void* argument) {
  const struct Share* share = argument;
  static __thread char own[64 * 1024];
  char csv[4096];
  char temporary[4096 + 16];
  for (int i = share->first; i < share->count; i += share->step) {
    const int in = open(share->inputs[i], O_RDONLY | O_CLOEXEC);
    if (in < 0) Fail("open input");
    while (read(in, own, sizeof own) > 0) {
    }
    close(in);
    CsvOf(share->inputs[i], csv, sizeof csv);
    struct stat st;
    if (stat(csv, &st) != 0) Fail("stat CSV");
    TemporaryOf(csv, temporary, sizeof temporary);
    if (!share->flush) {
      const int out = open(temporary, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
      if (out < 0) Fail("open new file");
      WriteBytes(out, st.st_size);
      close(out);
      continue;
    }
    const int earlier = open(csv, O_PATH | O_CLOEXEC);
    char folder[4096] = ".";
    const char* slash = strrchr(csv, '/');
    if (slash != NULL) snprintf(folder, sizeof folder, "%.*s", (int)(slash - csv), csv);
    const int out = open(folder, O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (out < 0) Fail("open unnamed file");
    WriteBytes(out, st.st_size);
    if (fdatasync(out) != 0) Fail("fdatasync");
    char self[64];
    snprintf(self, sizeof self, "/proc/self/fd/%d", out);
    if (linkat(AT_FDCWD, self, AT_FDCWD, temporary, AT_SYMLINK_FOLLOW) != 0) Fail("linkat");
    if (rename(temporary, csv) != 0) Fail("rename");
    close(out);
    close(earlier);
  }
  return NULL;
}

int main(int argc, char** argv) {
  int threads = 0;
  if (argc > 2 && strcmp(argv[1], "--in-flight") == 0) {
    threads = atoi(argv[2]);
    argc -= 2;
    argv += 2;
  }
  if (argc < 3) {
    fprintf(stderr, "usage: batch_floor [--in-flight THREADS] LOG_BYTES INPUT...\n");
    return 2;
  }
  char** inputs = argv + 2;
  const int count = argc - 2;
  if (threads <= 0) {
    struct Share all = {inputs, count, 0, 1, 0};
    WriteShare(&all);
  } else {
    pthread_t ids[256];
    struct Share shares[256];
    if (threads > 256) threads = 256;
    for (int k = 0; k < threads; ++k) {
      shares[k] = (struct Share){inputs, count, k, threads, 1};
      if (pthread_create(&ids[k], NULL, WriteShare, &shares[k]) != 0) Fail("pthread_create");
    }
    for (int k = 0; k < threads; ++k) pthread_join(ids[k], NULL);
  }

  char csv[4096];
  char temporary[4096 + 16];
  CsvOf(inputs[0], csv, sizeof csv);
  char folder[4096] = ".";
  const char* slash = strrchr(csv, '/');
  if (slash != NULL) snprintf(folder, sizeof folder, "%.*s", (int)(slash - csv), csv);
  const int dir = open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir < 0) Fail("open folder");
  if (threads <= 0) {
    if (syncfs(dir) != 0) Fail("syncfs");
    for (int i = 0; i < count; ++i) {
      CsvOf(inputs[i], csv, sizeof csv);
      TemporaryOf(csv, temporary, sizeof temporary);
      if (rename(temporary, csv) != 0) Fail("rename");
    }
  }
  if (fsync(dir) != 0) Fail("fsync folder");
  close(dir);

  WriteBytes(STDOUT_FILENO, atoll(argv[1]));
  return 0;
}

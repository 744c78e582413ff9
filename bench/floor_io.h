/* What the I/O floors (io_floor.c, batch_floor.c) share: a block of zero
 * bytes to write, and failing with the system's reason. */
#pragma once

#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

static char block[64 * 1024];

static void Fail(const char* what) {
  perror(what);
  exit(1);
}

/* Writes `bytes` bytes of the block to `fd`, whatever its size. */
static void WriteBytes(int fd, long long bytes) {
  while (bytes > 0) {
    const size_t n = bytes < (long long)sizeof block ? (size_t)bytes : sizeof block;
    if (write(fd, block, n) != (ssize_t)n) Fail("write");
    bytes -= (long long)n;
  }
}

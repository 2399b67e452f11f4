/* Preloaded into korven by the fault tests (LD_PRELOAD): makes exactly one
 * call of the C library fail on purpose.
 *
 *   KORVEN_FAULT_CALL=N   the N-th counted call (from 1) fails
 *   KORVEN_FAULT_LOG=file created when the failure has been injected, so the
 *                         test knows when N has passed the last call
 *
 * Counted calls: malloc, calloc and realloc, which then return null (and
 * leave errno ENOMEM). Nothing here allocates, so the shim cannot disturb
 * what it counts. */
#define _GNU_SOURCE
#include <errno.h>
#include <fcntl.h>
#include <stddef.h>
#include <stdlib.h>
#include <unistd.h>

extern void* __libc_malloc(size_t size);
extern void* __libc_calloc(size_t count, size_t size);
extern void* __libc_realloc(void* block, size_t size);

static long target = -1; /* -1: not read yet; 0: inject nothing */
static long calls = 0;

static long readTarget(void) {
  const char* text = getenv("KORVEN_FAULT_CALL");
  long value = 0;
  if (text != NULL) {
    for (; *text >= '0' && *text <= '9'; ++text) value = value * 10 + (*text - '0');
  }
  return value;
}

/* True when this call is the one to fail. */
static int injectNow(void) {
  if (target < 0) target = readTarget();
  if (target == 0 || ++calls != target) return 0;
  const char* log = getenv("KORVEN_FAULT_LOG");
  if (log != NULL) {
    int fd = open(log, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd >= 0) close(fd);
  }
  errno = ENOMEM;
  return 1;
}

void* malloc(size_t size) { return injectNow() ? NULL : __libc_malloc(size); }

void* calloc(size_t count, size_t size) { return injectNow() ? NULL : __libc_calloc(count, size); }

void* realloc(void* block, size_t size) {
  /* A realloc that frees (size 0) cannot fail. */
  if (size != 0 && injectNow()) return NULL;
  return __libc_realloc(block, size);
}

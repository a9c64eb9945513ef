/* The walk+read floor: what any tool must spend to look at every byte quorvane selects.
 *
 *   floor [DIR]   (default ".")
 *
 * Walks DIR depth first with readdir (links neither followed nor read, no stat per entry where
 * the listing gives the type, as fts would with FTS_PHYSICAL | FTS_NOSTAT), picks the files quorvane selects (CMakeLists.txt, or a known
 * extension in any case), and opens and reads each whole into one buffer kept from file to file,
 * the way quorvane reads: open, fstat, one read of the size plus one byte (more reads only when
 * the file gives less). Nothing is searched. Prints the number of files and bytes read.
 *
 * Build: cc -O2 -o floor bench/floor.c
 */
#define _GNU_SOURCE
#include <fcntl.h>
#include <dirent.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

static const char *const kExtensions[] = {
    "rs",  "c",   "h",   "cc",  "hh",  "cpp", "cxx", "c++",      "hpp",   "hxx", "h++", "js",  "ts",
    "jsx", "mjs", "cjs", "tsx", "mts", "cts", "py",  "md",  "markdown", "cmake", "yml", "yaml",
};

static int is_selected(const char *name) {
  if (strcmp(name, "CMakeLists.txt") == 0) return 1;
  const char *dot = strrchr(name, '.');
  if (dot == NULL || dot == name) return 0;
  for (size_t i = 0; i < sizeof kExtensions / sizeof kExtensions[0]; ++i) {
    if (strcasecmp(dot + 1, kExtensions[i]) == 0) return 1;
  }
  return 0;
}

struct Floor {
  char path[PATH_MAX];
  char *buffer;
  size_t room;
  unsigned long long files, bytes;
};

static void read_file(struct Floor *floor) {
  const int fd = open(floor->path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return;
  struct stat info;
  if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
    const size_t wanted = (size_t)info.st_size + 1;
    if (floor->room < wanted) {
      floor->room = wanted < 65536 ? 65536 : wanted;
      free(floor->buffer);
      floor->buffer = malloc(floor->room);
      if (floor->buffer == NULL) exit(2);
    }
    size_t length = 0;
    while (length < floor->room) {
      const size_t asked = floor->room - length;
      const ssize_t n = read(fd, floor->buffer + length, asked);
      if (n <= 0) break;
      length += (size_t)n;
      /* A read short of what was asked, once the size has come, is the end. */
      if (length >= (size_t)info.st_size && (size_t)n < asked) break;
    }
    floor->bytes += length;
    ++floor->files;
  }
  close(fd);
}

/* Depth first over `floor->path` (of length `length`), in listing order. */
static void walk(struct Floor *floor, size_t length) {
  DIR *dir = opendir(floor->path);
  if (dir == NULL) return;
  const struct dirent *entry;
  while ((entry = readdir(dir)) != NULL) {
    const char *name = entry->d_name;
    if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) continue;
    const size_t name_length = strlen(name);
    if (length + 1 + name_length >= sizeof floor->path) continue;
    floor->path[length] = '/';
    memcpy(floor->path + length + 1, name, name_length + 1);
    unsigned char type = entry->d_type;
    if (type == DT_UNKNOWN) {
      struct stat info;
      if (lstat(floor->path, &info) != 0) continue;
      type = S_ISDIR(info.st_mode) ? DT_DIR : S_ISREG(info.st_mode) ? DT_REG : DT_LNK;
    }
    if (type == DT_DIR) {
      walk(floor, length + 1 + name_length);
    } else if (type == DT_REG && is_selected(name)) {
      read_file(floor);
    }
  }
  floor->path[length] = '\0';
  closedir(dir);
}

int main(int argc, char **argv) {
  static struct Floor floor;
  const char *root = argc > 1 ? argv[1] : ".";
  const size_t length = strlen(root);
  if (length >= sizeof floor.path) return 2;
  memcpy(floor.path, root, length + 1);
  walk(&floor, length);
  free(floor.buffer);
  printf("%llu files, %llu bytes\n", floor.files, floor.bytes);
  return 0;
}

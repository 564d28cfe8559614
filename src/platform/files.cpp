// files: the one path resolver every file the game opens goes through, so that paths
// written with backslashes and in any case find the files on a case-sensitive disk.
#include "platform/platform.h"

#include <dirent.h>
#include <fnmatch.h>
#include <strings.h>
#include <sys/stat.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace platform {

namespace {

bool exists(const char* path) {
  struct stat st;
  return stat(path, &st) == 0;
}

// Appends `part` to `out` (which holds `length` characters) with a separator; false when
// the result would not fit.
bool append(char* out, size_t out_size, size_t* length, const char* part, size_t part_length) {
  bool need_slash = *length > 0 && out[*length - 1] != '/';
  size_t total = *length + (need_slash ? 1 : 0) + part_length;
  if (total + 1 > out_size) return false;
  if (need_slash) out[(*length)++] = '/';
  std::memcpy(out + *length, part, part_length);
  *length = total;
  out[total] = '\0';
  return true;
}

// Finds the entry of directory `dir` whose name equals `name` without regard to case.
bool find_in_dir(const char* dir, const char* name, char* found, size_t found_size) {
  DIR* d = opendir(dir[0] ? dir : ".");
  if (!d) return false;
  bool ok = false;
  while (struct dirent* e = readdir(d)) {
    if (strcasecmp(e->d_name, name) == 0 && std::strlen(e->d_name) < found_size) {
      std::snprintf(found, found_size, "%s", e->d_name);
      ok = true;
      break;
    }
  }
  closedir(d);
  return ok;
}

void turn_slashes(const char* path, char* out, size_t out_size) {
  std::snprintf(out, out_size, "%s", path);
  for (char* c = out; *c; ++c)
    if (*c == '\\') *c = '/';
}

}  // namespace

bool resolve_path(const char* path, char* out, size_t out_size) {
  if (!out || out_size == 0) return false;
  out[0] = '\0';
  if (!path) return false;
  char plain[MAX_PATH_LENGTH * 4];
  turn_slashes(path, plain, sizeof plain);
  if (std::strlen(path) >= sizeof plain) {
    std::snprintf(out, out_size, "%s", plain);
    return false;
  }
  if (exists(plain)) {
    std::snprintf(out, out_size, "%s", plain);
    return std::strlen(plain) < out_size;
  }

  // Walk the components, each matched exactly first and then without regard to case.
  char built[MAX_PATH_LENGTH * 4] = "";
  size_t length = 0;
  const char* c = plain;
  if (*c == '/') {
    built[0] = '/';
    built[1] = '\0';
    length = 1;
    while (*c == '/') ++c;
  }
  bool found_all = true;
  while (*c) {
    const char* end = std::strchr(c, '/');
    size_t part_length = end ? static_cast<size_t>(end - c) : std::strlen(c);
    char part[256];
    if (part_length >= sizeof part) {
      found_all = false;
      break;
    }
    std::memcpy(part, c, part_length);
    part[part_length] = '\0';
    if (part_length > 0) {
      size_t before = length;
      if (!append(built, sizeof built, &length, part, part_length)) return false;
      if (!found_all || !exists(built)) {
        built[before] = '\0';
        length = before;
        char match[256];
        if (found_all && find_in_dir(built, part, match, sizeof match)) {
          append(built, sizeof built, &length, match, std::strlen(match));
        } else {
          found_all = false;
          append(built, sizeof built, &length, part, part_length);
        }
      }
    }
    c += part_length;
    while (*c == '/') ++c;
  }
  std::snprintf(out, out_size, "%s", built);
  return found_all && std::strlen(built) < out_size && exists(out);
}

FILE* open_file(const char* path, const char* mode) {
  char resolved[MAX_PATH_LENGTH * 4];
  resolve_path(path, resolved, sizeof resolved);
  if (!resolved[0]) return nullptr;
  return std::fopen(resolved, mode);
}

int list_files(const char* pattern, bool (*found)(const char* name, void* context), void* context) {
  char plain[MAX_PATH_LENGTH * 4];
  turn_slashes(pattern, plain, sizeof plain);
  char dir[MAX_PATH_LENGTH * 4] = ".";
  const char* glob = plain;
  if (char* slash = std::strrchr(plain, '/')) {
    *slash = '\0';
    glob = slash + 1;
    if (plain[0] == '\0') {
      std::snprintf(dir, sizeof dir, "/");
    } else if (!resolve_path(plain, dir, sizeof dir)) {
      return 0;
    }
  }
  // In name order without regard to case, as the list's first home gave it, rather than in
  // the order the file system keeps.
  struct dirent** names = nullptr;
  const int count = scandir(dir, &names, nullptr, [](const struct dirent** a, const struct dirent** b) {
    return strcasecmp((*a)->d_name, (*b)->d_name);
  });
  if (count < 0) return 0;
  int delivered = 0;
  bool more = true;
  for (int i = 0; i < count; i++) {
    const char* name = names[i]->d_name;
    char full[MAX_PATH_LENGTH * 8];
    std::snprintf(full, sizeof full, "%s/%s", dir, name);
    struct stat st;
    if (more && fnmatch(glob, name, FNM_CASEFOLD | FNM_PERIOD) == 0 && stat(full, &st) == 0 && S_ISREG(st.st_mode)) {
      delivered++;
      more = found(name, context);
    }
    std::free(names[i]);
  }
  std::free(names);
  return delivered;
}

bool find_data_dir(const char* dir, const char* env, const char* exe, char* found, size_t found_size, char* message,
                   size_t message_size) {
  if (message && message_size) message[0] = '\0';
  auto take = [&](const char* path) {
    return std::snprintf(found, found_size, "%s", path) < static_cast<int>(found_size);
  };
  // A folder the player names is used as it is, content or not: falling through to another
  // would play content the player did not ask for, and the loader names any missing file.
  const char* named = dir ? dir : env && env[0] ? env : nullptr;
  if (named) {
    struct stat st;
    if (stat(named, &st) == 0 && S_ISDIR(st.st_mode) && take(named)) return true;
    if (message) std::snprintf(message, message_size, "can't enter the data folder '%s'%s", named,
                               dir ? "" : " (VURKHOLD_DATA)");
    return false;
  }
  // Unnamed, the content is beside the program in a build tree, and in ../share/vurkhold
  // from an installed program's bin/ or games/.
  const char* slash = exe ? std::strrchr(exe, '/') : nullptr;
  if (!slash) {
    if (message) std::snprintf(message, message_size, "the program's own folder is unknown; name the data folder");
    return false;
  }
  char own[MAX_PATH_LENGTH * 4], shared[MAX_PATH_LENGTH * 4];
  std::snprintf(own, sizeof own, "%.*s", slash > exe ? static_cast<int>(slash - exe) : 1, exe);
  const char* up = std::strrchr(own, '/');
  std::snprintf(shared, sizeof shared, "%.*s/share/vurkhold", static_cast<int>(up - own), own);
  const char* const places[] = {own, shared};
  for (const char* place : places) {
    char marker[MAX_PATH_LENGTH * 8], resolved[MAX_PATH_LENGTH * 8];
    std::snprintf(marker, sizeof marker, "%s/%s", place, DATA_MARKER);
    if (resolve_path(marker, resolved, sizeof resolved) && take(place)) return true;
  }
  if (message)
    std::snprintf(message, message_size,
                  "no game content (%s) in '%s' or in '%s'; name its folder with --data DIR or VURKHOLD_DATA",
                  DATA_MARKER, own, shared);
  return false;
}

bool enter_data_dir(const char* dir, char* message, size_t message_size) {
  char exe[MAX_PATH_LENGTH * 4];
  const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
  exe[n > 0 ? n : 0] = '\0';
  char found[MAX_PATH_LENGTH * 4];
  if (!find_data_dir(dir, std::getenv("VURKHOLD_DATA"), exe[0] ? exe : nullptr, found, sizeof found, message,
                     message_size))
    return false;
  if (chdir(found) == 0) return true;
  if (message && message_size) std::snprintf(message, message_size, "can't enter the data folder '%s'", found);
  return false;
}

// The files were first read in text mode, where a CR LF pair is a single line end counting
// as one character towards the limit. A line longer than the limit is split and its
// remainder is the next line. At the end of the file the line is empty, so a missing line
// fails its pattern instead of re-reading the previous one.
bool read_line(char* buffer, int limit, FILE* file) {
  if (!file || !std::fgets(buffer, limit, file)) {
    buffer[0] = '\0';
    return false;
  }
  size_t n = std::strlen(buffer);
  if (n >= 2 && buffer[n - 2] == '\r' && buffer[n - 1] == '\n') {
    buffer[n - 2] = '\n';
    buffer[n - 1] = '\0';
  } else if (n >= 1 && buffer[n - 1] == '\r') {
    // The limit fell between CR and LF; in text mode the pair would have fitted as one.
    int c = std::fgetc(file);
    if (c == '\n') {
      buffer[n - 1] = '\n';
    } else if (c != EOF) {
      std::ungetc(c, file);
    }
  }
  return true;
}

bool write_file_safely(const char* path, bool (*write)(std::FILE* f, void* context), void* context, char* error,
                       int error_size) {
  auto refuse = [&](const char* reason) {
    std::snprintf(error, error_size, "can't write '%s': %s", path, reason);
    return false;
  };
  // Never through a symlink, never onto a device, FIFO or folder: only a regular file is
  // replaced, and it keeps its permissions.
  struct stat st;
  mode_t mode = 0;
  if (lstat(path, &st) == 0) {
    if (!S_ISREG(st.st_mode)) return refuse("not a regular file");
    mode = st.st_mode & 07777;
  } else if (errno != ENOENT) {
    return refuse(std::strerror(errno));
  } else {
    mode = umask(0);
    umask(mode);
    mode = 0666 & ~mode;
  }
  char temp[4096];
  const char* slash = std::strrchr(path, '/');
  const int dir_length = slash ? static_cast<int>(slash - path) + 1 : 0;
  if (std::snprintf(temp, sizeof temp, "%.*s.%s.XXXXXX", dir_length, path, path + dir_length) >=
      static_cast<int>(sizeof temp))
    return refuse(std::strerror(ENAMETOOLONG));
  const int fd = mkstemp(temp);
  if (fd < 0) return refuse(std::strerror(errno));
  std::FILE* f = fdopen(fd, "wb");
  if (!f) {
    const int reason = errno;
    close(fd);
    unlink(temp);
    return refuse(std::strerror(reason));
  }
  // The old file stays whole until the new one is complete on the disk.
  errno = 0;
  bool ok = write(f, context) && std::fflush(f) == 0 && fsync(fd) == 0 && fchmod(fd, mode) == 0;
  int reason = ok ? 0 : errno ? errno : EIO;
  if (std::fclose(f) != 0 && ok) {
    ok = false;
    reason = errno;
  }
  if (ok && rename(temp, path) != 0) {
    ok = false;
    reason = errno;
  }
  if (!ok) {
    unlink(temp);
    return refuse(std::strerror(reason));
  }
  return true;
}

bool user_path(const char* xdg_variable, const char* home_folder, const char* name, char* out, size_t size) {
  // Only an absolute XDG folder counts: an empty or relative one would scatter the
  // player's files wherever the game happens to run.
  const char* base = std::getenv(xdg_variable);
  const char* between = "";
  if (!base || base[0] != '/') {
    base = std::getenv("HOME");
    between = home_folder;
    if (!base || base[0] != '/') return false;
  }
  return std::snprintf(out, size, "%s%s%s", base, between, name) < static_cast<int>(size);
}

bool user_data_dir(char* out, size_t size, const char* folder) {
  char name[MAX_PATH_LENGTH];
  const int n = std::snprintf(name, sizeof name, folder[0] ? "/vurkhold/%s/" : "/vurkhold/", folder);
  if (n < 0 || static_cast<size_t>(n) >= sizeof name) return false;
  if (!user_path("XDG_DATA_HOME", "/.local/share", name, out, size)) return false;
  for (char* c = out + 1; *c; ++c) {
    if (*c != '/') continue;
    *c = '\0';
    const bool made = mkdir(out, 0700) == 0 || errno == EEXIST;
    *c = '/';
    if (!made) return false;
  }
  return true;
}

}  // namespace platform

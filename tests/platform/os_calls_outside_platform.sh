#!/bin/sh
# Only src/platform talks to the operating system; the Qt backend talks to
# Qt, which may bring system headers with it. Lists every system header or
# call of the POSIX interface found anywhere else in src/ and apps/, and
# fails when there is one. Names as common as read() or open() count only
# when called as ::read(): without the header they cannot be called
# otherwise.
root=$1
headers='#[[:space:]]*include[[:space:]]*<(unistd|fcntl|dlfcn|spawn|poll|signal|pwd|grp|dirent|termios|pthread|semaphore|sched|syslog|netdb|libgen|glob|wordexp|utime|sys/[a-z_]+|arpa/[a-z_]+|netinet/[a-z_]+)\.h>'
calls='(^|[^A-Za-z0-9_.>:])(::)?(openat|pread|pwrite|lseek|lstat|fstat|fsync|fdatasync|mmap|munmap|madvise|dlopen|dlsym|dlclose|dlerror|fork|vfork|exec[lv]p?e?|posix_spawnp?|waitpid|getpid|getppid|getuid|geteuid|pipe2|mkstemp|mkostemp|mkdtemp|usleep|nanosleep|isatty|fcntl|ioctl|chmod|chown|unlink|rmdir|readlink|realpath|getcwd|chdir|setenv|unsetenv|clock_gettime|gettimeofday)[[:space:]]*\('
qualified='(^|[^A-Za-z0-9_:])::(open|read|write|close|stat|kill|pipe|dup2?|sleep)[[:space:]]*\('
found=$(cd "$root" && grep -rnE -e "$headers" -e "$calls" -e "$qualified" -e '\<environ\>' \
  --include='*.cpp' --include='*.h' src apps |
  grep -vE '^src/(platform|framework/qt)/' | grep -vE '^[^:]+:[0-9]+:[[:space:]]*//')
if [ -n "$found" ]; then
  echo "Only src/platform may use the operating system's own interface:"
  echo "$found"
  exit 1
fi

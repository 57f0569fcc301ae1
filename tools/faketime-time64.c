// Preloaded after libfaketime into 32-bit Wine by tools/wine-run. 32-bit
// programs built for a 64-bit time_t read the clock through glibc's
// __clock_gettime64, which Debian's libfaketime (0.9.10) does not wrap, so
// under faketime they would see the real date: hand them libfaketime's
// clock_gettime instead. (Its 32-bit seconds last until 2038.)
struct timespec32 {
  long tv_sec;
  long tv_nsec;
};
struct timespec64 {
  long long tv_sec;
  long long tv_nsec;
};
int clock_gettime(int clock, struct timespec32* now);

int __clock_gettime64(int clock, struct timespec64* now) {
  struct timespec32 faked;
  const int result = clock_gettime(clock, &faked);
  if (result == 0) {
    now->tv_sec = faked.tv_sec;
    now->tv_nsec = faked.tv_nsec;
  }
  return result;
}

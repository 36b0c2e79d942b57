# Shared environment of scripts/setup, scripts/run and scripts/test.
# Sourced, not executed. Everything Wine, gstreamer and Mesa write lands in the build folder.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_DIR=${BUILD_DIR:-$ROOT/build}
mkdir -p "$BUILD_DIR"
BUILD_DIR=$(cd "$BUILD_DIR" && pwd)

export WINEPREFIX="$BUILD_DIR/wineprefix"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export HOME="$BUILD_DIR/home"
export XDG_CONFIG_HOME="$HOME/.config"
export XDG_CACHE_HOME="$HOME/.cache"
export XDG_DATA_HOME="$HOME/.local/share"
export XDG_RUNTIME_DIR="$HOME/.runtime"
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

# Bump when the prefix needs other settings; setup then rebuilds it.
PREFIX_STAMP="converter-prefix-1"

# Runs as root where we are root, through sudo otherwise.
as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Configures (once) and builds the project into $BUILD_DIR/out for 64-bit
# Windows; extra arguments go to the build (for example --target name).
build_project() {
  build_windows out mingw-w64-posix "$@"
}

# The same sources for 32-bit Windows, into $BUILD_DIR/out32.
build_project32() {
  build_windows out32 mingw-w64-i686-posix "$@"
}

# build_windows <folder> <toolchain file's name> [build arguments...]
build_windows() {
  local out="$BUILD_DIR/$1" toolchain="$ROOT/cmake/$2.cmake"
  shift 2
  if [ ! -f "$out/CMakeCache.txt" ]; then
    cmake -S "$ROOT" -B "$out" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  fi
  cmake --build "$out" -j "$(nproc)" "$@"
}

# Whether this machine runs 32-bit x86 programs at all, which Wine's 32-bit
# side needs: a kernel without IA-32 emulation refuses them (ENOEXEC). Tried
# with the smallest such program, made by binutils.
can_run_32bit() {
  local probe="$BUILD_DIR/i386-probe"
  if [ ! -x "$probe" ]; then
    printf '.globl _start\n_start:\n xorl %%ebx, %%ebx\n movl $1, %%eax\n int $0x80\n' |
      as --32 -o "$probe.o" - && ld -m elf_i386 -o "$probe" "$probe.o" || return 1
  fi
  "$probe" 2>/dev/null
}

# Configures (once) and builds the Windows-free parts for Linux with clang,
# under AddressSanitizer and UndefinedBehaviorSanitizer, into $BUILD_DIR/native:
# their unit tests and the fuzzers (native/CMakeLists.txt).
build_native() {
  local out="$BUILD_DIR/native"
  if [ ! -f "$out/CMakeCache.txt" ]; then
    cmake -S "$ROOT/native" -B "$out" -DCMAKE_CXX_COMPILER=clang++ >/dev/null
  fi
  cmake --build "$out" -j "$(nproc)"
}

# Sanitizer reports with file names and lines.
export ASAN_SYMBOLIZER_PATH=/usr/bin/llvm-symbolizer-14

# Registers the stand-in DLLs of the 64-bit build into the prefix (idempotent).
register_standins() {
  "$ROOT/scripts/register-standins" "$BUILD_DIR/out/standins"
}

# The same for the 32-bit build, into the prefix's 32-bit registry view.
register_standins32() {
  "$ROOT/scripts/register-standins" "$BUILD_DIR/out32/standins" 'C:\windows\syswow64\regsvr32.exe'
}

# Ends the Wine session of this prefix so the next one starts clean.
stop_wine() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
}

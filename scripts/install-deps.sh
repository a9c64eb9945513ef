#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, and generates the German locale that
# the tests of git under a foreign language use; does nothing when all are present.
# With --windows, also what the cross build of the Windows program and its tests under wine need:
# the mingw-w64 compiler, wine and GoogleTest's sources (built for the target in
# /usr/src/googletest).
set -euo pipefail

packages=(
  build-essential cmake ninja-build git python3 unicode-data
  nlohmann-json3-dev libtomlplusplus-dev libfmt-dev libicu-dev
  libgtest-dev libgmock-dev util-linux locales
)
windows_packages=(
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine64 googletest
)

for argument in "$@"; do
  case "$argument" in
    --windows) packages+=("${windows_packages[@]}") ;;
    *)
      echo "usage: $0 [--windows]" >&2
      exit 2
      ;;
  esac
done
test_locale="de_DE.UTF-8"

missing=()
for pkg in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$pkg")
  fi
done

# locale -a names it in the normalised form, "de_DE.utf8". (grep reads all of it: with -q, an
# early exit could end locale by SIGPIPE and fail the pipe.)
locale_present() {
  locale -a 2>/dev/null | grep -ix "${test_locale%%.*}.utf8" >/dev/null
}

if [ ${#missing[@]} -eq 0 ] && locale_present; then
  exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
  sudo_cmd=()
else
  sudo_cmd=(sudo)
fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}" >&2
  "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Listed in /etc/locale.gen, so that a later locale-gen (a package upgrade runs one) keeps it.
generate_locale() {
  local entry="$test_locale UTF-8"
  if grep -qx "# *$entry" /etc/locale.gen 2>/dev/null; then
    "${sudo_cmd[@]}" sed -i "s/^# *$entry\$/$entry/" /etc/locale.gen
  elif ! grep -qx "$entry" /etc/locale.gen 2>/dev/null; then
    echo "$entry" | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
  fi
  "${sudo_cmd[@]}" locale-gen >/dev/null
}

# Without it the build and every other test still work, so a failure here only warns.
if ! locale_present; then
  echo "generating locale: $test_locale" >&2
  if ! generate_locale || ! locale_present; then
    echo "warning: could not generate $test_locale; the tests that need it will be skipped" >&2
  fi
fi

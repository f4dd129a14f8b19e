#!/usr/bin/env bash
# Installs what the build and the tests need, on Debian as root. Idempotent and
# quiet: packages already present are not touched.
#   setup.sh linux   the Linux build and its demo
#   setup.sh all     both builds, the Wine runner, the fuzzers and the test servers
set -euo pipefail
what=${1:-all}

linux=(cmake make g++ pkg-config libcurl4-openssl-dev zlib1g-dev python3 locales)
all=("${linux[@]}" libgtest-dev clang libclang-rt-dev zip libarchive-tools g++-mingw-w64-i686 libz-mingw-w64-dev
     wine wine32:i386 xvfb xauth xdotool imagemagick x11-utils fonts-wqy-microhei nginx)
if [ "$what" = linux ]; then wanted=("${linux[@]}"); else wanted=("${all[@]}"); fi

missing=()
for p in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  if printf '%s\n' "${missing[@]}" | grep -q ':i386$' && ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  echo "setup: installing ${missing[*]}"
  apt-get update -qq
  apt-get install -y -qq "${missing[@]}" >/dev/null
fi

# Wine shows the program's GBK texts only under a Chinese locale (code page 936).
if [ "$what" != linux ] && ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null || echo 'zh_CN.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi

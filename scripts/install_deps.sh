#!/usr/bin/env bash
# Installs what building and testing korva needs on Debian, if it is missing;
# further package names may be given as arguments.
set -euo pipefail
packages=(cmake g++ make libcli11-dev nlohmann-json3-dev libgtest-dev libbenchmark-dev graphviz "$@")
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "${missing[@]}"
fi

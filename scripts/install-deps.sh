#!/usr/bin/env bash
# Installs the Debian 12 packages the build and tests need, only those missing.
set -euo pipefail
packages=(build-essential cmake ccache clang libclang-rt-14-dev libgtest-dev libgmock-dev
          libbenchmark-dev libfann-dev qt6-base-dev
          # packaging and its checks; librsvg2-bin renders the icons (scripts/gen-icons.sh)
          dpkg-dev file desktop-file-utils libxml2-utils shared-mime-info man-db lintian
          librsvg2-bin
          # the desktop's own icons and a theme to fall back on
          libqt6svg6 adwaita-icon-theme)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

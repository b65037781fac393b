# Shared by scripts/run and scripts/test: install what is missing, configure, build.
# Sourced, not run.

VPX_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# Generated files never go into the source tree.
VPX_BUILD_DIR=${VORPEX_BUILD_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/vorpex/build-$(printf '%s' "$VPX_ROOT" | md5sum | cut -c1-8)}

VPX_PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-ipafont-gothic
  xvfb xauth
  python3 tshark
  iproute2 # tests make their own network namespace with its interfaces
  qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
  lintian desktop-file-utils appstream shared-mime-info libxml2-utils file dpkg-dev
)

vpx_install_packages() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
}

# vpx_build [target ...]: everything when no target is named.
vpx_build() {
  vpx_install_packages "${VPX_PACKAGES[@]}"
  local build_type=${VORPEX_BUILD_TYPE:-RelWithDebInfo}
  cmake -S "$VPX_ROOT" -B "$VPX_BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE="$build_type" >/dev/null
  local targets=()
  [ $# -gt 0 ] && targets=(--target "$@")
  cmake --build "$VPX_BUILD_DIR" --parallel "$(nproc)" "${targets[@]}"
}

# Debian packages the build, the tests, the demo, the fuzz targets (clang) and
# the Debian package (dpkg-shlibdeps, file) need. Sourced by the scripts.
KIV_PACKAGES="cmake ninja-build g++ ccache pkg-config git
  qt6-base-dev qt6-serialport-dev qt6-charts-dev libqt6opengl6-dev
  libgtest-dev libgmock-dev libbenchmark-dev fonts-liberation xvfb xauth
  poppler-utils clang-14 libclang-rt-14-dev dpkg-dev file"

# Installs what is missing, and says nothing when everything is there.
kiv_install_packages() {
  local missing=""
  for p in $KIV_PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
  done
  [ -z "$missing" ] && return 0
  echo "Installing:$missing"
  if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq >/dev/null
  $SUDO apt-get install -y -qq --no-install-recommends $missing >/dev/null
}

# Installs the Debian packages the build, the tests and the demo need, when
# any is missing. Sourced by the other scripts.
kurvo_packages="cmake g++ make qt6-base-dev libgtest-dev libgmock-dev googletest libbenchmark-dev \
fonts-dejavu-core xvfb xauth xdotool x11-apps ccache qt6-svg-dev poppler-utils libqcustomplot-dev doxygen \
clang libclang-rt-14-dev qt6-tools-dev pkg-config"

kurvo_install_deps() {
  local missing=()
  local p
  for p in $kurvo_packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -eq 0 ]; then
    return 0
  fi
  echo "Installing: ${missing[*]}"
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# Sourced by the scripts: installs the Debian packages the project needs,
# only when something is missing.
qvr_packages=(
    cmake g++ ninja-build pkg-config clang clang-format libclang-rt-14-dev git
    qt6-base-dev libhidapi-dev libudev-dev libxcb1-dev qt6-wayland
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth xdotool imagemagick trayer openbox weston dbus dbus-daemon x11-utils
    fonts-wqy-microhei fonts-liberation2 fonts-dejavu-core
    gsettings-desktop-schemas libglib2.0-bin
)

qvr_install_deps() {
    local missing=()
    for p in "${qvr_packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

qvr_runtime_dir() {
    if [ -z "${XDG_RUNTIME_DIR:-}" ] || [ ! -d "$XDG_RUNTIME_DIR" ]; then
        XDG_RUNTIME_DIR=$(mktemp -d /tmp/qvr-runtime.XXXXXX)
        chmod 700 "$XDG_RUNTIME_DIR"
        export XDG_RUNTIME_DIR
    fi
}

# Sourced by the scripts: installs the Debian packages the project needs,
# only when something is missing. `qvr_install_deps` installs what building
# and running take; `qvr_install_deps test` and `qvr_install_deps bench` add
# the tools of the tests and of the benchmarks.
qvr_packages=(
    cmake g++ ninja-build pkg-config
    qt6-base-dev libhidapi-dev libudev-dev libxcb1-dev libwayland-dev qt6-wayland
    xvfb xauth
    fonts-wqy-microhei fonts-liberation2 fonts-dejavu-core
    gsettings-desktop-schemas libglib2.0-dev
)
qvr_test_packages=(
    clang clang-format libclang-rt-14-dev git
    libgtest-dev libgmock-dev
    xdotool x11-utils imagemagick trayer openbox weston sway dbus dbus-daemon strace
    dpkg-dev appstream desktop-file-utils groff-base man-db bsdextrautils lintian
    umockdev libumockdev-dev
    at-spi2-core python3-pyatspi gir1.2-atspi-2.0
)
qvr_bench_packages=(
    libbenchmark-dev
    xdotool x11-utils imagemagick
)

qvr_install_deps() {
    local wanted=("${qvr_packages[@]}")
    local extra
    for extra in "$@"; do
        case $extra in
            test) wanted+=("${qvr_test_packages[@]}") ;;
            bench) wanted+=("${qvr_bench_packages[@]}") ;;
        esac
    done
    local missing=()
    for p in "${wanted[@]}"; do
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

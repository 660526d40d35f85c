# Sourced by run-tarnelo.sh and run-tests.sh: installs the Debian packages that
# building, running and testing Tarnelo need, and only when one is missing, so
# a machine that has everything starts at once and never touches apt.

tarnelo_packages=(
    build-essential cmake ninja-build pkg-config git
    qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins
    qt6-webengine-dev qt6-webengine-dev-tools libqt6webenginecore6-bin
    qt6-tools-dev qt6-tools-dev-tools
    libcurl4-openssl-dev libjpeg62-turbo-dev libxcb1-dev libgl-dev libgl1-mesa-dri
    xvfb xauth openbox xdotool x11-utils x11-apps imagemagick fonts-wqy-zenhei
    iproute2 curl python3
)

tarnelo_missing_packages() {
    local p
    for p in "${tarnelo_packages[@]}"; do
        if [ "$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null)" != "install ok installed" ]; then
            printf '%s\n' "$p"
        fi
    done
}

tarnelo_install_deps() {
    local missing
    missing=$(tarnelo_missing_packages)
    [ -z "$missing" ] && return 0
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    echo "Installing missing packages:" $missing
    # shellcheck disable=SC2086 # one word per package
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q &&
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q $missing
}

tarnelo_install_deps || { echo "deps.sh: could not install the build packages" >&2; return 1 2>/dev/null || exit 1; }

#!/usr/bin/env bash
# Installs, once, every Debian package that building, testing and running Helmvantor needs.
# Only what is missing is installed; runs as root or through sudo.
set -euo pipefail

packages=(
    # toolchain
    build-essential cmake ninja-build pkg-config clang lld libclang-rt-dev clang-format
    # tests and benchmarks
    libgtest-dev libgmock-dev googletest libbenchmark-dev python3
    # libraries
    nlohmann-json3-dev libssl-dev qt6-base-dev libicu-dev libsecret-1-dev
    # the X11 input layer (XInput 2, XTest, XKB rules) and the display its tests run on
    libxi-dev libxtst-dev libxkbfile-dev xvfb xauth
    # setxkbmap, for the input tests that type on a German layout
    x11-xkb-utils
    # a compositing manager for the overlay panels' tests and benchmark
    xcompmgr
    # a session bus of their own for the tray tests (dbus-run-session)
    dbus-daemon
    # this computer's pointer on X11 (RandR) and the desktop's motion setting (GSettings)
    libx11-dev libxrandr-dev libglib2.0-dev
    # other programs' clipboards, read over an X connection of our own (XCB), and another
    # program holding the clipboard in the hand-over's test
    libxcb1-dev xclip
    # face reading and the camera: dlib with its landmark model, OpenCV for capture, pose and
    # images, the video codecs OpenCV reads and writes through; libdlib19.1 ships the
    # photographs the face tests read; dlib's CMake file links BLAS, LAPACK and libjpeg by their
    # development names
    libdlib-dev libdlib-data libdlib19.1 libblas-dev liblapack-dev libjpeg62-turbo-dev
    libopencv-core-dev libopencv-imgproc-dev libopencv-imgcodecs-dev libopencv-videoio-dev
    libopencv-calib3d-dev libavcodec59 libavformat59 libswscale6
    # spoken prompts (Qt's text-to-speech over speech-dispatcher) and chimes (libcanberra with
    # the freedesktop sound theme; Qt's speech module finds itself through the QML package)
    qt6-speech-dev qt6-speech-speechd-plugin speech-dispatcher libcanberra-dev
    qt6-declarative-dev
    sound-theme-freedesktop
    # the monospaced face of the pairing codes and the shortcut keys
    fonts-dejavu-core
    # pgrep, with which scripts/run.sh names a copy that holds the hub's port
    procps
)

# One query for every package: those dpkg has never heard of are named on standard error only,
# and a package removed but not purged is listed without "install ok installed".
declare -A installed=()
while read -r name status; do
    if [ "$status" = "install ok installed" ]; then
        installed[$name]=1
    fi
done < <(dpkg-query -W -f='${Package} ${Status}\n' "${packages[@]}" 2>/dev/null || true)
missing=()
for p in "${packages[@]}"; do
    if [ -z "${installed[$p]:-}" ]; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "deps: installing ${missing[*]}"
sudo=()
if [ "$(id -u)" -ne 0 ]; then
    sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"

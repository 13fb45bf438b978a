#!/usr/bin/env bash
# Cross-builds Taktplan for Windows (x86_64, MinGW-w64) into build-win/ and makes its packages:
#   build-win/Taktplan-<version>-win64.zip   the program folder, ready to run from anywhere
#   build-win/Taktplan-<version>-setup.exe   the installer (per user, no administrator rights)
#
# The Qt for Windows comes from TAKTPLAN_QT_WINDOWS (default: ../shared/qt6-mingw beside the
# repository); its toolchain file chain-loads Debian's MinGW-w64 compiler and takes moc, rcc and
# uic from Debian's own Qt 6 (QT_HOST_PATH=/usr). Missing Debian packages are installed first.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo"
qt_windows=$(cd "${TAKTPLAN_QT_WINDOWS:-../shared/qt6-mingw}" && pwd)
build=${TAKTPLAN_BUILD_WIN:-build-win}

packages=(
    cmake ninja-build gettext
    # The host tools (moc, rcc, uic) and CMake files of the same Qt version.
    qt6-base-dev qt6-base-dev-tools
    g++-mingw-w64-x86-64-posix mingw-w64-tools
    wine64 nsis googletest zip
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    export DEBIAN_FRONTEND=noninteractive
    "${sudo_cmd[@]}" apt-get update -q
    "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$qt_windows/lib/cmake/Qt6/qt.toolchain.cmake" \
    -DQT_HOST_PATH=/usr "${launcher[@]}" \
    -DTAKTPLAN_INSTALL_DIR=. \
    -DTAKTPLAN_BUILD_TESTS="${TAKTPLAN_WINDOWS_TESTS:-OFF}" -DTAKTPLAN_BUILD_BENCHMARKS=OFF
cmake --build "$build"

# --- the program folder ---------------------------------------------------------------------
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
folder="$build/package/Taktplan"
rm -rf "$build/package"
cmake --install "$build" --prefix "$folder" >/dev/null

gcc_runtime=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")
dll_folders=("$qt_windows/bin" "$gcc_runtime" /usr/lib/gcc/x86_64-w64-mingw32/12-posix
             /usr/x86_64-w64-mingw32/lib)
plugins=(platforms/qwindows.dll styles/qwindowsvistastyle.dll)
for plugin in "${plugins[@]}"; do
    mkdir -p "$folder/$(dirname "$plugin")"
    cp "$qt_windows/plugins/$plugin" "$folder/$plugin"
done

# Every DLL the programs and plugins import that is not part of Windows, found among the
# folders above, followed through the DLLs' own imports.
copy_imports() {
    local file=$1 dll found dir
    while read -r dll; do
        [ -e "$folder/$dll" ] && continue
        found=
        for dir in "${dll_folders[@]}"; do
            if [ -f "$dir/$dll" ]; then found="$dir/$dll"; break; fi
        done
        [ -n "$found" ] || continue
        cp "$found" "$folder/$dll"
        copy_imports "$folder/$dll"
    done < <(x86_64-w64-mingw32-objdump -p "$file" | sed -n 's/^\s*DLL Name: //p')
}
for file in "$folder"/*.exe "$folder"/platforms/*.dll "$folder"/styles/*.dll; do
    copy_imports "$file"
done
x86_64-w64-mingw32-strip --strip-unneeded "$folder"/*.exe "$folder"/*.dll "$folder"/*/*.dll 2>/dev/null || true

# --- the packages ---------------------------------------------------------------------------
zip_file="$repo/$build/Taktplan-$version-win64.zip"
rm -f "$zip_file"
(cd "$build/package" && zip -q -r -9 "$zip_file" Taktplan)
setup_file="$repo/$build/Taktplan-$version-setup.exe"
makensis -V2 -DVERSION="$version" -DPROGRAM_DIR="$repo/$folder" -DOUTFILE="$setup_file" \
    -DICON="$repo/share/icons/windows/taktplan.ico" share/windows/taktplan.nsi
echo "Built: $build/taktplan.exe, $build/Bilanzblick.exe"
echo "Packages: $(basename "$zip_file") ($(du -h "$zip_file" | cut -f1)), $(basename "$setup_file") ($(du -h "$setup_file" | cut -f1))"

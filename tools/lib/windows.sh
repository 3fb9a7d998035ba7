# What the Windows scripts share (sourced by tools/test-windows, tools/screenshot-windows and
# tools/package-windows, from the checkout's root).

# Shortcuts that the programs and the installer make must stay inside Wine, out of the host's menu; and
# a crash must end the program, not wait for someone to close Wine's crash dialog.
export WINEDLLOVERRIDES="winemenubuilder.exe=d"
no_crash_dialog() {
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
}

# Installs what is missing, builds the static Qt once (15-40 minutes; later a no-op) and the static
# libarchive (a few minutes, once), configures the
# windows-cross preset again, so a Qt built since the last configure is found, and builds the targets
# given (everything without arguments). Fails when vxorganizer.exe is not there afterwards.
windows_build() {
  tools/install-deps windows
  tools/build-qt-windows >/dev/null
  # Without it the programs still build, and refuse packs with a message.
  tools/build-libarchive-windows >/dev/null || echo "windows_build: going on without song packs" >&2
  local extra=()
  [ "${CI:-}" = "true" ] && extra+=(-DVX_WARNINGS_AS_ERRORS=ON)
  cmake --preset windows-cross "${extra[@]}" >/dev/null
  local targets=()
  for t in "$@"; do targets+=(--target "$t"); done
  cmake --build --preset windows-cross -j "$(nproc)" "${targets[@]}"
  if [ ! -f build/windows-cross/ui/vxorganizer.exe ]; then
    echo "vxorganizer.exe was not built; see the configure messages of: cmake --preset windows-cross" >&2
    return 1
  fi
}

# A Wine prefix of its own at $1 (made once), where the dialog fonts "MS Shell Dlg" and "MS Shell Dlg 2"
# are Noto Sans CJK SC, as SimSun-like fonts are on a Chinese Windows; without that Wine draws Latin text
# of Qt's widgets in a serif face.
wine_prefix_with_cjk_dialog_font() {
  export WINEPREFIX=$1
  if [ ! -f "$WINEPREFIX/.vx-fonts" ]; then
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1
    local key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes'
    wine reg add "$key" /v "MS Shell Dlg" /d "Noto Sans CJK SC" /f >/dev/null 2>&1
    wine reg add "$key" /v "MS Shell Dlg 2" /d "Noto Sans CJK SC" /f >/dev/null 2>&1
    no_crash_dialog
    wineserver -w
    touch "$WINEPREFIX/.vx-fonts"
  fi
}

# Starts the vxorganizer.exe at $1 under Wine and Xvfb in the empty folder $2, as a player's first start:
# it must create REC.re there (769 zero bytes) and still be running a few seconds later. Says what went
# wrong and returns 1 otherwise.
window_starts_in_empty_folder() {
  local exe=$1 folder=$2
  mkdir -p "$folder"
  if ! (cd "$folder" && xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
          wine "$1" >/dev/null 2>&1 &
          pid=$!
          for _ in $(seq 240); do [ -f REC.re ] && break; sleep 0.25; done
          sleep 3
          kill -0 "$pid" 2>/dev/null || exit 1
          kill "$pid"
          wait "$pid" 2>/dev/null || true' _ "$exe"); then
    echo "vxorganizer.exe did not stay up in an empty folder" >&2
    return 1
  fi
  if ! cmp -s "$folder/REC.re" <(head -c 769 /dev/zero); then
    echo "vxorganizer.exe did not create REC.re as 769 zero bytes" >&2
    return 1
  fi
}

# Fetching Debian's source packages without root and without touching /etc/apt or /var/lib/apt (sourced
# by tools/build-qt-windows and tools/build-libarchive-windows).

# fetch_debian_sources WORK LOG PACKAGE[=VERSION]...: downloads the source packages into WORK/download,
# through a private copy of the system's package lists turned into deb-src lists in WORK/apt.
fetch_debian_sources() {
  local work=$1 log=$2
  shift 2
  local apt_dir="$work/apt"
  rm -rf "$apt_dir" "$work/download"
  mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$apt_dir/parts" "$work/download"
  : >"$apt_dir/deb-src.list"
  local f
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    if [ -f "$f" ]; then sed -nE 's/^deb[[:space:]]/deb-src /p' "$f" >>"$apt_dir/deb-src.list"; fi
  done
  for f in /etc/apt/sources.list.d/*.sources; do
    if [ -f "$f" ]; then sed -E 's/^Types:.*/Types: deb-src/' "$f" >"$apt_dir/parts/$(basename "$f")"; fi
  done
  local apt_opts=(-o Dir::Etc::SourceList="$apt_dir/deb-src.list" -o Dir::Etc::SourceParts="$apt_dir/parts"
                  -o Dir::State::Lists="$apt_dir/lists" -o Dir::Cache="$apt_dir/cache"
                  -o Debug::NoLocking=1 -o APT::Sandbox::User="$(id -un)")
  # Third-party archives in the system's list may have no sources; Debian's are what counts here.
  apt-get "${apt_opts[@]}" update >>"$log" 2>&1 || echo "some source lists could not be read (see $log); going on" >&2
  (cd "$work/download" && apt-get "${apt_opts[@]}" source --download-only "$@") >>"$log" 2>&1
}
